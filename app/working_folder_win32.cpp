// What a start finds about its folders, from the system, and the move to the chosen one.
#include "app/working_folder_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

const char* const UNINSTALLER = "uninstall.exe";
const char* const DATA_FOLDER_NAME = "Quorvane";

std::string withoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

// The path whole and in long names: the temporary folder, for one, is often given in short
// names (C:\Users\ANNMAR~1\...) while Explorer starts programs with long ones.
std::string longPath(const std::string& path) {
  char full[MAX_PATH * 2] = {};
  DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  std::string whole = length && length < sizeof full ? full : path;
  char longName[MAX_PATH * 2] = {};
  length = GetLongPathNameA(whole.c_str(), longName, sizeof longName);
  return withoutTrailingSeparator(length && length < sizeof longName ? longName : whole);
}

std::string currentFolder() {
  char path[MAX_PATH * 2] = {};
  const DWORD length = GetCurrentDirectoryA(sizeof path, path);
  return length && length < sizeof path ? longPath(path) : "";
}

std::string programFolder() {
  char path[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (!length || length >= sizeof path) return "";
  std::string exe = path;
  return longPath(exe.substr(0, exe.find_last_of("\\/")));
}

std::string temporaryFolder() {
  char path[MAX_PATH * 2] = {};
  const DWORD length = GetTempPathA(sizeof path, path);
  return length && length < sizeof path ? longPath(path) : "";
}

std::string dataFolder() {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
    return "";
  return withoutTrailingSeparator(path) + "\\" + DATA_FOLDER_NAME;
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
  CreateDirectoryA(choice.folder.c_str(), nullptr);  // usually there already
  return SetCurrentDirectoryA(choice.folder.c_str()) ? choice.notice : FolderNotice::None;
}
