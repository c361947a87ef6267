// The message log window docked at the main window's left edge: the senders, and the
// messages of the sender the user selects.
#include "base/dialog_controls_win32.h"
#include "msglog/message_view.h"
#include "resources/resource.h"
#include "app/app_win32.h"
#include "base/effects_win32.h"

HWND MessageLogWindowHandle = nullptr;

namespace {

const char* const OPEN_LOG_TEXT = "<<< [ Open Message Log ] >>>";
const char* const CLOSE_LOG_TEXT = "<<< [ Close Message Log ] >>>";

// Set from the start of the window's opening until its closing slide has ended.
bool messageLogOpen = false;

void fillSenderList(HWND window) {
  HWND list = GetDlgItem(window, IDC_LOG_SENDERS);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& sender : app().messageLog.Senders()) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(sender.c_str()));
  }
}

void showMessages(HWND window) {
  SetDlgItemTextA(window, IDC_LOG_VIEW, "");
  HWND list = GetDlgItem(window, IDC_LOG_SENDERS);
  std::optional<std::size_t> row = ListSelection(list);
  if (!row) return;
  std::string sender = ListItemText(list, *row);
  std::string view = MessageViewText(app().messageLog.MessagesOf(sender));
  SetDlgItemTextA(window, IDC_LOG_VIEW, ForEditBox(view).c_str());
}

void openWindow(HWND window) {
  SetDlgItemTextA(MainWindowHandle, IDC_MESSAGE_LOG_BUTTON, CLOSE_LOG_TEXT);
  messageLogOpen = true;
  MessageLogWindowHandle = window;
  // A long log must not be cut at the edit box's default limit.
  SendDlgItemMessageA(window, IDC_LOG_VIEW, EM_SETLIMITTEXT, 0, 0);
  SlideOut(window, MainWindowHandle, DockSide::Left);
  fillSenderList(window);
}

void closeWindow(HWND window) {
  // In the lite look the window jumps behind the main window at once.
  if (LiteMode()) {
    RECT main{}, own{};
    GetWindowRect(MainWindowHandle, &main);
    GetWindowRect(window, &own);
    SetWindowPos(window, MainWindowHandle, main.left, own.top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
  }
  SlideBack(window, MainWindowHandle, DockSide::Left);
  if (IsWindow(window)) DestroyWindow(window);
}

void onCommand(HWND window, int id) {
  switch (id) {
    case IDC_LOG_CLOSE:
      PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case IDC_LOG_CLEAR:
      app().messageLog.Clear();
      fillSenderList(window);
      showMessages(window);
      break;
    case IDC_LOG_REFRESH:
      fillSenderList(window);
      showMessages(window);
      break;
    case IDC_LOG_SENDERS:
      showMessages(window);
      break;
  }
}

INT_PTR CALLBACK MessageLogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      openWindow(window);
      return FALSE;
    case WM_COMMAND:
      onCommand(window, LOWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      closeWindow(window);
      return TRUE;
    case WM_DESTROY:
      // Also reached when the main window goes first and takes its owned windows along.
      if (MessageLogWindowHandle == window) {
        MessageLogWindowHandle = nullptr;
        messageLogOpen = false;
        SetDlgItemTextA(MainWindowHandle, IDC_MESSAGE_LOG_BUTTON, OPEN_LOG_TEXT);
      }
      return FALSE;
    case UM_MAIN_WINDOW_MOVED:
      Redock(window, MainWindowHandle, DockSide::Left);
      return TRUE;
    case WM_CTLCOLORDLG:
      return DialogBackground(BackgroundBrush(IDB_MESSAGE_LOG));
    case WM_CTLCOLORSTATIC:
      return StaticColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), window,
                          BackgroundBrush(IDB_MESSAGE_LOG), RGB(0, 0, 0));
  }
  return FALSE;
}

}  // namespace

void ToggleMessageLogWindow(HWND mainWindow) {
  if (messageLogOpen && MessageLogWindowHandle) {
    PostMessageA(MessageLogWindowHandle, WM_CLOSE, 0, 0);
  } else {
    CreateDialogParamA(app().instance, MAKEINTRESOURCEA(IDD_MESSAGE_LOG), mainWindow,
                       MessageLogWindowProc, 0);
  }
}
