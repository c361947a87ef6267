// The configuration dialog: the default reply text, the reply interval, the animation
// speed and the lite look, written to "conf.qvr" when the user confirms.
#include "config/config_dialog_win32.h"

#include "config/config_form.h"
#include "base/companion_window_win32.h"
#include "base/dialog_controls_win32.h"
#include "resources/resource.h"
#include "base/effects_win32.h"
#include "base/shared_state.h"

namespace {

// The store the dialog works on travels in the dialog's user data.
SettingsStore* storeOf(HWND dialog) {
  return reinterpret_cast<SettingsStore*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void fillList(HWND dialog, int id, const std::vector<std::string>& texts,
              std::optional<int> selected) {
  HWND list = GetDlgItem(dialog, id);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (const std::string& text : texts) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageA(list, CB_SETCURSEL, selected ? *selected : -1, 0);
}

// The lists' edit parts can be typed into; what counts is the item the text names.
std::optional<int> chosenItem(HWND dialog, int id, const std::vector<std::string>& texts) {
  char shown[256] = "";
  GetDlgItemTextA(dialog, id, shown, sizeof shown);
  return listPosition(texts, shown);
}

void openDialog(HWND dialog, SettingsStore* store) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(store));
  if (!LiteMode()) FadeIn(dialog);
  ConfigForm form;  // what an absent file shows: nothing at all
  if (store->load()) form = formFromSettings(store->settings());
  fillList(dialog, IDC_CONFIG_INTERVAL, replyIntervalTexts(), form.interval);
  fillList(dialog, IDC_CONFIG_SPEED, uiSpeedTexts(), form.speed);
  SetDlgItemTextA(dialog, IDC_CONFIG_MESSAGE, form.messageLines.front().c_str());
  CheckDlgButton(dialog, IDC_CONFIG_LITE, form.lite ? BST_CHECKED : BST_UNCHECKED);
}

void confirm(HWND dialog) {
  ConfigForm form;
  form.messageLines = EditLines(GetDlgItem(dialog, IDC_CONFIG_MESSAGE));
  form.lite = IsDlgButtonChecked(dialog, IDC_CONFIG_LITE) == BST_CHECKED;
  form.interval = chosenItem(dialog, IDC_CONFIG_INTERVAL, replyIntervalTexts());
  form.speed = chosenItem(dialog, IDC_CONFIG_SPEED, uiSpeedTexts());
  // Only a warning: the empty message is stored all the same.
  if (formLacksMessage(form)) PostNote(NOTE_ERROR, CONFIG_NO_DEFAULT_MESSAGE);
  SettingsStore* store = storeOf(dialog);
  storeForm(form, store->settings());
  // Switching the lite look on already spares the dialog its closing fade.
  LiteLook = store->settings().liteMode != 0;
  HWND owner = GetWindow(dialog, GW_OWNER);
  EndDialogFading(dialog, IDOK);
  PostMessageA(owner, UM_SETTINGS_CHANGED, 0, 0);
  // The new values hold for this run all the same; the user must know they will not
  // come back at the next start.
  std::string reason;
  if (!store->save(&reason)) TellSaveFailed("conf.qvr", reason, CONFIG_NOT_SAVED);
}

void cancel(HWND dialog) {
  EndDialogFading(dialog, IDCANCEL);
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static const CompanionStyle style{IDB_CONFIG, RGB(0, 0, 0)};
  INT_PTR answer = 0;
  if (HandleCompanionMessage(dialog, message, wParam, lParam, style, answer)) return answer;
  switch (message) {
    case WM_INITDIALOG:
      openDialog(dialog, reinterpret_cast<SettingsStore*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        confirm(dialog);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        cancel(dialog);
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

void OpenConfigDialog(HWND owner, SettingsStore& store) {
  if (AutoresponseActive) {
    PostNote(NOTE_ERROR, CONFIG_REFUSED_WHILE_ACTIVE);
    return;
  }
  DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_CONFIG), owner, ConfigDialogProc,
                  reinterpret_cast<LPARAM>(&store));
}
