// One Quorvane per signed-in user: a later start hands over to the running copy and ends.
#pragma once

#include <windows.h>

// Decides, before anything is read, written or shown, whether this process is the one
// Quorvane of this user's session. The running copy holds the named mutex (the installer
// looks for it too) for as long as it runs. When another copy holds it, this start asks
// that copy's main window to come forward and returns false; the caller then ends.
bool BecomeTheRunningCopy(const char* runningMutexName);

// The running copy's main window, for later starts to find; null once it is closing, so
// that a start meanwhile waits for it to end and then runs in its place.
void PublishMainWindow(HWND window);

// What the main window does when a later start asks for it: restored if minimised, and
// brought to the front, or the dialog it has open in front of it.
void ComeForward(HWND window);
