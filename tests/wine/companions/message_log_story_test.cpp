// The message log window, and the whole story once: the user configures a reply and an
// interval, makes a group with two members, lets contacts write through the stand-in
// messenger, and then reads, browses and clears what arrived.
#include <gtest/gtest.h>

#include <cctype>

#include "common/messenger_client.h"
#include "companions/companion_driver.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

const std::string RULE = " [" + std::string(58, '-') + "]";
const char* const OPEN_LOG = "<<< [ Open Message Log ] >>>";
const char* const CLOSE_LOG = "<<< [ Close Message Log ] >>>";

HWND OpenLog(QuorvaneApp& app) {
  app.click(IDC_MESSAGE_LOG_BUTTON);
  HWND log = WaitForDialogWith(app, {IDC_LOG_VIEW, IDC_LOG_CLEAR, IDC_LOG_REFRESH});
  if (log) WaitUntil([&] { return Frame(log).right == Frame(app.mainWindow()).left; }, 5000);
  return log;
}

// "Www Mmm DD hh:mm:ss YYYY": letters, digits, blanks and colons where ctime puts them.
bool LooksLikeCtime(const std::string& t) {
  const char* layout = "AAA AAA 99 99:99:99 9999";
  if (t.size() != 24) return false;
  for (size_t i = 0; i < t.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(t[i]);
    bool fits = layout[i] == 'A'   ? std::isalpha(c) != 0
                : layout[i] == '9' ? std::isdigit(c) != 0
                                   : c == layout[i];
    if (!fits) return false;
  }
  return true;
}

// The view as the window shows it: per message the rule, the time, a line break,
// " (msg) :" and the text, with nothing between messages. Times are taken from the view
// itself and checked for their layout.
void ExpectView(const std::string& view, const std::vector<std::string>& texts) {
  std::string expected;
  size_t at = 0;
  for (const std::string& text : texts) {
    std::string time =
        view.size() >= at + RULE.size() + 24 ? view.substr(at + RULE.size(), 24) : "";
    EXPECT_TRUE(LooksLikeCtime(time)) << "'" << time << "' in " << view;
    std::string record = RULE + time + "\r\n (msg) :" + text;
    expected += record;
    at += record.size();
  }
  EXPECT_EQ(view, expected);
}

void AddMemberByDoubleClick(QuorvaneApp& app, HWND groups, const std::string& id) {
  DoubleClickRow(groups, IDC_GROUP_LIST, 0);
  HWND userId = WaitForDialogWith(app, {IDC_USER_ID, IDC_STATUS});
  ASSERT_TRUE(userId) << id;
  SetItemText(userId, IDC_USER_ID, id);
  Click(userId, IDOK);
  ASSERT_TRUE(WaitGone(userId)) << id;
}

TEST(MessageLogWindow, OpensEmptyDockedLeftAndButtonThreeFollowsIt) {
  QuorvaneApp app("log_empty");
  ASSERT_TRUE(app.start());
  HWND log = OpenLog(app);
  ASSERT_TRUE(log);
  EXPECT_EQ(Frame(log).right, Frame(app.mainWindow()).left);
  EXPECT_EQ(ClientOrigin(log).y, ClientOrigin(app.mainWindow()).y) << "the template's place";
  EXPECT_EQ(app.text(IDC_MESSAGE_LOG_BUTTON), CLOSE_LOG);
  EXPECT_EQ(app.text(IDC_STATUS), "Message Log Openend...");
  EXPECT_TRUE(ListTexts(log, IDC_LOG_SENDERS).empty());
  EXPECT_EQ(ItemText(log, IDC_LOG_VIEW), "");

  app.click(IDC_MESSAGE_LOG_BUTTON);
  EXPECT_TRUE(WaitGone(log));
  EXPECT_TRUE(app.waitForText(IDC_MESSAGE_LOG_BUTTON, OPEN_LOG));
  EXPECT_EQ(app.text(IDC_STATUS), "Message Log Openend...");
  EXPECT_EQ(app.close(), 0u);
}

