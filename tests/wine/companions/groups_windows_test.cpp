// The groups window, the members window and their two input dialogs driven through the
// running program: docking, the buttons with their notes and refusals, and "Groups.lst"
// after every change.
#include <gtest/gtest.h>

#include "common/messenger_client.h"
#include "companions/companion_driver.h"
#include "resources/resource.h"

namespace {

const char* const SELECT_GROUP =
    "Select a Group from the list to  edit\n if no Group Exists Create One";
const char* const OPEN_GROUPS = "<<< [ Open Groups Dialog ] >>>";
const char* const CLOSE_GROUPS = "<<< [ Close Groups Dialog ] >>>";

HWND OpenGroups(QuorvaneApp& app) {
  app.click(IDC_GROUPS_BUTTON);
  HWND groups = WaitForDialogWith(app, {IDC_GROUP_CREATE, IDC_GROUP_EDIT, IDC_GROUP_LIST});
  if (!groups) return nullptr;
  // Docked once the slide is over: its left edge on the main window's right edge.
  WaitUntil([&] { return Frame(groups).left == Frame(app.mainWindow()).right; }, 5000);
  return groups;
}

HWND WaitForMembers(QuorvaneApp& app, HWND groups) {
  HWND members = WaitForDialogWith(app, {IDC_MEMBER_CREATE, IDC_MEMBER_REMOVE, IDC_MEMBER_LIST});
  if (members) WaitUntil([&] { return Frame(members).left == Frame(groups).right; }, 5000);
  return members;
}

HWND WaitForGroupInfo(QuorvaneApp& app) {
  return WaitForDialogWith(app, {IDC_GROUP_NAME, IDC_GROUP_MESSAGE, IDC_STATUS});
}

HWND WaitForUserId(QuorvaneApp& app) {
  return WaitForDialogWith(app, {IDC_USER_ID, IDC_STATUS});
}

// Fills the group information dialog and presses OK.
void EnterGroup(HWND dialog, const std::string& name, const std::string& message) {
  SetItemText(dialog, IDC_GROUP_NAME, name);
  SetItemText(dialog, IDC_GROUP_MESSAGE, message);
  Click(dialog, IDOK);
}

std::string FriendsAndWork() {
  return CrLfLines({"Group---", "Friends", "Back soon", "User---", "alice", "User---", "bob", "---",
                    "Group---", "Work", "In a meeting", "User---", "carol", "---"});
}

// The program on the two groups with the groups window open, in a folder named after
// the test.
class MembersWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app.writeFile("Groups.lst", FriendsAndWork()));
    ASSERT_TRUE(app.start());
    groups = OpenGroups(app);
    ASSERT_TRUE(groups);
  }
  QuorvaneApp app{::testing::UnitTest::GetInstance()->current_test_info()->name()};
  HWND groups = nullptr;
};

