// Starting, driving and closing quorvane.exe from a test.
#include "common/app_driver.h"

#include <sddl.h>

#include <cstdio>
#include <string_view>

#include "base/wide_text_win32.h"
#include "common/window_search.h"
#include "resources/resource.h"
#include "tests/support/wait_until.h"

bool WaitUntil(const std::function<bool()>& check, DWORD timeoutMs) {
  return waitUntil(check, static_cast<int>(timeoutMs), 20, [] {
    MSG pending;
    while (PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&pending);
  });
}

std::string WindowText(HWND window) {
  char buffer[4096] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &length))
    return std::string();
  return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

std::string Utf8WindowText(HWND window) {
  wchar_t buffer[4096] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &length))
    return std::string();
  return Utf8FromWide(std::wstring_view(buffer, length < 4096 ? length : 4095));
}

bool SetUtf8WindowText(HWND window, const std::string& text) {
  const std::wstring wide = WideFromUtf8(text);
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                             SMTO_ABORTIFHUNG, 2000, &ignored) != 0;
}

HANDLE HoldUnreachableMutex(const char* name) {
  // An empty DACL, and the system as the owner: Wine lets an owner wait whatever the DACL.
  SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
  ConvertStringSecurityDescriptorToSecurityDescriptorA("O:SYD:P", SDDL_REVISION_1,
                                                       &security.lpSecurityDescriptor, nullptr);
  return CreateMutexA(&security, TRUE, name);  // the descriptor lives as long as the test
}

namespace {

// Visible top-level windows of one process, in stacking order (top first).
std::vector<HWND> visibleWindowsOf(DWORD processId) {
  return TopWindowsOf(processId, [](HWND window) { return IsWindowVisible(window) != FALSE; });
}

}  // namespace

std::string GroupFolder(const std::string& name) {
  std::string folder = std::string(QV_BUILD_DIR) + "\\" + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  char group[64] = "";
  const DWORD length = GetEnvironmentVariableA("QV_TEST_GROUP", group, sizeof group);
  if (length > 0 && length < sizeof group) {
    folder += std::string("\\") + group;
    CreateDirectoryA(folder.c_str(), nullptr);
  }
  return folder;
}

QuorvaneApp::QuorvaneApp(const std::string& caseName) {
  folder_ = GroupFolder("apprun") + "\\" + caseName;
  CreateDirectoryA(folder_.c_str(), nullptr);
  for (const std::string& name : files("*")) DeleteFileA(path(name).c_str());
}

QuorvaneApp::QuorvaneApp(const ExistingFolder& folder) : folder_(folder.path) {
  CreateDirectoryA(folder_.c_str(), nullptr);
}

QuorvaneApp::QuorvaneApp(const WideFolder& folder) : wideFolder_(folder.path) {}

QuorvaneApp::~QuorvaneApp() {
  if (running()) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  if (process_.hProcess) CloseHandle(process_.hProcess);
  if (process_.hThread) CloseHandle(process_.hThread);
}

bool QuorvaneApp::writeFile(const std::string& fileName, const std::string& bytes) const {
  FILE* out = std::fopen(path(fileName).c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && ok;
}

bool QuorvaneApp::readFile(const std::string& fileName, std::string& bytes) const {
  FILE* in = std::fopen(path(fileName).c_str(), "rb");
  if (!in) return false;
  bytes.clear();
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, n);
  std::fclose(in);
  return true;
}

std::vector<std::string> QuorvaneApp::files(const std::string& pattern) const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

bool QuorvaneApp::start(DWORD timeoutMs) {
  return launch() && waitForMainWindow(timeoutMs);
}

bool QuorvaneApp::launch() {
  std::string commandLine = "\"" + program_ + "\"";
  if (!wideFolder_.empty()) {
    std::wstring program(program_.begin(), program_.end());  // the build folder is ASCII
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                          wideFolder_.c_str(), &startup, &process_) != FALSE;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (CreateProcessA(program_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                     folder_.c_str(), &startup, &process_))
    return true;
  std::fprintf(stderr, "could not start %s in %s: error %lu\n", program_.c_str(), folder_.c_str(),
               GetLastError());
  return false;
}

bool QuorvaneApp::waitForMainWindow(DWORD timeoutMs, const std::string& status) {
  // The main window is the one with the status line; start-up ends by filling the edit
  // box and writing the feedback line into the status line.
  return WaitUntil(
      [&] {
        for (HWND w : visibleWindowsOf(process_.dwProcessId))
          if (GetDlgItem(w, IDC_STATUS) && GetDlgItem(w, IDC_DEFAULT_REPLY)) main_ = w;
        const std::string shown = main_ ? WindowText(GetDlgItem(main_, IDC_STATUS)) : "";
        return status.empty() ? shown.find('@') != std::string::npos : shown == status;
      },
      timeoutMs);
}

