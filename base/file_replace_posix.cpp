// The system's file calls of a save on POSIX systems: write, fsync, rename.
#include "base/file_replace.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const std::string& content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) {
      errno = EIO;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// The reason for errno's error; empty for a call that succeeded.
std::string lastReason(bool succeeded) {
  return succeeded ? std::string() : std::strerror(errno);
}

// The new name must survive a power cut too, so the directory entry is synced as well;
// a directory that cannot be synced does not undo the save.
void syncWorkingDirectory() {
  const int dir = ::open(".", O_RDONLY | O_CLOEXEC);
  if (dir < 0) return;
  ::fsync(dir);
  ::close(dir);
}

class SystemSaveFiles : public SaveFiles {
 public:
  unsigned long processId() override { return static_cast<unsigned long>(::getpid()); }

  std::string examine(const std::string& fileName, bool& exists) override {
    exists = ::stat(fileName.c_str(), &old_) == 0;
    if (!exists) return errno == ENOENT ? std::string() : lastReason(false);
    if (!S_ISREG(old_.st_mode)) return std::strerror(S_ISDIR(old_.st_mode) ? EISDIR : EINVAL);
    // rename() ignores the old file's mode, and root may write anything: a file the user
    // made read-only is refused here, the way the Windows attribute is honoured.
    if ((old_.st_mode & S_IWUSR) == 0) return std::strerror(EACCES);
    existed_ = true;
    return lastReason(::access(fileName.c_str(), W_OK) == 0);
  }

  // The new file takes the old one's permissions before it takes its place.
  std::string create(const std::string& name, const std::string& content) override {
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return lastReason(false);
    std::string reason =
        lastReason(writeAll(fd, content) &&
                   (!existed_ || ::fchmod(fd, old_.st_mode & 07777) == 0) && ::fsync(fd) == 0);
    const std::string closed = lastReason(::close(fd) == 0);
    if (reason.empty()) reason = closed;
    if (!reason.empty()) ::unlink(name.c_str());
    return reason;
  }

  // rename() puts the new content in place in one step: the old content never needs a
  // name of its own.
  std::string replace(const std::string& target, const std::string& source,
                      const std::string&) override {
    return move(source, target);
  }

  std::string move(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return lastReason(false);
    syncWorkingDirectory();
    return std::string();
  }

  std::string keepProperties(const std::string&) override { return std::string(); }

  bool exists(const std::string& name) override {
    struct stat found {};
    return ::lstat(name.c_str(), &found) == 0;
  }

  void remove(const std::string& name) override { ::unlink(name.c_str()); }

 private:
  struct stat old_ {};
  bool existed_ = false;
};

}  // namespace

bool ReplaceFileContent(const std::string& fileName, const std::string& content,
                        std::string* failure) {
  SystemSaveFiles files;
  return ReplaceFileContent(files, fileName, content, failure);
}