TEST(GroupsWindow, DocksAndCreatesEditsRemovesWithNotesSavingAfterEveryButton) {
  QuorvaneApp app("groups_buttons");
  ASSERT_TRUE(app.start());
  HWND main = app.mainWindow();
  HWND groups = OpenGroups(app);
  ASSERT_TRUE(groups);
  EXPECT_EQ(Frame(groups).left, Frame(main).right);
  EXPECT_EQ(ClientOrigin(groups).y, ClientOrigin(main).y) << "the template's place at first";
  EXPECT_EQ(app.text(IDC_GROUPS_BUTTON), CLOSE_GROUPS);
  // It takes the keyboard on its list, and Tab moves on to the next control.
  HWND list = GetDlgItem(groups, IDC_GROUP_LIST);
  EXPECT_TRUE(WaitUntil([&] { return FocusIn(groups) == list; }, 3000));
  PostMessageA(list, WM_KEYDOWN, VK_TAB, 1);
  EXPECT_TRUE(
      WaitUntil([&] { return FocusIn(groups) == GetDlgItem(groups, IDC_GROUP_CREATE); }, 3000));

  // Edit and Remove need a selected group; the file is saved all the same.
  for (int button : {IDC_GROUP_EDIT, IDC_GROUP_REMOVE}) {
    Click(groups, button);
    EXPECT_TRUE(app.waitForPopup(SELECT_GROUP)) << "button " << button;
    EXPECT_TRUE(WaitForFile(app, "Groups.lst", "")) << "button " << button;
  }

  Click(groups, IDC_GROUP_CREATE);
  HWND info = WaitForGroupInfo(app);
  ASSERT_TRUE(info);
  EXPECT_EQ(ClientOrigin(info).x, ClientOrigin(main).x);
  EXPECT_EQ(ClientOrigin(info).y, ClientOrigin(main).y);
  EXPECT_EQ(ItemText(info, IDC_STATUS), "Static");
  SetItemText(info, IDC_GROUP_NAME, "Friends");
  SetItemText(info, IDC_GROUP_MESSAGE, "Back \r\nsoon");
  Sleep(400);
  ShotOf("group_info_dialog", {info});
  Click(info, IDOK);
  EXPECT_TRUE(app.waitForPopup("New group created..."));
  EXPECT_TRUE(WaitGone(info));
  const std::string friends = CrLfLines({"Group---", "Friends", "Back soon", "---"});
  EXPECT_TRUE(WaitForFile(app, "Groups.lst", friends)) << FileBytes(app, "Groups.lst");
  EXPECT_EQ(ListTexts(groups, IDC_GROUP_LIST), std::vector<std::string>{"Friends"});

  // Refusals keep the dialog open with the reason in its status line and a note.
  Click(groups, IDC_GROUP_CREATE);
  info = WaitForGroupInfo(app);
  ASSERT_TRUE(info);
  struct Refusal {
    const char* name;
    const char* message;
    const char* reason;
  } refusals[] = {
      {"Friends", "hello", "The Group you are trying to create already exists..."},
      {"Family", "x", "Please Enter a Valid GroupName and/or Group Message"},
      {"", "hello", "Please Enter a Valid GroupName and/or Group Message"},
  };
  for (const Refusal& r : refusals) {
    EnterGroup(info, r.name, r.message);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(info, IDC_STATUS) == r.reason; }, 3000))
        << r.name << "/" << r.message << ": " << ItemText(info, IDC_STATUS);
    EXPECT_TRUE(app.waitForPopup(r.reason)) << r.name << "/" << r.message;
    EXPECT_TRUE(IsWindowVisible(info)) << r.name << "/" << r.message;
    SetItemText(info, IDC_STATUS, "");
  }
  EnterGroup(info, "friends", "ok");  // other letter case, two characters: accepted
  EXPECT_TRUE(WaitGone(info));
  const std::string two = friends + CrLfLines({"Group---", "friends", "ok", "---"});
  EXPECT_TRUE(WaitForFile(app, "Groups.lst", two)) << FileBytes(app, "Groups.lst");

  // Cancel changes nothing.
  Click(groups, IDC_GROUP_CREATE);
  info = WaitForGroupInfo(app);
  ASSERT_TRUE(info);
  SetItemText(info, IDC_GROUP_NAME, "Nobody");
  Click(info, IDCANCEL);
  EXPECT_TRUE(WaitGone(info));
  Sleep(300);
  EXPECT_EQ(FileBytes(app, "Groups.lst"), two);
  EXPECT_EQ(ListTexts(groups, IDC_GROUP_LIST), (std::vector<std::string>{"Friends", "friends"}));

  // Edit: prefilled, may take another group's name, keeps the members.
  SelectRow(groups, IDC_GROUP_LIST, 1);
  Click(groups, IDC_GROUP_EDIT);
  info = WaitForGroupInfo(app);
  ASSERT_TRUE(info);
  EXPECT_EQ(ItemText(info, IDC_GROUP_NAME), "friends");
  EXPECT_EQ(ItemText(info, IDC_GROUP_MESSAGE), "ok");
  EnterGroup(info, "Friends", "See you");
  EXPECT_TRUE(app.waitForPopup("Group Modified..."));
  const std::string edited = friends + CrLfLines({"Group---", "Friends", "See you", "---"});
  EXPECT_TRUE(WaitForFile(app, "Groups.lst", edited)) << FileBytes(app, "Groups.lst");
  EXPECT_EQ(ListSelection(groups, IDC_GROUP_LIST), -1) << "refilled without selection";

  // Remove: at once, then the refilled list has no selection for a second Remove.
  SelectRow(groups, IDC_GROUP_LIST, 0);
  Click(groups, IDC_GROUP_REMOVE);
  EXPECT_TRUE(app.waitForPopup("Group removed..."));
  const std::string removed = CrLfLines({"Group---", "Friends", "See you", "---"});
  EXPECT_TRUE(WaitForFile(app, "Groups.lst", removed)) << FileBytes(app, "Groups.lst");
  EXPECT_EQ(ListTexts(groups, IDC_GROUP_LIST), std::vector<std::string>{"Friends"});

  // The main window moves: the groups window follows, top edges level.
  RECT before = Frame(main);
  SetWindowPos(main, nullptr, before.left - 60, before.top + 25, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil(
      [&] {
        return Frame(groups).left == Frame(main).right && Frame(groups).top == Frame(main).top;
      },
      3000))
      << Frame(groups).left << "," << Frame(groups).top;

  Click(groups, IDC_GROUPS_CLOSE);
  EXPECT_TRUE(WaitGone(groups));
  EXPECT_TRUE(app.waitForText(IDC_GROUPS_BUTTON, OPEN_GROUPS));
  EXPECT_EQ(app.close(), 0u);
}

