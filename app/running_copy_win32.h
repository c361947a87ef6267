// One Quorvane per signed-in user: the system calls behind a start's decision, and the
// running copy's side of it.
#pragma once

#include <windows.h>

#include "app/start_decision.h"

// Decides, before anything is read, written or shown, whether this process is the one
// Quorvane of this user's session. The running copy holds the named mutex (the installer
// looks for it too) for as long as it runs. When another Quorvane runs, this start asks its
// main window to come forward, or waits for a closing copy to end and runs in its place; a
// start that ends sets exitCode.
StartDecision BecomeTheRunningCopy(const char* runningMutexName, UINT& exitCode);

// The named block of shared memory in which copies tell later starts and each other what
// they do; session-local, like the mutex. Anything of this user may write it, so nothing in
// it is believed that the windows and processes themselves do not bear out.
const char* const RUNNING_COPY_BLOCK_NAME = "Quorvane.MainWindow";
struct RunningCopyBlock {
  volatile LONG64 entry;  // a RunningCopyState in the high half, a window or process in the low
};

// The running copy's main window, marked as a Quorvane main window, for later starts to
// bring forward.
void PublishMainWindow(HWND window);
// The running copy closes: a start from now on waits for this process to end, however
// long that takes, and then runs in its place.
void PublishClosing();
// Takes the mark off the main window as it goes.
void UnmarkMainWindow(HWND window);

// A copy that runs without the mutex (something else held it at the start) takes it once
// it is free, so that later starts find this copy; true once it holds it. When another copy
// holds it, or of two copies without it the other is the one the block names, this copy
// brings that one forward and closes as on the user's close, once no dialog of its own is
// open; also true then. A copy that answers that it is closing itself is not given way to:
// false, and this copy looks again.
bool TakeRunningName(HWND mainWindow);

// UM_COME_FORWARD's answer when this copy is closing, or a close waits in its queue
// (any other answer means it came forward; earlier versions answer 0).
constexpr LRESULT COME_FORWARD_CLOSING = 0x51434C53;

// What the main window does when a later start asks for it, or the notification-area icon:
// shown and restored if minimised or hidden, and brought to the front, or the dialog it
// has open in front of it. A copy that closes, or is about to, stays as it is and says so.
// The answer to UM_COME_FORWARD.
LRESULT ComeForward(HWND window);
