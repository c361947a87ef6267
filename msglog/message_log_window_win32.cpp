// The message log window docked at the main window's left edge.
#include "shell/app_win32.h"

HWND MessageLogWindowHandle = nullptr;

void ToggleMessageLogWindow(HWND) {}
