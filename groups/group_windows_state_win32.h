// What the groups window and the members window own together, and the steps both take on
// it: the list selection, the modal input dialogs, which keep both windows still while
// they are open, and the refusals those dialogs show. Private to groups/.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

#include "groups/group_flows.h"

class GroupStore;

struct GroupWindows {
  HWND owner = nullptr;         // the main window the groups window was opened from
  GroupStore* store = nullptr;  // what both windows show and change while open
  HWND groups = nullptr;        // the groups window, null while closed
  HWND members = nullptr;       // the members window, null while closed
  MembersShown shown;           // what the members window was last filled with
  // The group last selected in the groups list; it outlives the window and the removal
  // of groups, so it is only ever a fallback.
  std::optional<std::size_t> lastSelected;
  // The input dialog on screen, and whether one is being run at all (from before its
  // window exists until its caller has the answer).
  HWND inputDialog = nullptr;
  bool inputRunning = false;
};

// The one state of the two windows; it lives as long as the process.
GroupWindows& groupWindows();

// The groups window's list selection; none while the window is closed or nothing is
// selected.
std::optional<std::size_t> groupsListSelection();

// Runs one of the two input dialogs modally with `data` as its lParam. Meanwhile the
// groups and members windows take no input, so no second dialog can start over the first.
INT_PTR RunInputDialog(int templateId, HWND owner, DLGPROC procedure, LPARAM data);

// Called by each input dialog as it opens, so that it can be cancelled.
void NoteInputDialog(HWND dialog);

// Cancels the input dialog that runs, if any; the caller then tries again later.
void CancelInputDialog();

// An input dialog refuses what was typed: the reason goes on its status line and into a
// popup requested through `note` (RequestNote or PostNote); the dialog stays open.
void ShowRefusal(HWND dialog, const GroupNote& refusal, void (*note)(NoteKind, const std::string&));
