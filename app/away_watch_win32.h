// The away watch on the main window: a timer on the interface thread, the time since the
// last keyboard or mouse input, and the session's lock and unlock.
#pragma once

#include <windows.h>

#include "app/away_watch.h"

// Watches for these settings from now on; with both off, no timer runs and nothing is
// registered.
void WatchAway(HWND mainWindow, const AwaySettings& settings);
// The main window's WM_TIMER and WM_WTSSESSION_CHANGE: what the watch says to do now.
AwayStep AwayWatchMessage(HWND mainWindow, UINT message, WPARAM wParam);
// Autoresponse was activated, by the watch or by the user, or it was stopped.
void AwayActivated(bool byItself);
void AwayDeactivated();
