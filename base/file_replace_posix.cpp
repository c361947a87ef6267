// All-or-nothing file replacement on POSIX systems: write, fsync, rename.
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

// The new name must survive a power cut too, so the directory entry is synced as well;
// a directory that cannot be synced does not undo the save.
void syncWorkingDirectory() {
  const int dir = ::open(".", O_RDONLY | O_CLOEXEC);
  if (dir < 0) return;
  ::fsync(dir);
  ::close(dir);
}

// Creates a temporary file of a name nothing has yet; -1 if none can be made.
int createTemporary(const std::string& fileName, std::string& tempName) {
  for (unsigned attempt = 0; attempt < MOST_TEMPORARY_NAMES; ++attempt) {
    tempName = TemporaryName(fileName, static_cast<unsigned long>(::getpid()), attempt);
    if (attempt == 0) ::unlink(tempName.c_str());  // a stale one, if it can go
    const int fd =
        ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) return fd;
    // Only a name that is taken (by a file or a folder) is worth another try.
    if (errno != EEXIST) break;
  }
  return -1;
}

// Hands back the reason for errno's error and answers false.
bool fail(std::string* failure, int error) {
  if (failure) *failure = std::strerror(error);
  return false;
}

}  // namespace

bool ReplaceFileContent(const std::string& fileName, const std::string& content,
                        std::string* failure) {
  struct stat old {};
  const bool exists = ::stat(fileName.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return fail(failure, errno);
  if (exists) {
    if (!S_ISREG(old.st_mode)) return fail(failure, S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
    // rename() ignores the old file's mode, and root may write anything: a file the user
    // made read-only is refused here, the way the Windows attribute is honoured.
    if ((old.st_mode & S_IWUSR) == 0) return fail(failure, EACCES);
    if (::access(fileName.c_str(), W_OK) != 0) return fail(failure, errno);
  }

  std::string tempName;
  const int fd = createTemporary(fileName, tempName);
  if (fd < 0) return fail(failure, errno);
  int error = writeAll(fd, content) ? 0 : errno;
  if (error == 0 && exists && ::fchmod(fd, old.st_mode & 07777) != 0) error = errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(tempName.c_str(), fileName.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(tempName.c_str());
    return fail(failure, error);
  }
  syncWorkingDirectory();
  return true;
}
