// The groups window and the group members window docked beside the main window.
#include "shell/app_win32.h"

HWND GroupsWindowHandle = nullptr;
HWND MembersWindowHandle = nullptr;

void ToggleGroupsWindow(HWND) {}
