// The groups window docked at the main window's right edge, and the group information
// dialog that asks for a group's name and message.
#include <string>

#include "base/dialog_controls_win32.h"
#include "groups/group_flows.h"
#include "groups/group_windows_win32.h"
#include "resources/resource.h"
#include "base/effects_win32.h"
#include "base/shared_state.h"
#include "groups/group_store.h"

std::optional<std::size_t> lastSelectedGroup;

namespace {

HWND groupsWindow = nullptr;
HWND ownerWindow = nullptr;
GroupStore* openStore = nullptr;

const char* const OPEN_GROUPS_TEXT = "<<< [ Open Groups Dialog ] >>>";
const char* const CLOSE_GROUPS_TEXT = "<<< [ Close Groups Dialog ] >>>";

// Handed between the group information dialog and the flow that ran it.
std::string pendingGroupName;
std::string pendingGroupMessage;
bool editingGroup = false;

// The input dialog on screen, and whether one is being run at all (from before its
// window exists until its caller has the answer).
HWND runningDialog = nullptr;
bool dialogRunning = false;

void showNote(const std::optional<GroupNote>& note) {
  if (note) RequestNote(note->kind, note->text);
}

void fillGroupList(HWND window) {
  HWND list = GetDlgItem(window, IDC_GROUP_LIST);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& name : openStore->groupNames()) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
}

INT_PTR CALLBACK GroupInfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      NoteGroupsDialog(dialog);
      if (!LiteMode()) FadeIn(dialog);
      if (editingGroup) {
        SetDlgItemTextA(dialog, IDC_GROUP_NAME, pendingGroupName.c_str());
        SetDlgItemTextA(dialog, IDC_GROUP_MESSAGE, pendingGroupMessage.c_str());
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        pendingGroupName = fieldText(EditFirstLine(GetDlgItem(dialog, IDC_GROUP_NAME)));
        pendingGroupMessage =
            groupMessageFromLines(EditLines(GetDlgItem(dialog, IDC_GROUP_MESSAGE)));
        if (auto refusal =
                refuseGroupInfo(*openStore, pendingGroupName, pendingGroupMessage, editingGroup)) {
          SetDlgItemTextA(dialog, IDC_STATUS, refusal->text.c_str());
          RequestNote(refusal->kind, refusal->text);
          return TRUE;
        }
        EndDialogFading(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        pendingGroupName.clear();
        pendingGroupMessage.clear();
        EndDialogFading(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    case WM_CTLCOLORDLG:
      return DialogBackground(BackgroundBrush(IDB_GROUP_INFO));
    case WM_CTLCOLORSTATIC:
      return StaticColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), dialog,
                          BackgroundBrush(IDB_GROUP_INFO), RGB(255, 255, 255));
  }
  return FALSE;
}

void createGroup() {
  pendingGroupName.clear();
  pendingGroupMessage.clear();
  if (RunGroupsDialog(IDD_GROUP_INFO, ownerWindow, GroupInfoDialogProc) != IDOK) {
    pendingGroupName.clear();
  }
  showNote(applyCreateGroup(*openStore, pendingGroupName, pendingGroupMessage));
}

void editGroup() {
  editingGroup = true;
  pendingGroupName.clear();
  pendingGroupMessage.clear();
  std::optional<std::size_t> selected = groupsListSelection();
  std::optional<Group> group;
  if (selected) group = openStore->group(*selected);
  if (!group) {
    editingGroup = false;
    RequestNote(NOTE_CAUTION, NOTE_SELECT_GROUP);
    return;
  }
  pendingGroupName = group->name;
  pendingGroupMessage = group->message;
  INT_PTR result = RunGroupsDialog(IDD_GROUP_INFO, groupsWindow, GroupInfoDialogProc);
  editingGroup = false;
  if (result != IDOK) return;
  showNote(applyEditGroup(*openStore, *selected, pendingGroupName, pendingGroupMessage));
}

void removeGroup() {
  showNote(applyRemoveGroup(*openStore, groupsListSelection()));
}

// Every button saves and refills, changed or not; the refill leaves no selection.
void afterButton(HWND window) {
  openStore->save();
  if (IsWindow(window)) fillGroupList(window);
}

