// What the away watch sees of the system: one look a second on the main window's timer,
// which costs a few calls, and the lock changes as the system sends them.
#include "app/away_watch_win32.h"

#include <wtsapi32.h>

#include "base/companion_window_win32.h"
#include "base/dialog_controls_win32.h"
#include "base/edit_lines.h"
#include "base/shared_state.h"
#include "resources/resource.h"
#include "responder/im_windows_win32.h"

namespace {

constexpr UINT LOOK_INTERVAL_MS = 1000;
// Input this soon after Quorvane posted a click to the chat client may be that click; a
// user who is back gives more input soon after.
constexpr DWORD OWN_CLICK_INPUT_MS = 1000;

// The interface thread's alone.
struct AwayState {
  AwayWatch watch;
  bool locked = false;
  bool toldOfLocks = false;
};

AwayState& state() {
  static AwayState kept;
  return kept;
}

AwayMoment lookNow(HWND window) {
  LASTINPUTINFO input{sizeof input, 0};
  GetLastInputInfo(&input);
  AwayMoment moment;
  moment.nowMs = GetTickCount64();
  moment.idleMs = GetTickCount() - input.dwTime;  // the tick count's own wrap-around
  moment.inputStamp = input.dwTime;
  DWORD click = 0;
  moment.inputIsOwn = Win32ImWindows::lastClickPosted(click) &&
                      input.dwTime - click <= OWN_CLICK_INPUT_MS;  // not before the click
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
    SetTimer(mainWindow, IDT_AWAY_WATCH, LOOK_INTERVAL_MS, nullptr);
    if (!s.toldOfLocks)
      s.toldOfLocks = WTSRegisterSessionNotification(mainWindow, NOTIFY_FOR_THIS_SESSION) != FALSE;
  } else {
    KillTimer(mainWindow, IDT_AWAY_WATCH);
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
  } else if (message != WM_TIMER || wParam != IDT_AWAY_WATCH) {
    return AwayStep::None;
  }
  return s.watch.next(lookNow(mainWindow));
}

void AwayActivated(bool byItself) {
  state().watch.activated(byItself, GetTickCount64());
}

void AwayDeactivated() {
  state().watch.deactivated(GetTickCount64());
}
