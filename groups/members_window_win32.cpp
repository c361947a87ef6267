// The members window docked at the groups window's right edge, which shows one group's
// name, message and members and closes by itself a few seconds after it opened, and the
// user ID dialog that asks for a new member.
#include <thread>

#include "base/dialog_controls_win32.h"
#include "groups/group_flows.h"
#include "groups/group_windows_win32.h"
#include "resources/resource.h"
#include "base/effects_win32.h"
#include "base/shared_state.h"
#include "groups/group_store.h"

namespace {

HWND membersWindow = nullptr;

constexpr DWORD MEMBERS_WINDOW_LIFETIME_MS = 5000;

// The close timer's message: wParam names the window instance whose time is up, so a
// timer that outlives its window cannot close a later one that got the same handle.
constexpr UINT UM_MEMBERS_TIME_UP = WM_APP + 52;

bool membersWindowOpen = false;
WPARAM openedInstance = 0;  // the instance now open; counts up with every opening
std::string pendingUserId;
MembersShown shown;

void startCloseTimer(HWND window, WPARAM instance) {
  std::thread([window, instance] {
    Sleep(MEMBERS_WINDOW_LIFETIME_MS);
    PostMessageA(window, UM_MEMBERS_TIME_UP, instance, 0);
  }).detach();
}

void openWindow(HWND window) {
  membersWindow = window;
  SlideOut(window, GroupsWindow(), DockSide::Right);
  membersWindowOpen = true;
  startCloseTimer(window, ++openedInstance);
}

void closeWindow(HWND window) {
  if (GroupsWindow()) SlideBack(window, GroupsWindow(), DockSide::Right);
  membersWindow = nullptr;
  membersWindowOpen = false;
  shown = MembersShown{};
  if (IsWindow(window)) DestroyWindow(window);
}

INT_PTR CALLBACK UserIdDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      NoteGroupsDialog(dialog);
      if (!LiteMode()) FadeIn(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        pendingUserId = fieldText(EditFirstLine(GetDlgItem(dialog, IDC_USER_ID)));
        if (auto refusal = refuseUserId(groupsStore(), pendingUserId)) {
          pendingUserId.clear();
          SetDlgItemTextA(dialog, IDC_STATUS, refusal->text.c_str());
          PostNote(refusal->kind, refusal->text);
          return TRUE;
        }
        EndDialogFading(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        pendingUserId.clear();
        EndDialogFading(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    case WM_CTLCOLORDLG:
      return DialogBackground(BackgroundBrush(IDB_USER_ID));
    case WM_CTLCOLORSTATIC:
      return StaticColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), dialog,
                          BackgroundBrush(IDB_USER_ID), RGB(0, 0, 0));
  }
  return FALSE;
}

void onCreateUser() {
  if (!addMember()) return;
  std::optional<std::size_t> selected = groupsListSelection();
  if (!selected) return;
  groupsStore().save();
  showMembers(*selected);
}

void onRemove(HWND window) {
  std::optional<std::size_t> member = ListSelection(GetDlgItem(window, IDC_MEMBER_LIST));
  MemberRemoval removal =
      applyRemoveMember(groupsStore(), member, groupsListSelection(), lastSelectedGroup, shown);
  if (removal.note) RequestNote(removal.note->kind, removal.note->text);
  if (!removal.removed) return;
  groupsStore().save();
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
    case UM_MEMBERS_TIME_UP:
      if (wParam == openedInstance && membersWindowOpen) closeWindow(window);
      return TRUE;
    case WM_DESTROY:
      if (membersWindow == window) {
        membersWindow = nullptr;
        membersWindowOpen = false;
      }
      return FALSE;
    case UM_MAIN_WINDOW_MOVED:
      if (GroupsWindow()) Redock(window, GroupsWindow(), DockSide::Right);
      return TRUE;
    case WM_CTLCOLORDLG:
      return DialogBackground(BackgroundBrush(IDB_MEMBERS));
    case WM_CTLCOLORSTATIC:
      return StaticColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), window,
                          BackgroundBrush(IDB_MEMBERS), RGB(255, 255, 255));
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
  pendingUserId.clear();
  std::optional<std::size_t> selected = groupsListSelection();
  if (!selected) {
    RequestNote(NOTE_CAUTION, NOTE_SELECT_GROUP);
    return false;
  }
  if (RunGroupsDialog(IDD_USER_ID, GroupsWindow(), UserIdDialogProc) != IDOK) return false;
  std::optional<GroupNote> note = applyAddMember(groupsStore(), *selected, pendingUserId);
  pendingUserId.clear();
  if (!note) return false;
  RequestNote(note->kind, note->text);
  return true;
}

HWND MembersWindow() {
  return membersWindow;
}
