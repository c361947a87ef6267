// The release packages as a Windows user meets them, in a fresh Wine prefix that
// run_install_tests.sh prepares: the unpacked zip's program with its version, then the
// installer run silently, the installed program started from its Start menu shortcut,
// an upgrade over it and a silent uninstall. The Installer tests run in the order they
// stand here, each on what the one before left.
//   QV_UNPACKED  the folder the zip was unpacked into (holding Quorvane\)
//   QV_SETUP     the installer
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/app_driver.h"
#include "companions/companion_driver.h"
#include "resources/resource.h"

namespace {

const char* const UNINSTALL_KEY =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane";
const char* const LINK = "\\Quorvane.lnk";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::string ProgramFolder() {
  return ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Quorvane";
}
std::string DataFolder() {
  return ShellFolder(CSIDL_APPDATA) + "\\Quorvane";
}
std::string StartMenuLink() {
  return ShellFolder(CSIDL_PROGRAMS) + LINK;
}
std::string DesktopLink() {
  return ShellFolder(CSIDL_DESKTOPDIRECTORY) + LINK;
}
std::string StartupLink() {
  return ShellFolder(CSIDL_STARTUP) + LINK;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// "3.0.0" -> "3.0.0.0", as the version resource spells it.
std::string FourPartVersion() {
  return std::string(QV_VERSION) + ".0";
}

// Runs a command line and waits for it; its exit code, or STILL_ACTIVE when it ran over.
DWORD RunCommand(std::string commandLine, DWORD timeoutMs = 60000) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code;
}

DWORD RunSetup(const std::string& switches) {
  return RunCommand("\"" + Env("QV_SETUP") + "\" " + switches);
}

std::string RegistryText(const char* name) {
  char value[1024] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, UNINSTALL_KEY, name, RRF_RT_REG_SZ, nullptr, value, &size))
    return "<missing>";
  return value;
}

DWORD RegistryNumber(const char* name) {
  DWORD value = 0, size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, UNINSTALL_KEY, name, RRF_RT_REG_DWORD, nullptr, &value,
                   &size))
    return 0xFFFFFFFF;
  return value;
}

bool UninstallEntryExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, UNINSTALL_KEY, 0, KEY_READ, &key)) return false;
  RegCloseKey(key);
  return true;
}

struct Shortcut {
  bool read = false;
  std::string target;
  std::string workingFolder;
};

// What a shortcut file says, read back through the shell's link object.
Shortcut ReadShortcut(const std::string& link) {
  Shortcut found;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IShellLinkA* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&shellLink))))
    return found;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    std::wstring wide(link.begin(), link.end());
    char text[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
        SUCCEEDED(shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) {
      found.target = text;
      shellLink->GetWorkingDirectory(text, MAX_PATH);
      found.workingFolder = text;
      found.read = true;
    }
    file->Release();
  }
  shellLink->Release();
  return found;
}

std::string FileText(const std::string& path) {
  std::string bytes;
  if (FILE* in = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, n);
    std::fclose(in);
  }
  return bytes;
}

bool WriteText(const std::string& path, const std::string& bytes) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && ok;
}

// A packaged file as the zip holds it.
std::string Packaged(const char* name) {
  return FileText(Env("QV_UNPACKED") + "\\Quorvane\\" + name);
}

void ExpectInstalledIn(const std::string& folder) {
  for (const char* name : {"quorvane.exe", "README.txt", "LICENSE.txt", "uninstall.exe"})
    EXPECT_TRUE(Exists(folder + "\\" + name)) << name;
  EXPECT_EQ(RegistryText("InstallLocation"), folder);
}

const char* const SAVED_REPLY = "Back at five";

// The application manifest of a program file (resource 1 of type 24), empty without one.
std::string ManifestOf(const std::string& program) {
  std::string text;
  HMODULE image = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!image) return text;
  if (HRSRC manifest = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)))
    text.assign(static_cast<const char*>(LockResource(LoadResource(image, manifest))),
                SizeofResource(image, manifest));
  FreeLibrary(image);
  return text;
}

}  // namespace

