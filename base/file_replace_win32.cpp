// All-or-nothing file replacement on Windows: write, flush, then ReplaceFileW over an
// existing file (which keeps its attributes, security and creation time) or MoveFileEx
// for a new one.
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

bool fail(std::string* failure, DWORD error) {
  if (failure) *failure = systemReason(error);
  return false;
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
    const DWORD error = GetLastError();
    if (GetFileAttributesA(tempName.c_str()) == INVALID_FILE_ATTRIBUTES) {
      SetLastError(error);
      break;
    }
  }
  return INVALID_HANDLE_VALUE;
}

bool exists(const std::string& fileName) {
  return GetFileAttributesA(fileName.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Puts the complete temporary file in place of an existing fileName. ReplaceFileW carries
// the old file's attributes, security and creation time over to the new content; where it
// drops the attributes (Wine does), they are set again.
DWORD replaceExisting(const std::string& fileName, const std::string& tempName, DWORD attributes) {
  // Replacing needs the right to delete the old file. Asked first, a file that another
  // program holds without sharing fails here, before Wine's ReplaceFileW leaves a file
  // "rf<number>.tmp" of its own behind.
  const std::wstring target = fullPath(fileName);
  const HANDLE old =
      CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (old == INVALID_HANDLE_VALUE) return GetLastError();
  CloseHandle(old);
  if (ReplaceFileW(target.c_str(), fullPath(tempName).c_str(), nullptr,
                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    const DWORD now = GetFileAttributesA(fileName.c_str());
    const DWORD wanted = attributes & USER_ATTRIBUTES;
    if (now != INVALID_FILE_ATTRIBUTES && (now & USER_ATTRIBUTES) != wanted)
      SetFileAttributesA(fileName.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
    return ERROR_SUCCESS;
  }
  const DWORD error = GetLastError();
  // Some failures leave the old file gone; the new content is whole, so it takes the
  // name rather than be lost with the temporary file.
  if (!exists(fileName) && MoveFileExA(tempName.c_str(), fileName.c_str(), MOVEFILE_WRITE_THROUGH))
    return ERROR_SUCCESS;
  return error;
}

}  // namespace

bool ReplaceFileContent(const std::string& fileName, const std::string& content,
                        std::string* failure) {
  const DWORD attributes = GetFileAttributesA(fileName.c_str());
  const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  if (!existed) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return fail(failure, error);
  } else if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
    // A file the user made read-only keeps its content.
    return fail(failure, ERROR_ACCESS_DENIED);
  }

  std::string tempName;
  const HANDLE file = createTemporary(fileName, tempName);
  if (file == INVALID_HANDLE_VALUE) return fail(failure, GetLastError());
  DWORD error = writeAll(file, content) && FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
  if (!CloseHandle(file) && error == ERROR_SUCCESS) error = GetLastError();
  if (error == ERROR_SUCCESS) {
    if (existed) {
      error = replaceExisting(fileName, tempName, attributes);
    } else if (!MoveFileExA(tempName.c_str(), fileName.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      error = GetLastError();
    }
  }
  if (error != ERROR_SUCCESS) {
    DeleteFileA(tempName.c_str());
    return fail(failure, error);
  }
  return true;
}