void openWindow(HWND window) {
  SetDlgItemTextA(ownerWindow, IDC_GROUPS_BUTTON, CLOSE_GROUPS_TEXT);
  SlideOut(window, ownerWindow, DockSide::Right);
  groupsWindow = window;
  fillGroupList(window);
}

void closeWindow(HWND window) {
  // A close request while an input dialog is open cancels the dialog first; the request
  // comes back once the dialog's caller has finished.
  if (GroupsDialogRunning()) {
    CancelGroupsDialog();
    PostMessageA(window, WM_CLOSE, 0, 0);
    return;
  }
  SetDlgItemTextA(ownerWindow, IDC_GROUPS_BUTTON, OPEN_GROUPS_TEXT);
  if (MembersWindow()) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(MembersWindow(), WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 500, &ignored);
  }
  SlideBack(window, ownerWindow, DockSide::Right);
  groupsWindow = nullptr;
  if (IsWindow(window)) DestroyWindow(window);
}

void onListNotice(HWND window, int code) {
  if (code == LBN_SELCHANGE) {
    std::optional<std::size_t> selected = groupsListSelection();
    if (!selected) return;
    lastSelectedGroup = selected;
    showMembers(*selected);
  } else if (code == LBN_DBLCLK) {
    if (!addMember()) return;
    std::optional<std::size_t> selected = groupsListSelection();
    if (!selected || !IsWindow(window)) return;
    openStore->save();
    showMembers(*selected);
  }
}

void onCommand(HWND window, int id, int code) {
  if (GroupsDialogRunning()) return;
  switch (id) {
    case IDC_GROUP_CREATE:
      createGroup();
      afterButton(window);
      break;
    case IDC_GROUP_EDIT:
      editGroup();
      afterButton(window);
      break;
    case IDC_GROUP_REMOVE:
      removeGroup();
      afterButton(window);
      break;
    case IDC_GROUPS_CLOSE:
      PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case IDC_GROUP_LIST:
      onListNotice(window, code);
      break;
  }
}

INT_PTR CALLBACK GroupsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      openWindow(window);
      return FALSE;
    case WM_COMMAND:
      onCommand(window, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      closeWindow(window);
      return TRUE;
    case WM_DESTROY:
      if (groupsWindow == window) groupsWindow = nullptr;
      return FALSE;
    case UM_MAIN_WINDOW_MOVED:
      Redock(window, ownerWindow, DockSide::Right);
      return TRUE;
    case WM_CTLCOLORDLG:
      return DialogBackground(BackgroundBrush(IDB_GROUPS));
    case WM_CTLCOLORSTATIC:
      return StaticColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), window,
                          BackgroundBrush(IDB_GROUPS), RGB(255, 255, 255));
  }
  return FALSE;
}

}  // namespace

std::optional<std::size_t> groupsListSelection() {
  if (!groupsWindow) return std::nullopt;
  return ListSelection(GetDlgItem(groupsWindow, IDC_GROUP_LIST));
}

INT_PTR RunGroupsDialog(int templateId, HWND owner, DLGPROC procedure) {
  HWND groups = groupsWindow;
  if (groups) EnableWindow(groups, FALSE);
  if (MembersWindow()) EnableWindow(MembersWindow(), FALSE);
  dialogRunning = true;
  runningDialog = nullptr;
  INT_PTR result =
      DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(templateId), owner, procedure, 0);
  runningDialog = nullptr;
  dialogRunning = false;
  // The members window may have closed by itself meanwhile.
  if (groups && IsWindow(groups)) EnableWindow(groups, TRUE);
  if (MembersWindow()) EnableWindow(MembersWindow(), TRUE);
  return result;
}

void NoteGroupsDialog(HWND dialog) {
  runningDialog = dialog;
}

bool GroupsDialogRunning() {
  return dialogRunning;
}

void CancelGroupsDialog() {
  if (runningDialog) SendMessageA(runningDialog, WM_COMMAND, IDCANCEL, 0);
}

void ToggleGroupsWindow(HWND owner, GroupStore& store) {
  if (groupsWindow) {
    PostMessageA(groupsWindow, WM_CLOSE, 0, 0);
    return;
  }
  ownerWindow = owner;
  openStore = &store;
  CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_GROUPS), owner, GroupsWindowProc, 0);
}

HWND GroupsWindow() {
  return groupsWindow;
}

GroupStore& groupsStore() {
  return *openStore;
}

HWND groupsOwner() {
  return ownerWindow;
}