TEST_F(MembersWindowTest, OpensBesideTheGroupsWindowAndClosesByItselfAfterFiveSeconds) {
  EXPECT_EQ(ListTexts(groups, IDC_GROUP_LIST), (std::vector<std::string>{"Friends", "Work"}));

  ULONGLONG selected = GetTickCount64();
  SelectRow(groups, IDC_GROUP_LIST, 0);
  HWND members = WaitForMembers(app, groups);
  ASSERT_TRUE(members);
  EXPECT_EQ(Frame(members).left, Frame(groups).right);
  EXPECT_EQ(ClientOrigin(members).y, ClientOrigin(app.mainWindow()).y);
  EXPECT_EQ(ItemText(members, IDC_MEMBERS_GROUP_NAME), "User List for Group -> Friends");
  EXPECT_EQ(ItemText(members, IDC_MEMBERS_GROUP_MESSAGE), "Back soon");
  EXPECT_EQ(ListTexts(members, IDC_MEMBER_LIST), (std::vector<std::string>{"alice", "bob"}));
  ShotOf("groups_and_members", {app.mainWindow(), groups, members});

  // Another group refills the same window; its five seconds still count from its opening.
  Sleep(1000);
  SelectRow(groups, IDC_GROUP_LIST, 1);
  EXPECT_TRUE(WaitUntil(
      [&] { return ItemText(members, IDC_MEMBERS_GROUP_NAME) == "User List for Group -> Work"; },
      2000));
  EXPECT_EQ(MembersWindow(app), members);
  EXPECT_EQ(ListTexts(members, IDC_MEMBER_LIST), std::vector<std::string>{"carol"});
  EXPECT_TRUE(WaitGone(members, 8000));
  ULONGLONG lived = GetTickCount64() - selected;
  EXPECT_GE(lived, 4800u);
  EXPECT_LE(lived, 6500u);
  EXPECT_TRUE(IsWindowVisible(groups));

  // Closing the groups window closes an open members window first.
  SelectRow(groups, IDC_GROUP_LIST, 0);
  members = WaitForMembers(app, groups);
  ASSERT_TRUE(members);
  Click(groups, IDC_GROUPS_CLOSE);
  EXPECT_TRUE(WaitGone(groups));
  EXPECT_FALSE(IsWindow(members) && IsWindowVisible(members));
  EXPECT_EQ(FileBytes(app, "Groups.lst"), FriendsAndWork()) << "looking changes nothing";
  EXPECT_EQ(app.close(), 0u);
}

