// The message log window docked at the main window's left edge: the senders, and the
// messages of the sender the user selects.
#include "msglog/message_log_window_win32.h"

#include "base/companion_window_win32.h"
#include "base/dialog_controls_win32.h"
#include "msglog/message_view.h"
#include "resources/resource.h"
#include "base/effects_win32.h"
#include "base/shared_state.h"

namespace {

HWND messageLogWindow = nullptr;
HWND ownerWindow = nullptr;
MessageLog* shownLog = nullptr;

HWND logOwner() {
  return ownerWindow;
}

const char* const OPEN_LOG_TEXT = "<<< [ Open Message Log ] >>>";
const char* const CLOSE_LOG_TEXT = "<<< [ Close Message Log ] >>>";

// Set from the start of the window's opening until its closing slide has ended.
bool messageLogOpen = false;

void fillSenderList(HWND window) {
  HWND list = GetDlgItem(window, IDC_LOG_SENDERS);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& sender : shownLog->Senders()) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(sender.c_str()));
  }
}

void showMessages(HWND window) {
  SetDlgItemTextA(window, IDC_LOG_VIEW, "");
  HWND list = GetDlgItem(window, IDC_LOG_SENDERS);
  std::optional<std::size_t> row = ListSelection(list);
  if (!row) return;
  std::string sender = ListItemText(list, *row);
  std::string view = MessageViewText(shownLog->MessagesOf(sender));
  SetDlgItemTextA(window, IDC_LOG_VIEW, ForEditBox(view).c_str());
}

void openWindow(HWND window) {
  SetDlgItemTextA(ownerWindow, IDC_MESSAGE_LOG_BUTTON, CLOSE_LOG_TEXT);
  messageLogOpen = true;
  messageLogWindow = window;
  // A long log must not be cut at the edit box's default limit.
  SendDlgItemMessageA(window, IDC_LOG_VIEW, EM_SETLIMITTEXT, 0, 0);
  SlideOut(window, ownerWindow, DockSide::Left);
  fillSenderList(window);
}

void closeWindow(HWND window) {
  // In the lite look the window jumps behind the main window at once.
  if (LiteMode()) {
    RECT main{}, own{};
    GetWindowRect(ownerWindow, &main);
    GetWindowRect(window, &own);
    SetWindowPos(window, ownerWindow, main.left, own.top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
  }
  SlideBack(window, ownerWindow, DockSide::Left);
  if (IsWindow(window)) DestroyWindow(window);
}

void onCommand(HWND window, int id) {
  switch (id) {
    case IDC_LOG_CLOSE:
      PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case IDC_LOG_CLEAR:
      shownLog->Clear();
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
  static const CompanionStyle style{IDB_MESSAGE_LOG, RGB(0, 0, 0), nullptr, logOwner,
                                    DockSide::Left};
  INT_PTR answer = 0;
  if (HandleCompanionMessage(window, message, wParam, lParam, style, answer)) return answer;
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
      if (messageLogWindow == window) {
        messageLogWindow = nullptr;
        messageLogOpen = false;
        SetDlgItemTextA(ownerWindow, IDC_MESSAGE_LOG_BUTTON, OPEN_LOG_TEXT);
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

void ToggleMessageLogWindow(HWND owner, MessageLog& log) {
  if (messageLogOpen && messageLogWindow) {
    PostMessageA(messageLogWindow, WM_CLOSE, 0, 0);
  } else {
    ownerWindow = owner;
    shownLog = &log;
    CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_MESSAGE_LOG), owner,
                       MessageLogWindowProc, 0);
  }
}

HWND MessageLogWindow() {
  return messageLogWindow;
}