bool QuorvaneApp::running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool QuorvaneApp::setText(int id, const std::string& text) const {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, 2000, &ignored) != 0;
}

bool QuorvaneApp::checked(int id) const {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(control(id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
  return state == BST_CHECKED;
}

bool QuorvaneApp::readOnly(int id) const {
  return (GetWindowLongA(control(id), GWL_STYLE) & ES_READONLY) != 0;
}

void QuorvaneApp::click(int id) const {
  PostMessageA(control(id), BM_CLICK, 0, 0);
}

void QuorvaneApp::post(UINT message, WPARAM wParam, LPARAM lParam) const {
  PostMessageA(main_, message, wParam, lParam);
}

bool QuorvaneApp::waitForText(int id, const std::string& expected, DWORD timeoutMs) const {
  return WaitUntil([&] { return text(id) == expected; }, timeoutMs);
}

std::vector<ProgramWindow> QuorvaneApp::otherWindows() const {
  std::vector<ProgramWindow> windows;
  for (HWND w : visibleWindowsOf(process_.dwProcessId)) {
    if (w == main_) continue;
    ProgramWindow found{w, {}};
    GetWindowRect(w, &found.frame);
    windows.push_back(found);
  }
  return windows;
}

HWND QuorvaneApp::companion(int controlId) const {
  for (const ProgramWindow& w : otherWindows())
    if (GetDlgItem(w.window, controlId) && !GetDlgItem(w.window, IDC_NOTE_TEXT)) return w.window;
  return nullptr;
}

HWND QuorvaneApp::openAbout() const {
  click(IDC_ABOUT_BUTTON);
  HWND about = nullptr;
  WaitUntil([&] { return (about = companion(IDOK)) != nullptr; }, 5000);
  return about;
}

std::vector<PopupWindow> QuorvaneApp::popups() const {
  std::vector<PopupWindow> found;
  for (const ProgramWindow& w : otherWindows()) {
    HWND note = GetDlgItem(w.window, IDC_NOTE_TEXT);
    if (!note) continue;
    found.push_back(PopupWindow{w.window, w.frame, WindowText(note)});
  }
  return found;
}

HWND QuorvaneApp::waitForPopup(const std::string& text, DWORD timeoutMs) const {
  HWND shown = nullptr;
  WaitUntil(
      [&] {
        for (const PopupWindow& p : popups())
          if (p.text == text) shown = p.window;
        return shown != nullptr;
      },
      timeoutMs);
  return shown;
}

bool QuorvaneApp::waitForNoPopups(DWORD timeoutMs) const {
  return WaitUntil([this] { return popups().empty(); }, timeoutMs);
}

double QuorvaneApp::postedMessageDelayMs() const {
  static int probe = 0;
  const WPARAM caret = 1 + (++probe % 2);  // differs from the last probe's
  HWND edit = control(IDC_DEFAULT_REPLY);
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  auto elapsedMs = [&] {
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
  };
  PostMessageA(edit, EM_SETSEL, caret, caret);
  for (;;) {
    DWORD_PTR selection = 0;
    SendMessageTimeoutA(edit, EM_GETSEL, 0, 0, SMTO_NORMAL, 10000, &selection);
    if (LOWORD(selection) == caret && HIWORD(selection) == caret) return elapsedMs();
    if (elapsedMs() > 10000) return elapsedMs();
    Sleep(1);
  }
}

void PopupRecord::look() {
  std::vector<PopupWindow> open = app_.popups();
  // Newest first on screen: the new ones join the record oldest first.
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    bool known = false;
    for (const PopupWindow& s : seen_) known = known || s.window == it->window;
    if (!known && !it->text.empty()) seen_.push_back(*it);
  }
}

std::vector<std::string> PopupRecord::texts() const {
  std::vector<std::string> texts;
  for (const PopupWindow& p : seen_) texts.push_back(p.text);
  return texts;
}

int PopupRecord::count(const std::string& text) const {
  int n = 0;
  for (const PopupWindow& p : seen_) n += p.text == text;
  return n;
}

DWORD QuorvaneApp::close(DWORD timeoutMs) {
  post(WM_CLOSE);
  return waitForExit(timeoutMs);
}

DWORD QuorvaneApp::waitForExit(DWORD timeoutMs) {
  if (!process_.hProcess) return STILL_ACTIVE;
  if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}
