// The groups window and the members window beside it: how the main window opens them,
// and what the two share: the groups list's selection and its fallback, the members
// window's filling, adding a member, and the modal input dialogs, which keep both
// windows still while they are open.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

#include "groups/group_flows.h"

class GroupStore;

// Opens the groups window docked at the owner's right edge, or closes it (and the members
// window with it) when it is open. The windows work on `store` until they close.
void ToggleGroupsWindow(HWND owner, GroupStore& store);

// The groups and members windows while they are open, null while closed.
HWND GroupsWindow();
HWND MembersWindow();

// The store and the owner (the main window) the groups window was opened with.
GroupStore& groupsStore();
HWND groupsOwner();

// The group last selected in the groups window's list; it outlives the window and the
// removal of groups, so it is only ever a fallback.
extern std::optional<std::size_t> lastSelectedGroup;

// The groups window's list selection; none while the window is closed or nothing is
// selected.
std::optional<std::size_t> groupsListSelection();

// Opens the members window if it is closed, then fills it with group `group`.
void showMembers(std::size_t group);

// Asks for a user ID and appends it to the group selected in the groups window; true
// when a member was added.
bool addMember();

// Runs one of the two input dialogs modally with `data` as its lParam. Meanwhile the
// groups and members windows take no input, so no second dialog can start over the first.
INT_PTR RunGroupsDialog(int templateId, HWND owner, DLGPROC procedure, LPARAM data);

// An input dialog refuses what was typed: the reason goes on its status line and into a
// popup requested through `note` (RequestNote or PostNote); the dialog stays open.
void ShowRefusal(HWND dialog, const InputRefusal& refusal,
                 void (*note)(NoteKind, const std::string&));

// Called by each input dialog as it opens, so that it can be cancelled.
void NoteGroupsDialog(HWND dialog);

// True while an input dialog runs.
bool GroupsDialogRunning();

// Cancels the input dialog that runs, if any; the caller then tries again later.
void CancelGroupsDialog();
