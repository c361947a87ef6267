// The message log window docked at the main window's left edge: the senders, and the
// messages of the sender the user selects.
#include "msglog/message_log_window_win32.h"

#include "base/companion_window_win32.h"
#include "base/dialog_controls_win32.h"
#include "msglog/message_view.h"
#include "resources/resource.h"
#include "base/effects_win32.h"
#include "base/free_text_font_win32.h"
#include "base/shared_state.h"

namespace {

HWND messageLogWindow = nullptr;
HWND ownerWindow = nullptr;
MessageLog* shownLog = nullptr;

HWND logOwner() {
  return ownerWindow;
}

void fillSenderList(HWND window) {
  FillListBox(GetDlgItem(window, IDC_LOG_SENDERS), shownLog->Senders());
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

void openWindow(HWND window, LPARAM) {
  // A long log must not be cut at the edit box's default limit.
  SendDlgItemMessageA(window, IDC_LOG_VIEW, EM_SETLIMITTEXT, 0, 0);
  UseFreeTextFont(window, {IDC_LOG_SENDERS, IDC_LOG_VIEW});
  fillSenderList(window);
}

bool mayClose(HWND window) {
  // In the lite look the window jumps behind the main window at once.
  if (LiteMode()) {
    RECT main{}, own{};
    GetWindowRect(ownerWindow, &main);
    GetWindowRect(window, &own);
    SetWindowPos(window, ownerWindow, main.left, own.top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
  }
  return true;
}

void onCommand(HWND window, int id, int) {
  // The close button carries IDCANCEL, which the companion procedure answers like Esc.
  switch (id) {
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

const CompanionButton LOG_BUTTON{IDC_MESSAGE_LOG_BUTTON, "<<< [ Open Message Log ] >>>",
                                 "<<< [ Close Message Log ] >>>"};
const CompanionSteps STEPS{openWindow, onCommand, mayClose};
const CompanionStyle LOG_STYLE{IDB_MESSAGE_LOG, RGB(0, 0, 0),   STEPS,      &messageLogWindow,
                               logOwner,        DockSide::Left, LOG_BUTTON, true};

INT_PTR CALLBACK MessageLogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CompanionProcedure(window, message, wParam, lParam, LOG_STYLE);
}

}  // namespace

HWND MessageLogWindow() {
  return messageLogWindow;
}

void ToggleMessageLogWindow(HWND owner, MessageLog& log) {
  if (CloseCompanionIfOpen(LOG_STYLE)) return;
  ownerWindow = owner;
  shownLog = &log;
  CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_MESSAGE_LOG), owner,
                     MessageLogWindowProc, 0);
}
