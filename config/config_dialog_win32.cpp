// The configuration dialog: the default reply text, the reply interval, the animation
// speed and the lite look, written to "conf.qvr" when the user confirms, and the settings
// that make Quorvane activate by itself and those of its icon in the notification area,
// written to "away.qvr" when the user changed them.
#include "config/config_dialog_win32.h"

#include "config/config_form.h"
#include "base/companion_window_win32.h"
#include "base/dialog_controls_win32.h"
#include "resources/resource.h"
#include "base/effects_win32.h"
#include "base/free_text_font_win32.h"
#include "base/shared_state.h"

namespace {

// What the dialog works on, which travels in its user data: the two stores, and the away
// settings as the dialog found them, so that an unchanged row writes no file.
struct ConfigStores {
  SettingsStore* settings = nullptr;
  AwaySettingsStore* away = nullptr;
  AwaySettings shown;
};

ConfigStores& storesOf(HWND dialog) {
  return *reinterpret_cast<ConfigStores*>(GetWindowLongPtrA(dialog, DWLP_USER));
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

bool ticked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// The minutes box takes a number while its check box is ticked, and offers 10 otherwise.
void showMinutesBox(HWND dialog, bool afterIdle) {
  HWND minutes = GetDlgItem(dialog, IDC_CONFIG_AWAY_MINUTES);
  if (!afterIdle) SetWindowTextA(minutes, std::to_string(AWAY_MINUTES_OFFERED).c_str());
  EnableWindow(minutes, afterIdle);
}

// Hidden when minimised, the window comes back through the icon only.
void showHideBox(HWND dialog, bool trayIcon) {
  EnableWindow(GetDlgItem(dialog, IDC_CONFIG_HIDE_MINIMISED), trayIcon);
}

void showAwayRow(HWND dialog, const AwayForm& form) {
  SendDlgItemMessageA(dialog, IDC_CONFIG_AWAY_MINUTES, EM_LIMITTEXT, 3, 0);
  SetDlgItemTextA(dialog, IDC_CONFIG_AWAY_MINUTES, form.minutes.c_str());
  CheckDlgButton(dialog, IDC_CONFIG_AWAY_IDLE, form.afterIdle ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_CONFIG_AWAY_LOCKED, form.whenLocked ? BST_CHECKED : BST_UNCHECKED);
  showMinutesBox(dialog, form.afterIdle);
  CheckDlgButton(dialog, IDC_CONFIG_TRAY_ICON, form.trayIcon ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_CONFIG_HIDE_MINIMISED,
                 form.hideWhenMinimised ? BST_CHECKED : BST_UNCHECKED);
  showHideBox(dialog, form.trayIcon);
}

AwayForm readAwayRow(HWND dialog) {
  AwayForm form;
  form.afterIdle = ticked(dialog, IDC_CONFIG_AWAY_IDLE);
  form.minutes = EditFirstLine(GetDlgItem(dialog, IDC_CONFIG_AWAY_MINUTES));
  form.whenLocked = ticked(dialog, IDC_CONFIG_AWAY_LOCKED);
  form.trayIcon = ticked(dialog, IDC_CONFIG_TRAY_ICON);
  form.hideWhenMinimised = ticked(dialog, IDC_CONFIG_HIDE_MINIMISED);
  return form;
}

void openDialog(HWND dialog, LPARAM data) {
  SetWindowLongPtrA(dialog, DWLP_USER, data);
  UseFreeTextFont(dialog, {IDC_CONFIG_MESSAGE});
  ConfigStores& stores = storesOf(dialog);
  SettingsStore* store = stores.settings;
  if (!LiteMode()) FadeIn(dialog);
  ConfigForm form;  // what an absent file shows: nothing at all
  if (store->load()) form = formFromSettings(store->settings());
  fillList(dialog, IDC_CONFIG_INTERVAL, replyIntervalTexts(), form.interval);
  fillList(dialog, IDC_CONFIG_SPEED, uiSpeedTexts(), form.speed);
  SetDlgItemTextA(dialog, IDC_CONFIG_MESSAGE, form.messageLines.front().c_str());
  CheckDlgButton(dialog, IDC_CONFIG_LITE, form.lite ? BST_CHECKED : BST_UNCHECKED);
  // Read into a record of the dialog's own: the watch runs on the live one until OK.
  AwaySettingsStore file(stores.away->fileName());
  file.load();
  stores.shown = file.settings();
  showAwayRow(dialog, awayFormFromSettings(stores.shown));
}

void confirm(HWND dialog) {
  ConfigForm form;
  form.messageLines = EditLines(GetDlgItem(dialog, IDC_CONFIG_MESSAGE));
  form.lite = IsDlgButtonChecked(dialog, IDC_CONFIG_LITE) == BST_CHECKED;
  form.interval = chosenItem(dialog, IDC_CONFIG_INTERVAL, replyIntervalTexts());
  form.speed = chosenItem(dialog, IDC_CONFIG_SPEED, uiSpeedTexts());
  // Only a warning: the empty message is stored all the same.
  if (formLacksMessage(form)) PostNote(NOTE_ERROR, CONFIG_NO_DEFAULT_MESSAGE);
  ConfigStores& stores = storesOf(dialog);
  SettingsStore* store = stores.settings;
  storeForm(form, store->settings());
  AwaySettingsStore chosen(stores.away->fileName());
  chosen.settings() = awaySettingsFromForm(readAwayRow(dialog));
  const bool awayChanged = chosen.settings() != stores.shown;
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
  // A user who never touches the away row gets no file of it. The watch and the icon run
  // on what away.qvr holds: settings it could not take stay as they were, so that what the
  // dialog shows next, and what a restart brings, is what runs.
  if (!awayChanged || chosen.save(&reason))
    stores.away->settings() = chosen.settings();
  else
    TellSaveFailed(chosen.fileName(), reason, CONFIG_AWAY_NOT_SAVED);
}

void cancel(HWND dialog) {
  EndDialogFading(dialog, IDCANCEL);
}

void onCommand(HWND dialog, int id, int) {
  if (id == IDOK) confirm(dialog);
  if (id == IDCANCEL) cancel(dialog);
  if (id == IDC_CONFIG_AWAY_IDLE) showMinutesBox(dialog, ticked(dialog, IDC_CONFIG_AWAY_IDLE));
  if (id == IDC_CONFIG_TRAY_ICON) showHideBox(dialog, ticked(dialog, IDC_CONFIG_TRAY_ICON));
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static const CompanionStyle style{IDB_CONFIG, RGB(0, 0, 0), {openDialog, onCommand}};
  return CompanionProcedure(dialog, message, wParam, lParam, style);
}

}  // namespace

void OpenConfigDialog(HWND owner, SettingsStore& store, AwaySettingsStore& away) {
  if (AutoresponseActive) {
    PostNote(NOTE_ERROR, CONFIG_REFUSED_WHILE_ACTIVE);
    return;
  }
  ConfigStores stores{&store, &away, {}};
  DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_CONFIG), owner, ConfigDialogProc,
                  reinterpret_cast<LPARAM>(&stores));
}
