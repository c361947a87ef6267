// The groups window docked at the main window's right edge, and the group information
// dialog that asks for a group's name and message.
#include <string>

#include "base/companion_window_win32.h"
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

// Handed between the group information dialog and the flow that ran it, through the
// dialog's lParam.
struct GroupInfo {
  std::string name;
  std::string message;
  bool editing = false;
};

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
  static const CompanionStyle style{IDB_GROUP_INFO, RGB(255, 255, 255)};
  INT_PTR answer = 0;
  if (HandleCompanionMessage(dialog, message, wParam, lParam, style, answer)) return answer;
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const auto* info = reinterpret_cast<const GroupInfo*>(lParam);
      NoteGroupsDialog(dialog);
      if (!LiteMode()) FadeIn(dialog);
      if (info->editing) {
        SetDlgItemTextA(dialog, IDC_GROUP_NAME, info->name.c_str());
        SetDlgItemTextA(dialog, IDC_GROUP_MESSAGE, info->message.c_str());
      }
      return TRUE;
    }
    case WM_COMMAND: {
      auto* info = reinterpret_cast<GroupInfo*>(GetWindowLongPtrA(dialog, DWLP_USER));
      if (!info) return FALSE;
      if (LOWORD(wParam) == IDOK) {
        info->name = fieldText(EditFirstLine(GetDlgItem(dialog, IDC_GROUP_NAME)));
        info->message = groupMessageFromLines(EditLines(GetDlgItem(dialog, IDC_GROUP_MESSAGE)));
        if (auto refusal = refuseGroupInfo(*openStore, info->name, info->message, info->editing)) {
          ShowRefusal(dialog, *refusal, RequestNote);
          return TRUE;
        }
        EndDialogFading(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        info->name.clear();
        info->message.clear();
        EndDialogFading(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}

void createGroup() {
  GroupInfo info;
  if (RunGroupsDialog(IDD_GROUP_INFO, ownerWindow, GroupInfoDialogProc,
                      reinterpret_cast<LPARAM>(&info)) != IDOK) {
    info.name.clear();
  }
  showNote(applyCreateGroup(*openStore, info.name, info.message));
}

void editGroup() {
  std::optional<std::size_t> selected = groupsListSelection();
  std::optional<Group> group;
  if (selected) group = openStore->group(*selected);
  if (!group) {
    RequestNote(NOTE_CAUTION, NOTE_SELECT_GROUP);
    return;
  }
  GroupInfo info{group->name, group->message, true};
  if (RunGroupsDialog(IDD_GROUP_INFO, groupsWindow, GroupInfoDialogProc,
                      reinterpret_cast<LPARAM>(&info)) != IDOK) {
    return;
  }
  showNote(applyEditGroup(*openStore, *selected, info.name, info.message));
}

void removeGroup() {
  showNote(applyRemoveGroup(*openStore, groupsListSelection()));
}

// Every button saves and refills, changed or not; the refill leaves no selection.
void afterButton(HWND window) {
  saveGroups(*openStore);
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
    saveGroups(*openStore);
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
  static const CompanionStyle style{IDB_GROUPS, RGB(255, 255, 255), &groupsWindow, groupsOwner,
                                    DockSide::Right};
  INT_PTR answer = 0;
  if (HandleCompanionMessage(window, message, wParam, lParam, style, answer)) return answer;
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
  }
  return FALSE;
}

}  // namespace

std::optional<std::size_t> groupsListSelection() {
  if (!groupsWindow) return std::nullopt;
  return ListSelection(GetDlgItem(groupsWindow, IDC_GROUP_LIST));
}

INT_PTR RunGroupsDialog(int templateId, HWND owner, DLGPROC procedure, LPARAM data) {
  HWND groups = groupsWindow;
  if (groups) EnableWindow(groups, FALSE);
  if (MembersWindow()) EnableWindow(MembersWindow(), FALSE);
  dialogRunning = true;
  runningDialog = nullptr;
  INT_PTR result =
      DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(templateId), owner, procedure, data);
  runningDialog = nullptr;
  dialogRunning = false;
  // The members window may have closed by itself meanwhile.
  if (groups && IsWindow(groups)) EnableWindow(groups, TRUE);
  if (MembersWindow()) EnableWindow(MembersWindow(), TRUE);
  return result;
}

void ShowRefusal(HWND dialog, const InputRefusal& refusal,
                 void (*note)(NoteKind, const std::string&)) {
  SetDlgItemTextA(dialog, IDC_STATUS, refusal.text.c_str());
  note(refusal.kind, refusal.text);
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
