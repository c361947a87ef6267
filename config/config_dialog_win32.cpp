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
  FillComboBox(list, texts);
  SendMessageA(list, CB_SETCURSEL, selected ? *selected : -1, 0);
}

// The lists' edit parts can be typed into; what counts is the item the text names.
std::optional<int> chosenItem(HWND dialog, int id, const std::vector<std::string>& texts) {
  char shown[256] = "";
  GetDlgItemTextA(dialog, id, shown, sizeof shown);
  return listPosition(texts, shown);
}

void openDialog(HWND dialog, LPARAM data) {
  SetWindowLongPtrA(dialog, DWLP_USER, data);
  SettingsStore* store = storeOf(dialog);
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
  // The dialog closes in the look just chosen: switching the lite look on already spares
  // it the fade, while the main window takes the look over only on UM_SETTINGS_CHANGED.
  HWND owner = GetWindow(dialog, GW_OWNER);
  if (!form.lite) FadeOut(dialog);
  EndDialog(dialog, IDOK);
  PostMessageA(owner, UM_SETTINGS_CHANGED, 0, 0);
  // The new values hold for this run all the same; the user must know they will not
  // come back at the next start.
  std::string reason;
  if (!store->save(&reason)) TellSaveFailed("conf.qvr", reason, CONFIG_NOT_SAVED);
}

void cancel(HWND dialog) {
  EndDialogFading(dialog, IDCANCEL);
}

void onCommand(HWND dialog, int id, int) {
  if (id == IDOK) confirm(dialog);
  if (id == IDCANCEL) cancel(dialog);
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static const CompanionStyle style{IDB_CONFIG, RGB(0, 0, 0), {openDialog, onCommand}};
  return CompanionProcedure(dialog, message, wParam, lParam, style);
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
