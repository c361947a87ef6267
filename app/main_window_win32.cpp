// The main window: the user's commands, the status line, the default reply and the
// statistics, and the popups that everyone else asks for.
#include "app/main_window_win32.h"

#include <cstring>
#include <optional>
#include <string>

#include "app/app_win32.h"
#include "app/away_watch_win32.h"
#include "app/notification_popup_win32.h"
#include "app/running_copy_win32.h"
#include "app/tray_icon_win32.h"
#include "base/dialog_controls_win32.h"
#include "base/display_scale_win32.h"
#include "base/effects_win32.h"
#include "base/free_text_font_win32.h"
#include "base/main_window_port_win32.h"
#include "base/edit_lines.h"
#include "base/shared_state.h"
#include "config/config_dialog_win32.h"
#include "groups/group_windows_win32.h"
#include "msglog/message_log_window_win32.h"
#include "resources/resource.h"
#include "responder/guard.h"
#include "responder/responder.h"

namespace {

const char* const TEXT_ENTER_MESSAGE = "Enter Default Autoreply Message...";
const char* const TEXT_FEEDBACK = "Ideas for the next version? Write to feedback@quorvane.example";
// "diabled" and "Openend" below are kept as users have always seen them.
const char* const TEXT_GRAPHICS_OFF =
    "You have diabled all Graphics. To enable graphics goto configuration panel !";
const char* const TEXT_ALREADY_ACTIVE = " Autoresponse is already active !";
const char* const TEXT_NO_REPLY =
    "Enter a default autoreply message or configure one by opening the configuration "
    "window...";
const char* const TEXT_STOPPING = "Attempting to stop ...";
const char* const TEXT_NOTIFY_ON = "Autoresponse will Pop Up Notification on receiving messages...";
const char* const TEXT_NOTIFY_OFF = "Message notification disabled...";
const char* const TEXT_LOG_ON = "Logging to File Enabled...";
const char* const TEXT_LOG_OFF = "Logging to File Disabled...";
const char* const TEXT_LOG_OPENED = "Message Log Openend...";
const char* const TEXT_NAME_HELD_ELSEWHERE =
    "Another program uses Quorvane's name; Quorvane started anyway...";
const char* const TEXT_TEMPORARY_FOLDER =
    "Running in a temporary folder: settings, groups and logs saved here will be lost. Unpack "
    "the zip first.";
const char* const TEXT_FOLDER_NOT_WRITABLE =
    "Quorvane cannot save in the folder it was started in; it keeps its files in "
    "%APPDATA%\\Quorvane.";
const char* const TEXT_DATA_FOLDER_FAILED =
    "Quorvane could not make or open %APPDATA%\\Quorvane; it keeps its files in the folder "
    "it was started in.";

constexpr DWORD COMPANION_CLOSE_WAIT_MS = 1000;
// How often a copy started without its mutex tries to take it.
constexpr UINT TAKE_RUNNING_NAME_EVERY_MS = 1000;
constexpr uint32_t POLL_INTERVAL_MS = 1000;
// The longest part of one line of the reply box that is kept.
constexpr std::size_t REPLY_LINE_LIMIT = 1023;
// The program's icon group (release.rc), with an image for every common size.
const char* const PROGRAM_ICON = "QUORVANE";

void setStatus(HWND window, const char* text) {
  SetDlgItemTextA(window, IDC_STATUS, text);
}

void setReplyEditable(HWND window, bool editable) {
  SendDlgItemMessageA(window, IDC_DEFAULT_REPLY, EM_SETREADONLY, editable ? FALSE : TRUE, 0);
}

void showReply(HWND window) {
  SetDlgItemTextA(window, IDC_DEFAULT_REPLY, DefaultReplyText.c_str());
}

// When a settings record is taken over: at start-up the animation timing stays Normal
// whatever was stored; a stored speed takes effect from the first confirmed change on.
enum class SettingsMoment { StartUp, Changed };

// Takes a settings record over into the values that act on it. The reply box is filled
// by the caller, at start-up only after the window has faded in.
void applySettings(const Settings& settings, SettingsMoment moment) {
  LiteLook = settings.liteMode != 0;
  app().replyPolicy.ReplyInterval = settings.replyMode;
  DefaultReplyText = settings.defaultMessage;
  if (moment == SettingsMoment::Changed) CurrentUiTiming = uiTimingForSpeed(settings.uiSpeed);
}

// The caption, the taskbar and Alt+Tab show the program's icon at the sizes the system
// uses at the window's scale; called again when the scale changes.
void setProgramIcons(HWND window) {
  static HICON shown[2] = {};
  const int dpi = WindowDpi(window);
  const struct {
    WPARAM which;
    int widthMetric, heightMetric;
  } kinds[] = {{ICON_BIG, SM_CXICON, SM_CYICON}, {ICON_SMALL, SM_CXSMICON, SM_CYSMICON}};
  for (int i = 0; i < 2; ++i) {
    HICON icon = static_cast<HICON>(LoadImageA(app().instance, PROGRAM_ICON, IMAGE_ICON,
                                               SystemMetricForDpi(kinds[i].widthMetric, dpi),
                                               SystemMetricForDpi(kinds[i].heightMetric, dpi), 0));
    if (!icon) continue;
    SendMessageA(window, WM_SETICON, kinds[i].which, reinterpret_cast<LPARAM>(icon));
    if (shown[i]) DestroyIcon(shown[i]);  // no longer the window's
    shown[i] = icon;
  }
}

// Said once, at start, after everything else: a warning that files would be lost shows in
// red (see colourQuery) and as a popup whatever the notification switch says.
void tellFolderNotice(HWND window) {
  switch (app().folderNotice) {
    case FolderNotice::Temporary:
      setStatus(window, TEXT_TEMPORARY_FOLDER);
      RequestNote(NOTE_ERROR, TEXT_TEMPORARY_FOLDER);
      break;
    case FolderNotice::NotWritable:
      setStatus(window, TEXT_FOLDER_NOT_WRITABLE);
      break;
    case FolderNotice::MoveFailed:
      setStatus(window, TEXT_DATA_FOLDER_FAILED);
      break;
    case FolderNotice::None:
      break;
  }
}

void StartUp(HWND window) {
  app().replyPolicy.failureBox = [] {
    MessageBoxA(nullptr, "Unhandled Exception Caught...", "Error", MB_ICONERROR);
  };
  mainWindowPort().setWindow(window);
  setMainWindowPort(&mainWindowPort());
  // From now on a later start brings this window forward; its request waits in the queue
  // until start-up is done.
  PublishMainWindow(window);

  app().settingsStore.load();
  applySettings(app().settingsStore.settings(), SettingsMoment::StartUp);
  setProgramIcons(window);
  UseFreeTextFont(window, {IDC_STATUS, IDC_DEFAULT_REPLY});
  FitLabels(window);
  if (!LiteMode()) FadeIn(window);
  CheckDlgButton(window, IDC_NOTIFY_CHECK, BST_CHECKED);
  NotifyEnabled = true;
  setStatus(window, TEXT_ENTER_MESSAGE);
  app().groupStore.load();
  ShowNote(NOTE_INFO, "...Initializing...");
  if (!LiteMode()) {
    LoadBackgrounds();
  } else {
    PostNote(NOTE_CAUTION, TEXT_GRAPHICS_OFF);
  }
  setStatus(window, app().runningNameHeldElsewhere ? TEXT_NAME_HELD_ELSEWHERE : TEXT_FEEDBACK);
  tellFolderNotice(window);
  showReply(window);
  app().awayStore.load();
  WatchAway(window, app().awayStore.settings());
  ShowTrayIcon(window, app().awayStore.settings());
  // Until this copy holds its mutex, a later start could take it and run beside this one.
  if (app().runningNameHeldElsewhere)
    SetTimer(window, IDT_TAKE_RUNNING_NAME, TAKE_RUNNING_NAME_EVERY_MS, nullptr);
}

// Who pressed Activate: the user, or the away watch in their place.
enum class ActivatedBy { User, AwayWatch };

// True when autoresponse is active by this press.
bool Activate(HWND window, ActivatedBy by = ActivatedBy::User) {
  if (AutoresponseActive) {
    setStatus(window, TEXT_ALREADY_ACTIVE);
    PostNote(NOTE_ERROR, TEXT_ALREADY_ACTIVE);
    return false;
  }
  // The lines as the box shows them, joined with nothing between them: a long paragraph
  // wraps into several lines and so is taken whole. A box holding only line breaks counts
  // as empty, so no empty reply is ever sent.
  DefaultReplyText =
      joinEditLines(EditLines(GetDlgItem(window, IDC_DEFAULT_REPLY)), REPLY_LINE_LIMIT);
  if (DefaultReplyText.empty()) {
    setStatus(window, TEXT_NO_REPLY);
    PostNote(NOTE_ERROR, TEXT_NO_REPLY);
    return false;
  }
  setReplyEditable(window, false);
  // Returns at once, autoresponse active: a thread of the last activation that is still
  // finishing its pass is waited for by the new thread, never by this window. The thread
  // says "on guard" once it knows the conversations open now. A thread that cannot be
  // started has said so; the reply stays the user's to change.
  if (!guardThread().StartGuard(POLL_INTERVAL_MS, DefaultReplyText, mainWindowPort())) {
    setReplyEditable(window, true);
    return false;
  }
  SetDlgItemTextA(window, IDC_LOG_FILE_NAME, responder().logFile.FileName().c_str());
  AwayActivated(by == ActivatedBy::AwayWatch);
  TrayActivated(by == ActivatedBy::AwayWatch);
  RefreshTray(window);
  return true;
}

// The popup says `note`: the stopping, or the welcome when the away watch stops it.
void DeActivate(HWND window, const std::string& note = TEXT_STOPPING) {
  AwayDeactivated();
  if (AutoresponseActive) {
    setReplyEditable(window, true);
    AutoresponseActive = false;
    setStatus(window, TEXT_STOPPING);
    PostNote(NOTE_CAUTION, note);
  } else {
    // Inactive, perhaps because the guard thread could not start: the box is editable.
    setReplyEditable(window, true);
    setStatus(window, STATUS_INACTIVE);
    PostNote(NOTE_ERROR, STATUS_INACTIVE);
  }
  RefreshTray(window);
}

void ToggleNotifications(HWND window) {
  NotifyEnabled = !NotifyEnabled;
  setStatus(window, NotifyEnabled ? TEXT_NOTIFY_ON : TEXT_NOTIFY_OFF);
}

void ToggleLogToFile(HWND window) {
  LogToFileEnabled = IsDlgButtonChecked(window, IDC_LOG_TO_FILE_CHECK) == BST_CHECKED;
  const char* text = LogToFileEnabled ? TEXT_LOG_ON : TEXT_LOG_OFF;
  setStatus(window, text);
  PostNote(NOTE_INFO, text);
}

// The configuration dialog has changed the settings record: take its values over. The
// record, not the file, is what counts, so the new values hold for this run even when
// "conf.qvr" could not be written.
void Reload(HWND window) {
  applySettings(app().settingsStore.settings(), SettingsMoment::Changed);
  showReply(window);
  WatchAway(window, app().awayStore.settings());
  ShowTrayIcon(window, app().awayStore.settings());
}

// What the away watch asks for, through the very steps of the two buttons.
void actOnAway(HWND window, AwayStep step) {
  switch (step) {
    case AwayStep::Activate:
      // A thread that could not start has said why; the watch waits for the user's return.
      if (!Activate(window, ActivatedBy::AwayWatch)) AwayActivationFailed();
      break;
    case AwayStep::WelcomeBack:
      DeActivate(window, AwayWelcomeText(guardThread().newestSummary()));
      break;
    case AwayStep::SayReplyEmpty:
      setStatus(window, AWAY_REPLY_EMPTY);
      break;
    case AwayStep::None:
      break;
  }
}

// The guard has ended. Ended by itself while still meant to guard (its first look at the
// chat client's windows failed), it is said once, and the watch waits for the user's return
// before it activates again.
void guardEnded(HWND window) {
  if (AutoresponseActive || !AwayGuardEnded()) return;
  setReplyEditable(window, true);
  setStatus(window, AWAY_GUARD_FAILED);
  PostNote(NOTE_ERROR, AWAY_GUARD_FAILED);
}

void closeCompanion(HWND companion) {
  if (!companion || !IsWindow(companion)) return;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(companion, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, COMPANION_CLOSE_WAIT_MS,
                      &ignored);
}

void Shutdown(HWND window) {
  PublishClosing();
  closeCompanion(GroupsWindow());
  closeCompanion(MessageLogWindow());
  if (!LiteMode() && !IsIconic(window)) FadeOut(window);
  EndDialog(window, 0);
}

// Minimised, the main window takes its companions out of sight with it; restored, they
// dock beside it again, as after any move, and show.
void tellCompanionsWeMoved(HWND window) {
  const bool minimised = IsIconic(window);
  for (HWND companion : {GroupsWindow(), MessageLogWindow(), MembersWindow()}) {
    if (!companion) continue;
    if (minimised)
      ShowWindow(companion, SW_HIDE);
    else
      PostMessageA(companion, UM_MAIN_WINDOW_MOVED, 0, 0);
  }
}

void Command(HWND window, int id) {
  switch (id) {
    case IDC_ACTIVATE:
      Activate(window);
      break;
    case IDC_DEACTIVATE:
      DeActivate(window);
      break;
    case IDC_MESSAGE_LOG_BUTTON:
      ToggleMessageLogWindow(window, app().messageLog);
      setStatus(window, TEXT_LOG_OPENED);
      break;
    case IDC_ABOUT_BUTTON:
      DialogBoxParamA(app().instance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutDialogProc, 0);
      break;
    case IDC_CLOSE_BUTTON:
      PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case IDC_GROUPS_BUTTON:
      ToggleGroupsWindow(window, app().groupStore);
      break;
    case IDC_CONFIG_BUTTON:
      OpenConfigDialog(window, app().settingsStore, app().awayStore);
      break;
    case IDC_NOTIFY_CHECK:
      ToggleNotifications(window);
      break;
    case IDC_LOG_TO_FILE_CHECK:
      ToggleLogToFile(window);
      break;
    case IDM_TRAY_SHOW:
      ComeForward(window);
      break;
  }
}

// The status line is red for as long as it warns that files will be lost.
bool statusWarns(HWND control) {
  if (!control || GetDlgCtrlID(control) != IDC_STATUS) return false;
  char text[256] = {};
  GetWindowTextA(control, text, sizeof text);
  return std::strcmp(text, TEXT_TEMPORARY_FOLDER) == 0;
}

// Static texts, group boxes and check boxes are drawn over the window's picture.
INT_PTR colourQuery(HWND window, HDC dc, HWND control) {
  const COLORREF text = statusWarns(control) ? RGB(200, 0, 0) : RGB(0, 0, 0);
  if (LiteMode()) {
    SetTextColor(dc, text);
    return 1;  // the system colour with index 0
  }
  if (control) {
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    AlignBrushOrigin(dc, control, window);
  }
  return reinterpret_cast<INT_PTR>(BackgroundBrush(IDB_MAIN, window));
}

// Each request message stands for the oldest waiting request of its kind.
void showNoteFor(NoteKind kind) {
  if (std::optional<NoteRequest> note = PendingNotes.take(kind)) ShowNote(kind, note->text);
}

}  // namespace

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindowHandle = window;
  int trayCommand = 0;
  if (TrayMessage(window, message, wParam, lParam, trayCommand)) {
    if (trayCommand) Command(window, trayCommand);
    return TRUE;
  }
  switch (message) {
    case WM_INITDIALOG:
      StartUp(window);
      return FALSE;
    case WM_COMMAND:
      Command(window, LOWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      Shutdown(window);
      return TRUE;
    case WM_DESTROY:
      RemoveTrayIcon(window);
      WatchAway(window, AwaySettings{});
      UnmarkMainWindow(window);
      PostQuitMessage(0);
      return TRUE;
    case WM_TIMER:
      if (wParam == IDT_TAKE_RUNNING_NAME && TakeRunningName(window))
        KillTimer(window, IDT_TAKE_RUNNING_NAME);
      actOnAway(window, AwayWatchMessage(window, message, wParam));
      return TRUE;
    case WM_WTSSESSION_CHANGE:
      actOnAway(window, AwayWatchMessage(window, message, wParam));
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return TRUE;
    }
    case WM_WINDOWPOSCHANGED:
      tellCompanionsWeMoved(window);
      return FALSE;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) TrayMinimised(window);
      return FALSE;
    case WM_SETTEXT:
      // The title shows the counts (RefreshStatistics), and so does the icon's tooltip.
      PostMessageW(window, UM_TRAY_REFRESH, 0, 0);
      return FALSE;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETHIGHCONTRAST) RefreshTray(window);
      return FALSE;
    case WM_DPICHANGED:
      // Moving also re-docks the companions (WM_WINDOWPOSCHANGED).
      TakeSuggestedRect(window, lParam);
      setProgramIcons(window);
      return FALSE;
    case WM_CTLCOLORDLG:
      return colourQuery(window, reinterpret_cast<HDC>(wParam), nullptr);
    case WM_CTLCOLORSTATIC:
      return colourQuery(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case UM_SHOW_NOTE_MESSAGE:
      showNoteFor(NOTE_MESSAGE);
      return TRUE;
    case UM_SHOW_NOTE_INFO:
      showNoteFor(NOTE_INFO);
      return TRUE;
    case UM_SHOW_NOTE_CAUTION:
      showNoteFor(NOTE_CAUTION);
      return TRUE;
    case UM_SHOW_NOTE_ERROR:
      showNoteFor(NOTE_ERROR);
      return TRUE;
    case UM_SETTINGS_CHANGED:
      Reload(window);
      return TRUE;
    case UM_GUARD_ENDED:
      guardThread().ShowGuardEnded(mainWindowPort());
      guardEnded(window);
      RefreshTray(window);
      return TRUE;
    case WM_POWERBROADCAST:
      AwayPowerMessage(wParam);
      SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case UM_TRAY_REFRESH:
      RefreshTray(window);
      return TRUE;
    case UM_COME_FORWARD:
      SetWindowLongPtrA(window, DWLP_MSGRESULT, ComeForward(window));
      return TRUE;
    case UM_FIT_LABELS:
      RescaleFreeTextFonts(window);
      FitLabels(window);
      return TRUE;
  }
  return FALSE;
}
