// Working the companion windows of a running quorvane.exe.
#include "companions/companion_driver.h"

#include "common/screenshot.h"
#include "resources/resource.h"

HWND FindDialogWith(const QuorvaneApp& app, std::initializer_list<int> ids) {
  for (const ProgramWindow& w : app.otherWindows()) {
    bool all = true;
    for (int id : ids) all = all && GetDlgItem(w.window, id) != nullptr;
    if (all) return w.window;
  }
  return nullptr;
}

HWND WaitForDialogWith(const QuorvaneApp& app, std::initializer_list<int> ids, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindDialogWith(app, ids)) != nullptr; }, timeoutMs);
  return found;
}

bool WaitGone(HWND window, DWORD timeoutMs) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

HWND GroupsWindow(const QuorvaneApp& app) {
  return FindDialogWith(app, {IDC_GROUP_CREATE, IDC_GROUP_EDIT, IDC_GROUP_REMOVE, IDC_GROUP_LIST});
}
HWND GroupInfoDialog(const QuorvaneApp& app) {
  return FindDialogWith(app, {IDC_GROUP_NAME, IDC_GROUP_MESSAGE, IDC_STATUS});
}
HWND MembersWindow(const QuorvaneApp& app) {
  return FindDialogWith(app, {IDC_MEMBER_CREATE, IDC_MEMBER_REMOVE, IDC_MEMBER_LIST});
}
HWND UserIdDialog(const QuorvaneApp& app) {
  return FindDialogWith(app, {IDC_USER_ID, IDC_STATUS});
}
HWND MessageLogWindow(const QuorvaneApp& app) {
  return FindDialogWith(app, {IDC_LOG_VIEW, IDC_LOG_CLEAR, IDC_LOG_REFRESH});
}
HWND ConfigDialog(const QuorvaneApp& app) {
  return FindDialogWith(app, {IDC_CONFIG_MESSAGE, IDC_CONFIG_INTERVAL, IDC_CONFIG_SPEED});
}

std::string ItemText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::string& text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
}

void Click(HWND dialog, int id) {
  PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

HWND FocusIn(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

std::vector<std::string> ListTexts(HWND dialog, int listId) {
  HWND list = GetDlgItem(dialog, listId);
  std::vector<std::string> texts;
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    if (length < 0) length = 0;
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&wide[0]));
    wide.resize(got < 0 ? 0 : static_cast<size_t>(got));
    std::string text(wide.size() * 2 + 1, '\0');
    int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0],
                                static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    texts.push_back(text);
  }
  return texts;
}

int ListSelection(HWND dialog, int listId) {
  return static_cast<int>(SendMessageW(GetDlgItem(dialog, listId), LB_GETCURSEL, 0, 0));
}

void SelectRow(HWND dialog, int listId, int row) {
  HWND list = GetDlgItem(dialog, listId);
  SendMessageW(list, LB_SETCURSEL, row, 0);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

void DoubleClickRow(HWND dialog, int listId, int row) {
  HWND list = GetDlgItem(dialog, listId);
  SendMessageW(list, LB_SETCURSEL, row, 0);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
}

void ClearSelection(HWND dialog, int listId) {
  SendMessageW(GetDlgItem(dialog, listId), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

RECT Frame(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

POINT ClientOrigin(HWND window) {
  POINT p{0, 0};
  ClientToScreen(window, &p);
  return p;
}

std::string FileBytes(const QuorvaneApp& app, const std::string& name) {
  // The program saves by moving a new file over the old one, which fails while anyone has
  // the old one open (under Wine even with delete sharing). It saves on its interface
  // thread, so the file is read only once that thread has finished what it was doing.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(app.mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  std::string bytes;
  if (!app.readFile(name, bytes)) return "<missing>";
  return bytes;
}

bool WaitForFile(const QuorvaneApp& app, const std::string& name, const std::string& bytes,
                 DWORD timeoutMs) {
  return WaitUntil([&] { return FileBytes(app, name) == bytes; }, timeoutMs);
}

std::string CrLfLines(std::initializer_list<std::string> lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

void ShotOf(const std::string& name, std::initializer_list<HWND> windows) {
  RECT all{};
  bool first = true;
  for (HWND w : windows) {
    if (!w || !IsWindow(w)) continue;
    // A window that a slide passed over may not have painted itself yet.
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r = Frame(w);
    if (first) {
      all = r;
      first = false;
    } else {
      UnionRect(&all, &all, &r);
    }
  }
  if (first) return;
  InflateRect(&all, 8, 8);
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  IntersectRect(&all, &all, &screen);
  SaveScreenArea(name, all);
}
