// The members window docked at the groups window's right edge, which shows one group's
// name, message and members and closes by itself a few seconds after it opened, and the
// user ID dialog that asks for a new member.
#include "groups/members_window_win32.h"

#include "base/companion_window_win32.h"
#include "base/dialog_controls_win32.h"
#include "base/effects_win32.h"
#include "base/free_text_font_win32.h"
#include "base/shared_state.h"
#include "groups/group_flows.h"
#include "groups/group_store.h"
#include "groups/group_windows_state_win32.h"
#include "groups/group_windows_win32.h"
#include "resources/resource.h"

namespace {

constexpr UINT MEMBERS_WINDOW_LIFETIME_MS = 5000;

GroupStore& store() {
  return *groupWindows().store;
}

void openWindow(HWND window, LPARAM) {
  UseFreeTextFont(window, {IDC_MEMBERS_GROUP_NAME, IDC_MEMBER_LIST, IDC_MEMBERS_GROUP_MESSAGE});
  // A window timer ends with its window, so it can never close a later one.
  SetTimer(window, IDT_MEMBERS_CLOSE, MEMBERS_WINDOW_LIFETIME_MS, nullptr);
}

bool mayClose(HWND) {
  groupWindows().shown = MembersShown{};
  return true;
}

void openUserId(HWND dialog, LPARAM data) {
  SetWindowLongPtrA(dialog, DWLP_USER, data);  // the user ID handed back
  NoteInputDialog(dialog);
  UseFreeTextFont(dialog, {IDC_USER_ID});
  if (!LiteMode()) FadeIn(dialog);
}

void onUserIdCommand(HWND dialog, int id, int) {
  auto* userId = reinterpret_cast<std::string*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!userId) return;
  if (id == IDOK) {
    *userId = fieldText(EditFirstLine(GetDlgItem(dialog, IDC_USER_ID)));
    if (auto refusal = refuseUserId(store(), *userId)) {
      userId->clear();
      ShowRefusal(dialog, *refusal, PostNote);
      return;
    }
    EndDialogFading(dialog, IDOK);
  } else if (id == IDCANCEL) {
    userId->clear();
    EndDialogFading(dialog, IDCANCEL);
  }
}

INT_PTR CALLBACK UserIdDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static const CompanionStyle style{IDB_USER_ID, RGB(0, 0, 0), {openUserId, onUserIdCommand}};
  return CompanionProcedure(dialog, message, wParam, lParam, style);
}

void onRemove(HWND window) {
  GroupWindows& state = groupWindows();
  std::optional<std::size_t> member = ListSelection(GetDlgItem(window, IDC_MEMBER_LIST));
  MemberRemoval removal =
      applyRemoveMember(store(), member, groupsListSelection(), state.lastSelected, state.shown);
  if (!removal.removed) {
    if (removal.note) RequestNote(removal.note->kind, removal.note->text);
    return;
  }
  saveAndTell(store(), removal.note);
  showMembers(removal.group);
}

void onCommand(HWND window, int id, int code) {
  if (groupWindows().inputRunning) return;
  switch (id) {
    case IDC_MEMBER_CREATE:
      addMemberToSelectedGroup();
      break;
    case IDC_MEMBER_LIST:
      if (code == LBN_DBLCLK) addMemberToSelectedGroup();
      break;
    case IDC_MEMBER_REMOVE:
      onRemove(window);
      break;
    case IDC_MEMBERS_CLOSE:
      SendMessageA(window, WM_CLOSE, 0, 0);
      break;
  }
}

const CompanionSteps STEPS{openWindow, onCommand, mayClose};
const CompanionStyle MEMBERS_STYLE{IDB_MEMBERS, RGB(255, 255, 255), STEPS, &groupWindows().members,
                                   GroupsWindow};

INT_PTR CALLBACK MembersWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == IDT_MEMBERS_CLOSE) {
    KillTimer(window, IDT_MEMBERS_CLOSE);
    if (groupWindows().members) SendMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
  }
  return CompanionProcedure(window, message, wParam, lParam, MEMBERS_STYLE);
}

}  // namespace

void showMembers(std::size_t groupIndex) {
  GroupWindows& state = groupWindows();
  std::optional<Group> group = store().group(groupIndex);
  if (!group) return;
  if (!state.members) {
    CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_MEMBERS), state.owner,
                       MembersWindowProc, 0);
  }
  HWND window = state.members;
  if (!window) return;
  FillListBox(GetDlgItem(window, IDC_MEMBER_LIST), group->members);
  SetDlgItemTextA(window, IDC_MEMBERS_GROUP_NAME, membersHeading(group->name).c_str());
  SetDlgItemTextA(window, IDC_MEMBERS_GROUP_MESSAGE, group->message.c_str());
  state.shown = MembersShown{groupIndex, group->members};
}

void addMemberToSelectedGroup() {
  std::optional<std::size_t> selected = groupsListSelection();
  if (!selected) {
    RequestNote(NOTE_CAUTION, NOTE_SELECT_GROUP);
    return;
  }
  std::string userId;
  if (RunInputDialog(IDD_USER_ID, groupWindows().groups, UserIdDialogProc,
                     reinterpret_cast<LPARAM>(&userId)) != IDOK) {
    return;
  }
  std::optional<GroupNote> note = applyAddMember(store(), *selected, userId);
  if (!note) return;
  saveAndTell(store(), note);
  // The groups window may have lost its selection, or closed, meanwhile.
  if (std::optional<std::size_t> shownGroup = groupsListSelection()) showMembers(*shownGroup);
}
