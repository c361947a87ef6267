// All-or-nothing file replacement on Windows: write, flush, MoveFileEx over the old file.
#include <windows.h>

#include "base/file_replace.h"

namespace {

bool writeAll(HANDLE file, const std::string& content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const DWORD chunk = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    left -= written;
  }
  return true;
}

// Creates a temporary file of a name nothing has yet; INVALID_HANDLE_VALUE if none can be
// made.
HANDLE createTemporary(const std::string& fileName, std::string& tempName) {
  for (unsigned attempt = 0; attempt < MOST_TEMPORARY_NAMES; ++attempt) {
    tempName = TemporaryName(fileName, GetCurrentProcessId(), attempt);
    if (attempt == 0) DeleteFileA(tempName.c_str());  // a stale one, if it can go
    const HANDLE file = CreateFileA(tempName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    // Only a name that is taken (by a file or a folder) is worth another try.
    if (GetFileAttributesA(tempName.c_str()) == INVALID_FILE_ATTRIBUTES) break;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

bool ReplaceFileContent(const std::string& fileName, const std::string& content) {
  const DWORD attributes = GetFileAttributesA(fileName.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
  } else if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
    // A file the user made read-only keeps its content.
    return false;
  }

  std::string tempName;
  const HANDLE file = createTemporary(fileName, tempName);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = writeAll(file, content) && FlushFileBuffers(file);
  if (!CloseHandle(file)) ok = false;
  if (ok) {
    ok = MoveFileExA(tempName.c_str(), fileName.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) {
    DeleteFileA(tempName.c_str());
    return false;
  }
  return true;
}
