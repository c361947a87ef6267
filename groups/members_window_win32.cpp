// The members window docked at the groups window's right edge, which shows one group's
// name, message and members and closes by itself a few seconds after it opened, and the
// user ID dialog that asks for a new member.
#include "base/companion_window_win32.h"
#include "base/dialog_controls_win32.h"
#include "groups/group_flows.h"
#include "groups/group_windows_win32.h"
#include "resources/resource.h"
#include "base/effects_win32.h"
#include "base/shared_state.h"
#include "groups/group_store.h"

namespace {

HWND membersWindow = nullptr;

constexpr UINT MEMBERS_WINDOW_LIFETIME_MS = 5000;

bool membersWindowOpen = false;
MembersShown shown;

void openWindow(HWND window) {
  membersWindow = window;
  SlideOut(window, GroupsWindow(), DockSide::Right);
  membersWindowOpen = true;
  // A window timer ends with its window, so it can never close a later one.
  SetTimer(window, IDT_MEMBERS_CLOSE, MEMBERS_WINDOW_LIFETIME_MS, nullptr);
}

void closeWindow(HWND window) {
  if (GroupsWindow()) SlideBack(window, GroupsWindow(), DockSide::Right);
  membersWindow = nullptr;
  membersWindowOpen = false;
  shown = MembersShown{};
  if (IsWindow(window)) DestroyWindow(window);
}

INT_PTR CALLBACK UserIdDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static const CompanionStyle style{IDB_USER_ID, RGB(0, 0, 0)};
  INT_PTR answer = 0;
  if (HandleCompanionMessage(dialog, message, wParam, lParam, style, answer)) return answer;
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);  // the user ID handed back
      NoteGroupsDialog(dialog);
      if (!LiteMode()) FadeIn(dialog);
      return TRUE;
    case WM_COMMAND: {
      auto* userId = reinterpret_cast<std::string*>(GetWindowLongPtrA(dialog, DWLP_USER));
      if (!userId) return FALSE;
      if (LOWORD(wParam) == IDOK) {
        *userId = fieldText(EditFirstLine(GetDlgItem(dialog, IDC_USER_ID)));
        if (auto refusal = refuseUserId(groupsStore(), *userId)) {
          userId->clear();
          ShowRefusal(dialog, *refusal, PostNote);
          return TRUE;
        }
        EndDialogFading(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        userId->clear();
        EndDialogFading(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}

void onCreateUser() {
  if (!addMember()) return;
  std::optional<std::size_t> selected = groupsListSelection();
  if (!selected) return;
  saveGroups(groupsStore());
  showMembers(*selected);
}

void onRemove(HWND window) {
  std::optional<std::size_t> member = ListSelection(GetDlgItem(window, IDC_MEMBER_LIST));
  MemberRemoval removal =
      applyRemoveMember(groupsStore(), member, groupsListSelection(), lastSelectedGroup, shown);
  if (removal.note) RequestNote(removal.note->kind, removal.note->text);
  if (!removal.removed) return;
  saveGroups(groupsStore());
  showMembers(removal.group);
}

void onCommand(HWND window, int id, int code) {
  if (GroupsDialogRunning()) return;
  switch (id) {
    case IDC_MEMBER_CREATE:
      onCreateUser();
      break;
    case IDC_MEMBER_LIST:
      if (code == LBN_DBLCLK) onCreateUser();
      break;
    case IDC_MEMBER_REMOVE:
      onRemove(window);
      break;
    case IDC_MEMBERS_CLOSE:
      closeWindow(window);
      break;
  }
}

INT_PTR CALLBACK MembersWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const CompanionStyle style{IDB_MEMBERS, RGB(255, 255, 255), &membersWindow, GroupsWindow,
                                    DockSide::Right};
  INT_PTR answer = 0;
  if (HandleCompanionMessage(window, message, wParam, lParam, style, answer)) return answer;
  switch (message) {
    case WM_INITDIALOG:
      openWindow(window);
      return FALSE;  // the keyboard focus stays where it was
    case WM_COMMAND:
      onCommand(window, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      closeWindow(window);
      return TRUE;
    case WM_TIMER:
      if (wParam != IDT_MEMBERS_CLOSE) return FALSE;
      KillTimer(window, IDT_MEMBERS_CLOSE);
      if (membersWindowOpen) closeWindow(window);
      return TRUE;
    case WM_DESTROY:  // the kept handle is already cleared if it was this window's
      if (!membersWindow) membersWindowOpen = false;
      return FALSE;
  }
  return FALSE;
}

}  // namespace

void showMembers(std::size_t groupIndex) {
  std::optional<Group> group = groupsStore().group(groupIndex);
  if (!group) return;
  if (!membersWindowOpen) {
    CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_MEMBERS), groupsOwner(),
                       MembersWindowProc, 0);
  }
  HWND window = membersWindow;
  if (!window) return;
  HWND list = GetDlgItem(window, IDC_MEMBER_LIST);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& member : group->members) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(member.c_str()));
  }
  SetDlgItemTextA(window, IDC_MEMBERS_GROUP_NAME, membersHeading(group->name).c_str());
  SetDlgItemTextA(window, IDC_MEMBERS_GROUP_MESSAGE, group->message.c_str());
  shown = MembersShown{groupIndex, group->members};
}

bool addMember() {
  std::optional<std::size_t> selected = groupsListSelection();
  if (!selected) {
    RequestNote(NOTE_CAUTION, NOTE_SELECT_GROUP);
    return false;
  }
  std::string userId;
  if (RunGroupsDialog(IDD_USER_ID, GroupsWindow(), UserIdDialogProc,
                      reinterpret_cast<LPARAM>(&userId)) != IDOK) {
    return false;
  }
  std::optional<GroupNote> note = applyAddMember(groupsStore(), *selected, userId);
  if (!note) return false;
  RequestNote(note->kind, note->text);
  return true;
}

HWND MembersWindow() {
  return membersWindow;
}
