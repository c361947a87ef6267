// What a start finds about its folders, from the system, and the move to the chosen one.
#include "app/working_folder_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "base/program_text.h"

namespace {

const char* const UNINSTALLER = "uninstall.exe";
const char* const DATA_FOLDER_NAME = "Quorvane";
// A path's bytes: with the UTF-8 code page a character of a name takes up to three bytes
// for each of its UTF-16 units.
constexpr DWORD PATH_BYTES = 3 * 2 * MAX_PATH;

std::string withoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

// The path whole and in long names: the temporary folder, for one, is often given in short
// names (C:\Users\ANNMAR~1\...) while Explorer starts programs with long ones.
std::string longPath(const std::string& path) {
  char full[PATH_BYTES] = {};
  DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  std::string whole = length && length < sizeof full ? full : path;
  char longName[PATH_BYTES] = {};
  length = GetLongPathNameA(whole.c_str(), longName, sizeof longName);
  return withoutTrailingSeparator(length && length < sizeof longName ? longName : whole);
}

std::string currentFolder() {
  char path[PATH_BYTES] = {};
  const DWORD length = GetCurrentDirectoryA(sizeof path, path);
  return length && length < sizeof path ? longPath(path) : "";
}

std::string programFolder() {
  char path[PATH_BYTES] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (!length || length >= sizeof path) return "";
  std::string exe = path;
  return longPath(exe.substr(0, exe.find_last_of("\\/")));
}

std::string temporaryFolder() {
  char path[PATH_BYTES] = {};
  const DWORD length = GetTempPathA(sizeof path, path);
  return length && length < sizeof path ? longPath(path) : "";
}

std::string dataFolder() {
  // The ANSI call fills at most MAX_PATH bytes, too few for a long name in UTF-8.
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
    return "";
  const std::wstring wide = path;
  const std::string folder = ProgramTextFromUtf16(std::u16string(wide.begin(), wide.end()));
  return withoutTrailingSeparator(folder) + "\\" + DATA_FOLDER_NAME;
}

bool exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether a file can be made here: a hidden one that goes away as it is closed.
bool canWriteIn(const std::string& folder) {
  const std::string probe =
      folder + "\\quorvane-" + std::to_string(GetCurrentProcessId()) + ".probe";
  HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// Makes the folder and every missing folder above it (a new profile may lack Roaming).
bool makeFolder(const std::string& folder) {
  if (CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
    return true;
  if (GetLastError() != ERROR_PATH_NOT_FOUND) return false;
  const std::size_t cut = folder.find_last_of("\\/");
  if (cut == std::string::npos || cut < 3 || !makeFolder(folder.substr(0, cut))) return false;
  return CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

FolderNotice SettleWorkingFolder() {
  StartFolders start;
  start.current = currentFolder();
  start.program = programFolder();
  start.uninstallerBeside = exists(start.program + "\\" + UNINSTALLER);
  start.temporary = temporaryFolder();
  start.currentWritable = canWriteIn(start.current);
  start.data = dataFolder();
  const FolderChoice choice = chooseWorkingFolder(start);
  if (sameFolder(choice.folder, start.current)) return choice.notice;
  // Every file stays together: in the start folder, with a word, if the move fails.
  if (!makeFolder(choice.folder) || !SetCurrentDirectoryA(choice.folder.c_str()))
    return FolderNotice::MoveFailed;
  return choice.notice;
}
