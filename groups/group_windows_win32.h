// The groups window and the members window beside it, as the main window sees them.
#pragma once

#include <windows.h>

class GroupStore;

// Opens the groups window docked at the owner's right edge, or closes it (and the members
// window with it) when it is open. The windows work on `store` until they close.
void ToggleGroupsWindow(HWND owner, GroupStore& store);

// The groups and members windows while they are open, null while closed.
HWND GroupsWindow();
HWND MembersWindow();