TEST_F(MembersWindowTest, CreateUserRefusesDuplicatesAndEmptyIdsThenAppendsToTheSelectedGroup) {
  SelectRow(groups, IDC_GROUP_LIST, 1);
  HWND members = WaitForMembers(app, groups);
  ASSERT_TRUE(members);

  Click(members, IDC_MEMBER_CREATE);
  HWND userId = WaitForUserId(app);
  ASSERT_TRUE(userId);
  EXPECT_EQ(ClientOrigin(userId).x, ClientOrigin(groups).x);
  EXPECT_EQ(ClientOrigin(userId).y, ClientOrigin(groups).y);
  EXPECT_TRUE(FindWindowExA(userId, nullptr, "Static", "Yahoo User ID")) << "the field's label";

  // With notifications off the refusal shows in the status line only.
  app.click(IDC_NOTIFY_CHECK);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Message notification disabled..."));
  SetItemText(userId, IDC_USER_ID, "");
  Click(userId, IDOK);
  EXPECT_TRUE(WaitUntil(
      [&] { return ItemText(userId, IDC_STATUS) == "Please Enter a Valid UserName..."; }, 3000));
  EXPECT_FALSE(app.waitForPopup("Please Enter a Valid UserName...", 800));

  app.click(IDC_NOTIFY_CHECK);
  ASSERT_TRUE(app.waitForText(IDC_STATUS,
                              "Autoresponse will Pop Up Notification on receiving messages..."));
  SetItemText(userId, IDC_USER_ID, "ALICE");  // alice is in Friends
  Sleep(400);
  ShotOf("user_id_dialog", {userId});
  Click(userId, IDOK);
  const char* exists = "The User you are trying to create already exists in some group...";
  EXPECT_TRUE(WaitUntil([&] { return ItemText(userId, IDC_STATUS) == exists; }, 3000));
  EXPECT_TRUE(app.waitForPopup(exists));
  EXPECT_EQ(ItemText(userId, IDC_USER_ID), "ALICE") << "the typed text stays";

  SetItemText(userId, IDC_USER_ID, "dave");
  Click(userId, IDOK);
  EXPECT_TRUE(app.waitForPopup("New user created..."));
  EXPECT_TRUE(WaitGone(userId));
  const std::string withDave =
      CrLfLines({"Group---", "Friends", "Back soon", "User---", "alice", "User---", "bob", "---",
                 "Group---", "Work", "In a meeting", "User---", "carol", "User---", "dave", "---"});
  EXPECT_TRUE(WaitForFile(app, "Groups.lst", withDave)) << FileBytes(app, "Groups.lst");
  // The members window (reopened if its time ran out during the dialog) shows the group.
  EXPECT_TRUE(WaitUntil(
      [&] {
        HWND m = MembersWindow(app);
        return m && ListTexts(m, IDC_MEMBER_LIST) == std::vector<std::string>{"carol", "dave"};
      },
      3000));

  // A double click in the groups list adds to that group.
  DoubleClickRow(groups, IDC_GROUP_LIST, 0);
  userId = WaitForUserId(app);
  ASSERT_TRUE(userId);
  SetItemText(userId, IDC_USER_ID, "erin");
  PostMessageA(GetDlgItem(userId, IDC_USER_ID), WM_KEYDOWN, VK_RETURN, 1);  // presses OK
  EXPECT_TRUE(WaitGone(userId));
  const std::string withErin = CrLfLines(
      {"Group---", "Friends", "Back soon", "User---", "alice", "User---", "bob", "User---", "erin",
       "---", "Group---", "Work", "In a meeting", "User---", "carol", "User---", "dave", "---"});
  EXPECT_TRUE(WaitForFile(app, "Groups.lst", withErin)) << FileBytes(app, "Groups.lst");

  // Cancel adds nothing.
  members = MembersWindow(app);
  ASSERT_TRUE(members);
  Click(members, IDC_MEMBER_CREATE);
  userId = WaitForUserId(app);
  ASSERT_TRUE(userId);
  SetItemText(userId, IDC_USER_ID, "frank");
  Click(userId, IDCANCEL);
  EXPECT_TRUE(WaitGone(userId));
  Sleep(300);
  EXPECT_EQ(FileBytes(app, "Groups.lst"), withErin);

  // While the dialog is open no second one can start from the group windows; closing the
  // groups window from the main window cancels the dialog first.
  SelectRow(groups, IDC_GROUP_LIST, 1);
  Click(groups, IDC_GROUP_EDIT);
  HWND info = WaitForDialogWith(app, {IDC_GROUP_NAME, IDC_GROUP_MESSAGE, IDC_STATUS});
  ASSERT_TRUE(info);
  EXPECT_FALSE(IsWindowEnabled(groups));
  app.click(IDC_GROUPS_BUTTON);
  EXPECT_TRUE(WaitGone(info));
  EXPECT_TRUE(WaitGone(groups));
  EXPECT_TRUE(app.waitForText(IDC_GROUPS_BUTTON, "<<< [ Open Groups Dialog ] >>>"));
  Sleep(300);
  EXPECT_EQ(FileBytes(app, "Groups.lst"), withErin);
  EXPECT_EQ(app.close(), 0u);
}