TEST(ZipPackage, ProgramCarriesItsVersionManifestAndIcon) {
  const std::string exe = Env("QV_UNPACKED") + "\\Quorvane\\quorvane.exe";
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u) << exe;
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
                fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
                fixed->dwFileVersionLS & 0xFFFF);
  EXPECT_EQ(numbers, FourPartVersion());
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

  const struct {
    const char* name;
    std::string expected;  // empty: any text but an empty one
  } strings[] = {{"FileVersion", FourPartVersion()},
                 {"ProductVersion", FourPartVersion()},
                 {"ProductName", "Quorvane"},
                 {"OriginalFilename", "quorvane.exe"},
                 {"FileDescription", ""},
                 {"CompanyName", ""},
                 {"LegalCopyright", ""}};
  for (const auto& s : strings) {
    char* value = nullptr;
    std::string query = std::string("\\StringFileInfo\\040904B0\\") + s.name;
    bool found =
        VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) &&
        value;
    ASSERT_TRUE(found) << s.name;
    if (s.expected.empty())
      EXPECT_STRNE(value, "") << s.name;
    else
      EXPECT_EQ(value, s.expected) << s.name;
  }

  const std::string text = ManifestOf(exe);
  EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
  size_t systems = 0;
  for (size_t at = text.find("<supportedOS"); at != std::string::npos;
       at = text.find("<supportedOS", at + 1))
    ++systems;
  EXPECT_EQ(systems, 4u) << "Windows 7, 8, 8.1 and 10/11";
  EXPECT_EQ(text.find("Common-Controls"), std::string::npos) << "the classic controls stay";
  HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  EXPECT_TRUE(FindResourceA(image, "QUORVANE", MAKEINTRESOURCEA(14))) << "no icon group";
  FreeLibrary(image);
}

// Drawn by the system at the display's scale, not stretched as a bitmap: sharp at 125-200 %.
TEST(Installer, DeclaresItselfDpiAware) {
  const std::string text = ManifestOf(Env("QV_SETUP"));
  EXPECT_NE(text.find(">true</dpiAware>"), std::string::npos) << text;
  EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos) << text;
}

TEST(Installer, SilentInstallPutsFilesShortcutsAndUninstallEntryInPlace) {
  ASSERT_EQ(RunSetup("/S"), 0u);
  const std::string folder = ProgramFolder();
  ExpectInstalledIn(folder);
  EXPECT_TRUE(Exists(DataFolder()));

  for (const std::string& link : {StartMenuLink(), DesktopLink()}) {
    Shortcut shortcut = ReadShortcut(link);
    ASSERT_TRUE(shortcut.read) << link;
    EXPECT_EQ(shortcut.target, folder + "\\quorvane.exe") << link;
    EXPECT_EQ(shortcut.workingFolder, DataFolder()) << link;
  }
  EXPECT_FALSE(Exists(StartupLink())) << "starting at sign-in is off unless chosen";

  EXPECT_EQ(RegistryText("DisplayName"), "Quorvane");
  EXPECT_EQ(RegistryText("DisplayVersion"), QV_VERSION);
  EXPECT_EQ(RegistryText("Publisher"), "The Quorvane developers");
  EXPECT_EQ(RegistryText("DisplayIcon"), folder + "\\quorvane.exe,0");
  EXPECT_EQ(RegistryText("UninstallString"), "\"" + folder + "\\uninstall.exe\"");
  EXPECT_EQ(RegistryText("QuietUninstallString"), "\"" + folder + "\\uninstall.exe\" /S");
  EXPECT_EQ(RegistryNumber("NoModify"), 1u);
  EXPECT_EQ(RegistryNumber("NoRepair"), 1u);
  const DWORD sizeKb = RegistryNumber("EstimatedSize");
  EXPECT_GT(sizeKb, 500u);
  EXPECT_LT(sizeKb, 20000u);
}