TEST(WholeStory, ConfigureGroupReceiveBrowseAndClear) {
  QuorvaneApp app("story");
  StandInMessenger messenger;
  ASSERT_TRUE(messenger.start(app.path("transcript.txt")));
  ASSERT_TRUE(app.start());
  HWND main = app.mainWindow();

  // A default reply and "every alternate message".
  app.click(IDC_CONFIG_BUTTON);
  HWND config = WaitForDialogWith(app, {IDC_CONFIG_MESSAGE, IDC_CONFIG_INTERVAL});
  ASSERT_TRUE(config);
  SetItemText(config, IDC_CONFIG_MESSAGE, "I am away");
  SendMessageW(GetDlgItem(config, IDC_CONFIG_INTERVAL), CB_SETCURSEL, 1, 0);
  Click(config, IDOK);
  ASSERT_TRUE(WaitForFile(app, "conf.qvr", confFile("I am away", "1")));
  ASSERT_TRUE(app.waitForText(IDC_DEFAULT_REPLY, "I am away"));

  // A group with two members.
  app.click(IDC_GROUPS_BUTTON);
  HWND groups = WaitForDialogWith(app, {IDC_GROUP_CREATE, IDC_GROUP_LIST});
  ASSERT_TRUE(groups);
  Click(groups, IDC_GROUP_CREATE);
  HWND info = WaitForDialogWith(app, {IDC_GROUP_NAME, IDC_GROUP_MESSAGE});
  ASSERT_TRUE(info);
  SetItemText(info, IDC_GROUP_NAME, "Friends");
  SetItemText(info, IDC_GROUP_MESSAGE, "Back soon");
  Click(info, IDOK);
  ASSERT_TRUE(WaitGone(info));
  ASSERT_TRUE(WaitUntil([&] { return ListTexts(groups, IDC_GROUP_LIST).size() == 1; }, 3000));
  AddMemberByDoubleClick(app, groups, "alice");
  AddMemberByDoubleClick(app, groups, "Bob");
  EXPECT_TRUE(WaitForFile(
      app, "Groups.lst",
      CrLfLines({"Group---", "Friends", "Back soon", "User---", "alice", "User---", "Bob", "---"})))
      << FileBytes(app, "Groups.lst");
  Click(groups, IDC_GROUPS_CLOSE);
  ASSERT_TRUE(WaitGone(groups));

  app.click(IDC_LOG_TO_FILE_CHECK);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Logging to File Enabled..."));
  app.click(IDC_ACTIVATE);
  // Conversations open before the guard has looked around are left alone.
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));

  // Contacts write, one conversation at a time; each is answered (or not) and closed.
  struct Incoming {
    const char* sender;
    const wchar_t* text;
    std::vector<std::string> sent;
  } incoming[] = {
      {"alice", L"hi there", {" Hey alice,Back soon"}},
      {"bob", L"hello", {" Hey bob,Back soon"}},
      {"zed", L"yo", {" Hey zed,I am away "}},
      {"zed", L"you there?", {" Hey zed,I am away "}},
      {"zed", L"hello??", {}},  // the third: not answered at "every alternate"
      {"alice", L"second", {" Hey alice,Back soon"}},
  };
  for (const Incoming& in : incoming) {
    HWND window = messenger.openMessage(std::string(in.sender) + " - chat", in.sender, in.text);
    ASSERT_TRUE(window) << in.sender;
    ASSERT_TRUE(messenger.waitForClose(window, 15000))
        << in.sender << " status: " << app.text(IDC_STATUS);
    EXPECT_EQ(messenger.record(window).sent, in.sent) << in.sender;
  }
  EXPECT_TRUE(app.waitForText(IDC_RECEIVED_COUNT, "6"));
  EXPECT_TRUE(app.waitForText(IDC_REPLIED_COUNT, "5"));
  // The title is written just after the counts.
  EXPECT_TRUE(WaitUntil([&] { return app.title() == "Recv :6, Repl. 5 [Quorvane V3.0] "; }, 5000))
      << app.title();
  app.click(IDC_DEACTIVATE);
  ASSERT_TRUE(WaitUntil([&] { return !app.readOnly(IDC_DEFAULT_REPLY); }, 5000));

  // The log window lists each sender once, in order of their first message.
  HWND log = OpenLog(app);
  ASSERT_TRUE(log);
  EXPECT_EQ(ListTexts(log, IDC_LOG_SENDERS),
            (std::vector<std::string>{"alice,>", "bob,>", "zed,>"}));
  SelectRow(log, IDC_LOG_SENDERS, 0);
  ASSERT_TRUE(WaitUntil([&] { return !ItemText(log, IDC_LOG_VIEW).empty(); }, 3000));
  ExpectView(ItemText(log, IDC_LOG_VIEW), {" hi there", " second"});
  SelectRow(log, IDC_LOG_SENDERS, 2);
  ASSERT_TRUE(
      WaitUntil([&] { return ItemText(log, IDC_LOG_VIEW).find("yo") != std::string::npos; }, 3000));
  ExpectView(ItemText(log, IDC_LOG_VIEW), {" yo", " you there?", " hello??"});

  // All companions docked at once, then the main window moves and they follow.
  app.click(IDC_GROUPS_BUTTON);
  groups = WaitForDialogWith(app, {IDC_GROUP_CREATE, IDC_GROUP_LIST});
  ASSERT_TRUE(groups);
  SelectRow(groups, IDC_GROUP_LIST, 0);
  HWND members = WaitForDialogWith(app, {IDC_MEMBER_CREATE, IDC_MEMBER_LIST});
  ASSERT_TRUE(members);
  ASSERT_TRUE(WaitUntil([&] { return Frame(members).left == Frame(groups).right; }, 3000));
  ShotOf("companions_docked", {main, groups, members, log});

  RECT before = Frame(main);
  SetWindowPos(main, nullptr, before.left + 40, before.top - 30, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil(
      [&] {
        RECT m = Frame(main), g = Frame(groups), s = Frame(members), l = Frame(log);
        return l.right == m.left && l.top == m.top && g.left == m.right && g.top == m.top &&
               s.left == g.right && s.top == g.top;
      },
      3000))
      << "log " << Frame(log).right << "," << Frame(log).top << " groups " << Frame(groups).left
      << "," << Frame(groups).top << " members " << Frame(members).left << "," << Frame(members).top
      << " main " << Frame(main).left << "," << Frame(main).top;
  ShotOf("companions_after_move", {main, groups, members, log});

  // Enter presses [ Refresh ], not Clear: the selection and the view go; Clear empties all.
  PostMessageA(GetDlgItem(log, IDC_LOG_SENDERS), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(WaitUntil([&] { return ItemText(log, IDC_LOG_VIEW).empty(); }, 3000));
  EXPECT_EQ(ListSelection(log, IDC_LOG_SENDERS), -1);
  EXPECT_EQ(ListTexts(log, IDC_LOG_SENDERS).size(), 3u);
  SelectRow(log, IDC_LOG_SENDERS, 1);
  ASSERT_TRUE(WaitUntil([&] { return !ItemText(log, IDC_LOG_VIEW).empty(); }, 3000));
  Click(log, IDC_LOG_CLEAR);
  EXPECT_TRUE(WaitUntil([&] { return ListTexts(log, IDC_LOG_SENDERS).empty(); }, 3000));
  EXPECT_EQ(ItemText(log, IDC_LOG_VIEW), "");
  EXPECT_TRUE(app.waitForText(IDC_RECEIVED_COUNT, "0"));
  EXPECT_TRUE(app.waitForText(IDC_REPLIED_COUNT, "0"));
  EXPECT_EQ(app.title(), "Recv :0, Auto-Repl. 0 [Quorvane V3.0] ");

  // The log file kept one eight-line record per message.
  std::vector<std::string> logs = app.files("msg_log_*.txt");
  ASSERT_EQ(logs.size(), 1u);
  std::string logText = FileBytes(app, logs[0]);
  size_t lines = 0;
  for (size_t at = logText.find("\r\n"); at != std::string::npos; at = logText.find("\r\n", at + 2))
    ++lines;
  EXPECT_EQ(lines, 48u) << logText;
  for (const char* expected : {"alice,>", "bob,>", "zed,>", "hi there", "hello??", "second"})
    EXPECT_NE(logText.find(expected), std::string::npos) << expected;

  // Esc closes it, as its close button does.
  PostMessageA(GetDlgItem(log, IDC_LOG_SENDERS), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(WaitGone(log));
  EXPECT_TRUE(app.waitForText(IDC_MESSAGE_LOG_BUTTON, OPEN_LOG));

  // Closing the main window with the groups window open closes it first and ends cleanly.
  EXPECT_EQ(app.close(), 0u);
  messenger.stop();
}

}  // namespace
