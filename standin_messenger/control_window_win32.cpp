// The control window and the scripted commands.
#include "standin_messenger/control_window_win32.h"

#include <string>

#include "standin_messenger/conversation_window_win32.h"
#include "standin_messenger/open_request.h"

namespace {

enum ControlId {
  ID_CONTACT = STANDIN_CONTACT_FIELD_ID,
  ID_MESSAGE = STANDIN_MESSAGE_FIELD_ID,
  ID_RECEIVE = 103,
  ID_NEW = 104
};

std::wstring itemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  int n = GetWindowTextLengthW(item);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(item, &text[0], n + 1);
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

// A contact's message from the two fields, in a new window as the client opens one.
void receiveFromFields(HWND control) {
  OpenRequest request;
  request.sender = itemText(control, ID_CONTACT);
  request.text = itemText(control, ID_MESSAGE);
  if (request.sender.empty()) {
    MessageBeep(MB_ICONWARNING);
    SetFocus(GetDlgItem(control, ID_CONTACT));
    return;
  }
  request.title = request.sender + L" - chat";
  openConversationWindow(request);
}

// A conversation the user starts: no recipient chosen yet unless a contact is filled in.
void openEmptyFromFields(HWND control) {
  OpenRequest request;
  request.head.textMode = STANDIN_TEXT_EMPTY;
  std::wstring contact = itemText(control, ID_CONTACT);
  request.title = contact.empty() ? L"Instant Message" : contact + L" - chat";
  openConversationWindow(request);
}

LRESULT runCommand(const COPYDATASTRUCT& cds) {
  OpenRequest request;
  HWND target = nullptr;
  switch (cds.dwData) {
    case STANDIN_CMD_OPEN:
      if (!decodeOpenRequest(cds.lpData, cds.cbData, request)) return 0;
      return reinterpret_cast<LRESULT>(openConversationWindow(request));
    case STANDIN_CMD_APPEND:
      if (!decodeOpenRequest(cds.lpData, cds.cbData, request)) return 0;
      target = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(request.head.targetWindow));
      return appendConversationText(target, request.head.textMode == STANDIN_TEXT_RAW
                                                ? request.text
                                                : request.sender + L": " + request.text)
                 ? reinterpret_cast<LRESULT>(target)
                 : 0;
    case STANDIN_CMD_RAISE:
      if (!decodeOpenRequest(cds.lpData, cds.cbData, request)) return 0;
      target = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(request.head.targetWindow));
      return raiseConversationWindow(target) ? reinterpret_cast<LRESULT>(target) : 0;
    case STANDIN_CMD_CLOSE_ALL:
      return destroyAllConversationWindows();
    case STANDIN_CMD_QUIT:
      PostQuitMessage(0);
      return 1;
  }
  return 0;
}

HWND addControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
                int w, int h, int id, DWORD exStyle = 0) {
  HWND item = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
  SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return item;
}

void buildControls(HWND w) {
  addControl(w, L"STATIC", L"Contact ID:", 0, 12, 15, 70, 16, 0);
  addControl(w, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, 86, 12, 250, 22, ID_CONTACT,
             WS_EX_CLIENTEDGE);
  addControl(w, L"STATIC", L"Message:", 0, 12, 45, 70, 16, 0);
  addControl(w, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, 86, 42, 250, 22, ID_MESSAGE,
             WS_EX_CLIENTEDGE);
  addControl(w, L"BUTTON", L"&Receive message", WS_TABSTOP | BS_DEFPUSHBUTTON, 86, 76, 122, 26,
             ID_RECEIVE);
  addControl(w, L"BUTTON", L"&New conversation", WS_TABSTOP | BS_PUSHBUTTON, 214, 76, 122, 26,
             ID_NEW);
}

LRESULT CALLBACK controlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      buildControls(window);
      return 0;
    case WM_COPYDATA:
      return runCommand(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_COMMAND:
      if (LOWORD(wParam) == ID_RECEIVE || LOWORD(wParam) == IDOK) receiveFromFields(window);
      if (LOWORD(wParam) == ID_NEW) openEmptyFromFields(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  // An ANSI class: its creation data and title are ANSI.
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

HWND createControlWindow(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = controlProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = STANDIN_CONTROL_CLASS;
  if (!RegisterClassExA(&wc)) return nullptr;
  RECT r{0, 0, 350, 114};
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRectEx(&r, style, FALSE, WS_EX_CONTROLPARENT);
  HWND w =
      CreateWindowExA(WS_EX_CONTROLPARENT, STANDIN_CONTROL_CLASS, STANDIN_CONTROL_TITLE, style, 880,
                      30, r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  if (w) ShowWindow(w, SW_SHOWNORMAL);
  return w;
}
