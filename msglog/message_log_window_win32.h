// The message log window, docked at the main window's left edge.
#pragma once

#include <windows.h>

class MessageLog;

// Opens the message log window beside the owner, or closes it when it is open. The
// window shows `log` until it closes.
void ToggleMessageLogWindow(HWND owner, MessageLog& log);

// The message log window while it is open, null while closed.
HWND MessageLogWindow();
