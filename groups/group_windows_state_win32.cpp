// The state the groups and members windows share, and the input dialogs both run.
#include "groups/group_windows_state_win32.h"

#include "base/dialog_controls_win32.h"
#include "groups/group_windows_win32.h"
#include "resources/resource.h"

GroupWindows& groupWindows() {
  static GroupWindows state;
  return state;
}

HWND GroupsWindow() {
  return groupWindows().groups;
}

HWND MembersWindow() {
  return groupWindows().members;
}

std::optional<std::size_t> groupsListSelection() {
  if (!groupWindows().groups) return std::nullopt;
  return ListSelection(GetDlgItem(groupWindows().groups, IDC_GROUP_LIST));
}

INT_PTR RunInputDialog(int templateId, HWND owner, DLGPROC procedure, LPARAM data) {
  GroupWindows& state = groupWindows();
  HWND groups = state.groups;
  if (groups) EnableWindow(groups, FALSE);
  if (state.members) EnableWindow(state.members, FALSE);
  state.inputRunning = true;
  state.inputDialog = nullptr;
  INT_PTR result =
      DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(templateId), owner, procedure, data);
  state.inputDialog = nullptr;
  state.inputRunning = false;
  // The members window may have closed by itself meanwhile.
  if (groups && IsWindow(groups)) EnableWindow(groups, TRUE);
  if (state.members) EnableWindow(state.members, TRUE);
  return result;
}

void NoteInputDialog(HWND dialog) {
  groupWindows().inputDialog = dialog;
}

void CancelInputDialog() {
  if (HWND dialog = groupWindows().inputDialog) SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

void ShowRefusal(HWND dialog, const GroupNote& refusal,
                 void (*note)(NoteKind, const std::string&)) {
  SetDlgItemTextA(dialog, IDC_STATUS, refusal.text.c_str());
  note(refusal.kind, refusal.text);
}
