// One Quorvane per signed-in user: a later start hands over to the running copy and ends.
#pragma once

#include <windows.h>

// How the process ends: 0 when it ran until the user closed it, or brought the running copy
// forward; otherwise the reason why this start did not run, which it has told the user.
enum ExitCode : UINT {
  EXIT_DONE = 0,
  EXIT_OTHER_RIGHTS = 2,   // a copy runs that this start cannot reach (administrator, other user)
  EXIT_NOT_ANSWERING = 3,  // a copy runs, but it did not show its main window in time
};

// What a start does once it has looked for the running copy.
enum class StartDecision {
  Run,                         // this process is the one Quorvane of the session
  RunThoughNameHeldElsewhere,  // something that is not Quorvane holds the running mutex
  End,                         // the running copy came forward, or the user was told why not
};

// Decides, before anything is read, written or shown, whether this process is the one
// Quorvane of this user's session. The running copy holds the named mutex (the installer
// looks for it too) for as long as it runs. When another copy holds it, this start asks
// that copy's main window to come forward, or waits for a closing copy to end and runs in
// its place; a start that ends sets exitCode.
StartDecision BecomeTheRunningCopy(const char* runningMutexName, UINT& exitCode);

// The named block of shared memory in which the running copy tells later starts what it
// is doing; session-local, like the mutex. Written by the running copy only (anything else
// that writes it is not believed); 64-bit fields whatever the bitness. Earlier versions
// read the same layout, with the process id alone in the second field.
const char* const RUNNING_COPY_BLOCK_NAME = "Quorvane.MainWindow";
enum RunningCopyState : LONG64 { COPY_STARTING = 1, COPY_RUNNING = 2, COPY_CLOSING = 3 };
struct RunningCopyBlock {
  volatile LONG64 window;  // the main window while the copy runs, otherwise null
  volatile LONG64 copy;    // the process id in the low half, its RunningCopyState in the high
};

// The running copy's main window, for later starts to bring forward.
void PublishMainWindow(HWND window);
// The running copy closes: a start from now on waits for this process to end, however
// long that takes, and then runs in its place.
void PublishClosing();

// What the main window does when a later start asks for it: restored if minimised, and
// brought to the front, or the dialog it has open in front of it.
void ComeForward(HWND window);
