// The groups window docked at the main window's right edge, and the group information
// dialog that asks for a group's name and message.
#include <string>

#include "base/companion_window_win32.h"
#include "base/dialog_controls_win32.h"
#include "base/effects_win32.h"
#include "base/free_text_font_win32.h"
#include "base/shared_state.h"
#include "groups/group_flows.h"
#include "groups/group_store.h"
#include "groups/group_windows_state_win32.h"
#include "groups/group_windows_win32.h"
#include "groups/members_window_win32.h"
#include "resources/resource.h"

namespace {

HWND groupsOwner() {
  return groupWindows().owner;
}

GroupStore& store() {
  return *groupWindows().store;
}

// Handed between the group information dialog and the flow that ran it, through the
// dialog's lParam.
struct GroupInfo {
  std::string name;
  std::string message;
  bool editing = false;
};

void fillGroupList(HWND window) {
  FillListBox(GetDlgItem(window, IDC_GROUP_LIST), store().groupNames());
}

void openGroupInfo(HWND dialog, LPARAM data) {
  SetWindowLongPtrA(dialog, DWLP_USER, data);
  const auto* info = reinterpret_cast<const GroupInfo*>(data);
  NoteInputDialog(dialog);
  UseFreeTextFont(dialog, {IDC_GROUP_NAME, IDC_GROUP_MESSAGE});
  if (!LiteMode()) FadeIn(dialog);
  if (info->editing) {
    SetDlgItemTextA(dialog, IDC_GROUP_NAME, info->name.c_str());
    SetDlgItemTextA(dialog, IDC_GROUP_MESSAGE, info->message.c_str());
  }
}

void onGroupInfoCommand(HWND dialog, int id, int) {
  auto* info = reinterpret_cast<GroupInfo*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!info) return;
  if (id == IDOK) {
    info->name = fieldText(EditFirstLine(GetDlgItem(dialog, IDC_GROUP_NAME)));
    info->message = groupMessageFromLines(EditLines(GetDlgItem(dialog, IDC_GROUP_MESSAGE)));
    if (auto refusal = refuseGroupInfo(store(), info->name, info->message, info->editing)) {
      ShowRefusal(dialog, *refusal, RequestNote);
      return;
    }
    EndDialogFading(dialog, IDOK);
  } else if (id == IDCANCEL) {
    info->name.clear();
    info->message.clear();
    EndDialogFading(dialog, IDCANCEL);
  }
}

INT_PTR CALLBACK GroupInfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static const CompanionStyle style{
      IDB_GROUP_INFO, RGB(255, 255, 255), {openGroupInfo, onGroupInfoCommand}};
  return CompanionProcedure(dialog, message, wParam, lParam, style);
}

std::optional<GroupNote> createGroup() {
  GroupInfo info;
  if (RunInputDialog(IDD_GROUP_INFO, groupsOwner(), GroupInfoDialogProc,
                     reinterpret_cast<LPARAM>(&info)) != IDOK) {
    info.name.clear();
  }
  return applyCreateGroup(store(), info.name, info.message);
}

std::optional<GroupNote> editGroup() {
  std::optional<std::size_t> selected = groupsListSelection();
  std::optional<Group> group;
  if (selected) group = store().group(*selected);
  if (!group) return GroupNote{NOTE_CAUTION, NOTE_SELECT_GROUP};
  GroupInfo info{group->name, group->message, true};
  if (RunInputDialog(IDD_GROUP_INFO, groupWindows().groups, GroupInfoDialogProc,
                     reinterpret_cast<LPARAM>(&info)) != IDOK) {
    return std::nullopt;
  }
  return applyEditGroup(store(), *selected, info.name, info.message);
}

// Every button saves and refills, changed or not; the refill leaves no selection.
void afterButton(HWND window, const std::optional<GroupNote>& note) {
  saveAndTell(store(), note);
  if (IsWindow(window)) fillGroupList(window);
}

void openWindow(HWND window, LPARAM) {
  UseFreeTextFont(window, {IDC_GROUP_LIST});
  fillGroupList(window);
}

bool mayClose(HWND window) {
  // A close request while an input dialog is open cancels the dialog first; the request
  // comes back once the dialog's caller has finished.
  if (groupWindows().inputRunning) {
    CancelInputDialog();
    PostMessageA(window, WM_CLOSE, 0, 0);
    return false;
  }
  if (HWND members = groupWindows().members) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(members, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 500, &ignored);
  }
  return true;
}

void onListNotice(int code) {
  if (code == LBN_SELCHANGE) {
    std::optional<std::size_t> selected = groupsListSelection();
    if (!selected) return;
    groupWindows().lastSelected = selected;
    showMembers(*selected);
  } else if (code == LBN_DBLCLK) {
    addMemberToSelectedGroup();
  }
}

void onCommand(HWND window, int id, int code) {
  if (groupWindows().inputRunning) return;
  switch (id) {
    case IDC_GROUP_CREATE:
      afterButton(window, createGroup());
      break;
    case IDC_GROUP_EDIT:
      afterButton(window, editGroup());
      break;
    case IDC_GROUP_REMOVE:
      afterButton(window, applyRemoveGroup(store(), groupsListSelection()));
      break;
    case IDC_GROUPS_CLOSE:
      PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case IDC_GROUP_LIST:
      onListNotice(code);
      break;
    case IDOK:  // Enter outside the buttons: the list's double click, for the keyboard
      addMemberToSelectedGroup();
      break;
  }
}

const CompanionButton GROUPS_BUTTON{IDC_GROUPS_BUTTON, "<<< [ Open Groups Dialog ] >>>",
                                    "<<< [ Close Groups Dialog ] >>>"};
const CompanionSteps STEPS{openWindow, onCommand, mayClose};
const CompanionStyle GROUPS_STYLE{
    IDB_GROUPS,  RGB(255, 255, 255), STEPS,         &groupWindows().groups,
    groupsOwner, DockSide::Right,    GROUPS_BUTTON, true};

INT_PTR CALLBACK GroupsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CompanionProcedure(window, message, wParam, lParam, GROUPS_STYLE);
}

}  // namespace

void ToggleGroupsWindow(HWND owner, GroupStore& store) {
  if (CloseCompanionIfOpen(GROUPS_STYLE)) return;
  GroupWindows& state = groupWindows();
  state.owner = owner;
  state.store = &store;
  CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_GROUPS), owner, GroupsWindowProc, 0);
}