// Started in its own folder (from File Explorer, say) rather than by a shortcut, it works
// in the data folder all the same.
TEST(Installer, ProgramStartsInTheDataFolderAndIsNotReplacedWhileItRuns) {
  Shortcut shortcut = ReadShortcut(StartMenuLink());
  ASSERT_TRUE(shortcut.read);
  QuorvaneApp app(QuorvaneApp::ExistingFolder{ProgramFolder()});
  app.setProgram(shortcut.target);
  ASSERT_TRUE(app.start());

  app.click(IDC_CONFIG_BUTTON);
  HWND dialog = WaitForDialogWith(app, {IDC_CONFIG_MESSAGE, IDC_CONFIG_INTERVAL, IDC_CONFIG_SPEED});
  ASSERT_TRUE(dialog);
  SetItemText(dialog, IDC_CONFIG_MESSAGE, SAVED_REPLY);
  Click(dialog, IDOK);
  EXPECT_TRUE(WaitGone(dialog));
  const std::string conf = DataFolder() + "\\conf.qvr";
  EXPECT_TRUE(WaitUntil(
      [&] {
        return FileText(conf).find(std::string("DEFAULT_MSG\r\n") + SAVED_REPLY + "\r\n") !=
               std::string::npos;
      },
      5000))
      << FileText(conf);
  EXPECT_FALSE(Exists(ProgramFolder() + "\\conf.qvr"));

  // Neither the installer nor the uninstaller touches a running program; run silently,
  // they cannot ask the user to close it, so they stop. (_?= keeps the uninstaller in
  // place, so that its exit code is the answer.)
  const std::string readme = ProgramFolder() + "\\README.txt";
  ASSERT_TRUE(WriteText(readme, "an older guide"));
  EXPECT_EQ(RunSetup("/S"), 3u) << "winget's packageInUse";
  EXPECT_EQ(RunCommand("\"" + ProgramFolder() + "\\uninstall.exe\" /S _?=" + ProgramFolder()), 3u);
  EXPECT_EQ(FileText(readme), "an older guide");
  EXPECT_TRUE(Exists(ProgramFolder() + "\\quorvane.exe"));
  EXPECT_TRUE(UninstallEntryExists());
  EXPECT_TRUE(Exists(StartMenuLink()));
  EXPECT_EQ(app.close(), 0u);
  // Nor while a copy runs whose mutex this user may not open (another user's, say).
  HANDLE otherUsers = HoldUnreachableMutex(QV_RUNNING_MUTEX);
  EXPECT_NE(RunSetup("/S"), 0u);
  CloseHandle(otherUsers);
}

TEST(Installer, InstallingAgainReplacesTheProgramAndKeepsTheSettings) {
  const std::string conf = DataFolder() + "\\conf.qvr";
  const std::string settings = FileText(conf);
  ASSERT_NE(settings.find(SAVED_REPLY), std::string::npos);
  const std::string exe = ProgramFolder() + "\\quorvane.exe";
  ASSERT_TRUE(WriteText(exe, "an older program"));
  ASSERT_EQ(RunSetup("/S"), 0u);
  EXPECT_TRUE(FileText(exe) == Packaged("quorvane.exe")) << "the program is replaced";
  EXPECT_TRUE(FileText(ProgramFolder() + "\\README.txt") == Packaged("README.txt"));
  EXPECT_EQ(FileText(conf), settings);
  ExpectInstalledIn(ProgramFolder());
  EXPECT_EQ(ReadShortcut(StartMenuLink()).workingFolder, DataFolder());
}

TEST(Installer, SilentUninstallRemovesTheProgramAndKeepsTheData) {
  const std::string conf = DataFolder() + "\\conf.qvr";
  const std::string settings = FileText(conf);
  const std::string command = RegistryText("QuietUninstallString");
  ASSERT_EQ(RunCommand(command), 0u) << command;
  // The uninstaller copies itself to the temporary folder and carries on from there.
  EXPECT_TRUE(WaitUntil([] { return !Exists(ProgramFolder()); }, 30000));
  EXPECT_TRUE(WaitUntil([] { return !UninstallEntryExists(); }, 5000));
  for (const std::string& link : {StartMenuLink(), DesktopLink(), StartupLink()})
    EXPECT_FALSE(Exists(link)) << link;
  EXPECT_EQ(FileText(conf), settings);
}

TEST(Installer, InstallsIntoTheFolderGivenWithD) {
  const std::string folder = "C:\\Apps\\Quorvane";  // /D= takes no blanks under Wine
  ASSERT_EQ(RunSetup("/S /D=" + folder), 0u);
  ExpectInstalledIn(folder);
  EXPECT_EQ(ReadShortcut(StartMenuLink()).target, folder + "\\quorvane.exe");
  ASSERT_EQ(RunCommand(RegistryText("QuietUninstallString")), 0u);
  EXPECT_TRUE(WaitUntil([&] { return !Exists(folder); }, 30000));
}