TEST_F(MembersWindowTest, RemoveUsesTheLastSelectedGroupAndNeverAnotherGroupsData) {
  SelectRow(groups, IDC_GROUP_LIST, 0);
  HWND members = WaitForMembers(app, groups);
  ASSERT_TRUE(members);

  // A Create that is cancelled refills the groups list without selection.
  Click(groups, IDC_GROUP_CREATE);
  HWND info = WaitForGroupInfo(app);
  ASSERT_TRUE(info);
  Click(info, IDCANCEL);
  ASSERT_TRUE(WaitGone(info));
  ASSERT_TRUE(WaitUntil([&] { return ListSelection(groups, IDC_GROUP_LIST) == -1; }, 2000));

  Click(members, IDC_MEMBER_CREATE);
  EXPECT_TRUE(app.waitForPopup(SELECT_GROUP));
  Sleep(300);
  EXPECT_EQ(UserIdDialog(app), nullptr) << "no dialog without a selected group";

  Click(members, IDC_MEMBER_REMOVE);
  EXPECT_TRUE(app.waitForPopup(" A User has not been Selected"));

  SelectRow(members, IDC_MEMBER_LIST, 1);  // bob, of Friends, the group last selected
  Click(members, IDC_MEMBER_REMOVE);
  EXPECT_TRUE(app.waitForPopup("User removed..."));
  const std::string withoutBob =
      CrLfLines({"Group---", "Friends", "Back soon", "User---", "alice", "---", "Group---", "Work",
                 "In a meeting", "User---", "carol", "---"});
  EXPECT_TRUE(WaitForFile(app, "Groups.lst", withoutBob)) << FileBytes(app, "Groups.lst");
  EXPECT_EQ(ListTexts(members, IDC_MEMBER_LIST), std::vector<std::string>{"alice"});

  // The members window still shows Friends after Friends is removed; its [Remove] then
  // must not take Work's member, which now stands at Friends' old place.
  ASSERT_TRUE(WaitGone(members, 8000));
  SelectRow(groups, IDC_GROUP_LIST, 0);
  members = WaitForMembers(app, groups);
  ASSERT_TRUE(members);
  Click(groups, IDC_GROUP_REMOVE);
  EXPECT_TRUE(app.waitForPopup("Group removed..."));
  const std::string onlyWork =
      CrLfLines({"Group---", "Work", "In a meeting", "User---", "carol", "---"});
  EXPECT_TRUE(WaitForFile(app, "Groups.lst", onlyWork)) << FileBytes(app, "Groups.lst");
  EXPECT_EQ(ListTexts(members, IDC_MEMBER_LIST), std::vector<std::string>{"alice"});
  app.waitForNoPopups(5000);
  SelectRow(members, IDC_MEMBER_LIST, 0);
  Click(members, IDC_MEMBER_REMOVE);
  EXPECT_FALSE(app.waitForPopup("User removed...", 1000));
  EXPECT_EQ(FileBytes(app, "Groups.lst"), onlyWork);
  EXPECT_EQ(app.close(), 0u);
}

