// The system's file calls of a save on Windows: write and flush a new file, then
// ReplaceFileW over an existing file (which keeps its attributes, security and creation
// time) with a backup name of the save's own, or MoveFileEx for a new one.
#include <windows.h>

#include "base/file_replace.h"

namespace {

// The system's text for an error, on one line and without the line break it ends with.
std::string systemReason(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = length && text ? std::string(text, length) : std::string();
  if (text) LocalFree(text);
  for (char& c : reason)
    if (c == '\r' || c == '\n') c = ' ';
  while (!reason.empty() && reason.back() == ' ') reason.pop_back();
  if (reason.empty()) reason = "Error " + std::to_string(error);
  return reason;
}

// The reason for the calling thread's last error; empty for a call that succeeded.
std::string lastReason(bool succeeded) {
  return succeeded ? std::string() : systemReason(GetLastError());
}

// The file's full path in UTF-16: some implementations of ReplaceFileW take a name
// without a folder for a bad folder name.
std::wstring fullPath(const std::string& ansi) {
  const int size = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring name(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &name[0], size);
  const DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (length == 0) return name;
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(name.c_str(), length, &full[0], nullptr);
  if (written == 0 || written >= length) return name;
  full.resize(written);
  return full;
}

// The attributes a user sets on a file and SetFileAttributes can set again.
constexpr DWORD USER_ATTRIBUTES = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_SYSTEM;

bool writeAll(HANDLE file, const std::string& content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const DWORD chunk = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    data += written;
    left -= written;
  }
  return true;
}

class SystemSaveFiles : public SaveFiles {
 public:
  unsigned long processId() override { return GetCurrentProcessId(); }

  std::string examine(const std::string& fileName, bool& exists) override {
    attributes_ = GetFileAttributesA(fileName.c_str());
    exists = attributes_ != INVALID_FILE_ATTRIBUTES;
    if (!exists) {
      const DWORD error = GetLastError();
      return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? std::string()
                                                                            : systemReason(error);
    }
    // A file the user made read-only keeps its content.
    if (attributes_ & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
      return systemReason(ERROR_ACCESS_DENIED);
    return std::string();
  }

  std::string create(const std::string& name, const std::string& content) override {
    const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lastReason(false);
    std::string reason = lastReason(writeAll(file, content) && FlushFileBuffers(file));
    const std::string closed = lastReason(CloseHandle(file));
    if (reason.empty()) reason = closed;
    if (!reason.empty()) DeleteFileA(name.c_str());
    return reason;
  }

  // ReplaceFileW carries the old file's attributes, security and creation time over to the
  // new content. Without a backup name, Wine moves the old file to a name of its own and
  // deletes it before the new content is in place.
  std::string replace(const std::string& target, const std::string& source,
                      const std::string& backup) override {
    return lastReason(ReplaceFileW(fullPath(target).c_str(), fullPath(source).c_str(),
                                   fullPath(backup).c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                                   nullptr, nullptr));
  }

  std::string move(const std::string& from, const std::string& to) override {
    return lastReason(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH));
  }

  // Where the attributes were dropped (Wine drops them, and a plain move never carries
  // them), they are set again.
  std::string keepProperties(const std::string& name) override {
    const DWORD now = GetFileAttributesA(name.c_str());
    if (now == INVALID_FILE_ATTRIBUTES) return lastReason(false);
    const DWORD wanted = attributes_ & USER_ATTRIBUTES;
    if ((now & USER_ATTRIBUTES) == wanted) return std::string();
    return lastReason(SetFileAttributesA(name.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL));
  }

  bool exists(const std::string& name) override {
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  void remove(const std::string& name) override { DeleteFileA(name.c_str()); }

 private:
  DWORD attributes_ = INVALID_FILE_ATTRIBUTES;  // the examined file's
};

}  // namespace

bool ReplaceFileContent(const std::string& fileName, const std::string& content,
                        std::string* failure) {
  SystemSaveFiles files;
  return ReplaceFileContent(files, fileName, content, failure);
}
