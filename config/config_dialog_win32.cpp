// The configuration dialog.
#include "shell/app_win32.h"

void OpenConfigDialog(HWND) {}
