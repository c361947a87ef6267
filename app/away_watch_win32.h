// The away watch on the main window: a timer on the interface thread, the user's own
// keyboard and mouse input, the session's lock and unlock, and the machine's sleep.
#pragma once

#include <windows.h>

#include <string>

#include "app/away_watch.h"

// Watches for these settings from now on; with both off, no timer runs, no hook is set and
// nothing is registered.
void WatchAway(HWND mainWindow, const AwaySettings& settings);
// The main window's WM_TIMER and WM_WTSSESSION_CHANGE: what the watch says to do now.
AwayStep AwayWatchMessage(HWND mainWindow, UINT message, WPARAM wParam);
// The main window's WM_POWERBROADCAST: the machine goes to sleep or wakes.
void AwayPowerMessage(WPARAM event);
// Autoresponse was activated, by the watch or by the user, or it was stopped.
void AwayActivated(bool byItself);
void AwayDeactivated();
// An activation did not start; the guard ended (true when it ended by itself while the
// watch's own activation was on).
void AwayActivationFailed();
bool AwayGuardEnded();
// The welcome note for what the activation did, with when the machine slept meanwhile.
std::string AwayWelcomeText(const ActivationSummary& summary);
