// What the away watch sees of the system: one look a second on the main window's timer,
// which costs a few calls, the user's input as the hooks see it, the lock changes and the
// machine's sleep as the system sends them.
#include "app/away_watch_win32.h"

#include <versionhelpers.h>
#include <wtsapi32.h>

#include <ctime>

#include "app/user_input.h"
#include "app/user_input_win32.h"
#include "base/companion_window_win32.h"
#include "base/dialog_controls_win32.h"
#include "base/edit_lines.h"
#include "base/shared_state.h"
#include "resources/resource.h"

namespace {

constexpr UINT LOOK_INTERVAL_MS = 1000;

// The head of WTSINFOEXW (level 1), which the MinGW headers lack.
constexpr int SESSION_INFO_EX = 25;
constexpr LONG SESSION_STATE_LOCK = 0;
constexpr LONG SESSION_STATE_UNLOCK = 1;
struct SessionInfoHead {
  DWORD level;
  DWORD unionAlignment;  // the union holds a LARGE_INTEGER
  ULONG sessionId;
  INT sessionState;
  LONG sessionFlags;
};

// The interface thread's alone.
struct AwayState {
  AwayWatch watch;
  bool locked = false;
  bool toldOfLocks = false;  // the system sends the lock changes
};

AwayState& state() {
  static AwayState kept;
  return kept;
}

// Whether the session is locked now, as the system says when asked; for a program that
// starts, or misses the changes, while it is.
bool sessionLocked() {
  LPWSTR buffer = nullptr;
  DWORD bytes = 0;
  if (WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION,
                                  static_cast<WTS_INFO_CLASS>(SESSION_INFO_EX), &buffer, &bytes)) {
    const auto* info = reinterpret_cast<const SessionInfoHead*>(buffer);
    const LONG flags = bytes >= sizeof *info && info->level == 1 ? info->sessionFlags : -1;
    WTSFreeMemory(buffer);
    // Windows 7 has the two values the wrong way round.
    if (flags == SESSION_STATE_LOCK || flags == SESSION_STATE_UNLOCK)
      return (flags == SESSION_STATE_LOCK) == IsWindows8OrGreater();
  }
  // Elsewhere: the lock screen has the input desktop, which is not the user's "Default".
  HDESK desktop = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
  if (!desktop) return false;  // not known: no lock assumed
  wchar_t name[64] = L"";
  const bool named = GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof name, nullptr);
  CloseDesktop(desktop);
  return named && lstrcmpiW(name, L"Winlogon") == 0;
}

// Registered until it works: at sign-in the session service may not be ready yet. Once it
// works, the lock is read again, as it may have changed meanwhile.
void tellOfLocks(HWND window) {
  AwayState& s = state();
  if (s.toldOfLocks) return;
  s.toldOfLocks = WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION) != FALSE;
  if (s.toldOfLocks) s.locked = sessionLocked();
}

AwayMoment lookNow(HWND window) {
  AwayMoment moment;
  if (WatchingUserInput()) {
    const UserInputSeen input = LastUserInput();
    moment.nowMs = GetTickCount64();
    moment.idleMs = MsSince(moment.nowMs, input.lastMs);
    moment.inputStamp = input.stamp;
  } else {
    // Without the hooks, any input the system counts is taken for the user's.
    LASTINPUTINFO input{sizeof input, 0};
    GetLastInputInfo(&input);
    moment.nowMs = GetTickCount64();
    moment.idleMs = TickMsSince(GetTickCount(), input.dwTime);
    moment.inputStamp = input.dwTime;
  }
  moment.locked = state().locked;
  // The main window's own modal dialogs (configuration, About) disable it; the groups'
  // input dialogs are modal over the groups and members windows.
  moment.modalOpen = !IsWindowEnabled(window) || OpenInputDialogs() > 0;
  moment.active = AutoresponseActive;
  // As Activate reads the box: only line breaks count as empty.
  if (!moment.active)
    moment.replyEmpty = joinEditLines(EditLines(GetDlgItem(window, IDC_DEFAULT_REPLY)), 1).empty();
  return moment;
}

}  // namespace

void WatchAway(HWND mainWindow, const AwaySettings& settings) {
  AwayState& s = state();
  s.watch.configure(settings, GetTickCount64());
  if (settings.watched()) {
    WatchUserInput();
    if (!s.toldOfLocks) s.locked = sessionLocked();
    tellOfLocks(mainWindow);
    SetTimer(mainWindow, IDT_AWAY_WATCH, LOOK_INTERVAL_MS, nullptr);
  } else {
    KillTimer(mainWindow, IDT_AWAY_WATCH);
    StopWatchingUserInput();
    if (s.toldOfLocks) WTSUnRegisterSessionNotification(mainWindow);
    s.toldOfLocks = false;
    s.locked = false;
  }
}

AwayStep AwayWatchMessage(HWND mainWindow, UINT message, WPARAM wParam) {
  AwayState& s = state();
  if (message == WM_WTSSESSION_CHANGE && wParam == WTS_SESSION_LOCK) {
    s.locked = true;
  } else if (message == WM_WTSSESSION_CHANGE && wParam == WTS_SESSION_UNLOCK) {
    s.locked = false;
  } else if (message == WM_TIMER && wParam == IDT_AWAY_WATCH) {
    tellOfLocks(mainWindow);
  } else {
    return AwayStep::None;
  }
  return s.watch.next(lookNow(mainWindow));
}

void AwayPowerMessage(WPARAM event) {
  AwayWatch& watch = state().watch;
  if (event == PBT_APMSUSPEND) watch.suspended(std::time(nullptr));
  if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND)
    watch.resumed(GetTickCount64(), std::time(nullptr));
}

void AwayActivated(bool byItself) {
  state().watch.activated(byItself, GetTickCount64());
}

void AwayDeactivated() {
  state().watch.deactivated(GetTickCount64());
}

void AwayActivationFailed() {
  state().watch.activationFailed();
}

bool AwayGuardEnded() {
  return state().watch.guardEnded();
}

std::string AwayWelcomeText(const ActivationSummary& summary) {
  return WelcomeBackText(summary, state().watch.sleepWhileOn());
}