// Saves that fail are told at once, even with notifications off; the changes still hold
// for the run and answer contacts.
TEST(FailedSave, IsToldAndTheChangesStillAnswerContacts) {
  QuorvaneApp app("failed_saves");
  const std::string groupsFile =
      CrLfLines({"Group---", "Friends", "Back soon", "User---", "alice", "---"});
  const std::string confFile =
      CrLfLines({" Quorvane - 3.0 - Kelvaro ", "DEFAULT_MSG", "Away", "REPLY_INTERVAL", "0",
                 "UISpeed", "1", "EXTENDED_GRAPHICS", "0", "End"});
  // The program itself refuses to replace a read-only file, so this fails even as root.
  auto setReadOnly = [&](bool readOnly) {
    for (const char* name : {"Groups.lst", "conf.qvr"})
      SetFileAttributesA(app.path(name).c_str(),
                         readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
  };
  setReadOnly(false);  // left so by an earlier run that stopped midway
  ASSERT_TRUE(app.writeFile("Groups.lst", groupsFile));
  ASSERT_TRUE(app.writeFile("conf.qvr", confFile));
  setReadOnly(true);
  StandInMessenger messenger;
  ASSERT_TRUE(StartWithMessenger(app, messenger));
  app.click(IDC_NOTIFY_CHECK);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Message notification disabled..."));

  HWND groups = OpenGroups(app);
  ASSERT_TRUE(groups);
  SelectRow(groups, IDC_GROUP_LIST, 0);
  ASSERT_TRUE(app.waitForNoPopups(8000));
  Click(groups, IDC_GROUP_EDIT);
  HWND info = WaitForGroupInfo(app);
  ASSERT_TRUE(info);
  EnterGroup(info, "Friends", "Gone fishing");
  HWND popup = app.waitForPopup("Could not save Groups.lst...");
  EXPECT_TRUE(popup);
  Sleep(300);
  EXPECT_EQ(app.popups().size(), 1u) << "the error note alone, no \"Group Modified...\"";
  ShotOf("popup_groups_not_saved", {popup});
  Click(groups, IDC_GROUPS_CLOSE);
  EXPECT_TRUE(WaitGone(groups));

  app.click(IDC_CONFIG_BUTTON);
  HWND config = WaitForDialogWith(app, {IDC_CONFIG_MESSAGE, IDC_CONFIG_INTERVAL, IDC_CONFIG_SPEED});
  ASSERT_TRUE(config);
  SetItemText(config, IDC_CONFIG_MESSAGE, "Out all day");
  Click(config, IDOK);
  EXPECT_TRUE(app.waitForPopup("Could not save conf.qvr..."));
  EXPECT_TRUE(app.waitForText(IDC_DEFAULT_REPLY, "Out all day"));
  EXPECT_EQ(FileBytes(app, "Groups.lst"), groupsFile);
  EXPECT_EQ(FileBytes(app, "conf.qvr"), confFile);
  EXPECT_EQ(app.files("*.tmp"), std::vector<std::string>{});

  app.click(IDC_ACTIVATE);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));
  HWND fromAlice = messenger.openMessage(standInChatTitle("Alice", "alice"), "alice", L"hi");
  ASSERT_TRUE(messenger.waitForClose(fromAlice, 10000));
  HWND fromBob = messenger.openMessage(standInChatTitle("Bob", "bob"), "bob", L"hi");
  ASSERT_TRUE(messenger.waitForClose(fromBob, 10000));
  EXPECT_EQ(messenger.record(fromAlice).sent, std::vector<std::string>{" Hey alice,Gone fishing"});
  EXPECT_EQ(messenger.record(fromBob).sent, std::vector<std::string>{" Hey bob,Out all day "});
  setReadOnly(false);
  EXPECT_EQ(app.close(), 0u);
  messenger.stop();
}

}  // namespace
