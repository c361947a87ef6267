// The configuration dialog driven through the running program: what it shows from
// "conf.qvr", what OK writes there, what Cancel leaves alone, and its refusal while
// autoresponse is on.
#include <gtest/gtest.h>

#include "common/screenshot.h"
#include "companions/companion_driver.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

int ComboSelection(HWND dialog, int id) {
  return static_cast<int>(SendMessageW(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
}

int ComboCount(HWND dialog, int id) {
  return static_cast<int>(SendMessageW(GetDlgItem(dialog, id), CB_GETCOUNT, 0, 0));
}

bool Checked(HWND dialog, int id) {
  return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

HWND OpenConfig(QuorvaneApp& app) {
  app.click(IDC_CONFIG_BUTTON);
  return WaitForDialogWith(app, {IDC_CONFIG_MESSAGE, IDC_CONFIG_INTERVAL, IDC_CONFIG_SPEED});
}

TEST(ConfigDialog, OpensWithTheFileAndOkSavesTheJoinedMessageAndSelections) {
  QuorvaneApp app("config_ok");
  ASSERT_TRUE(app.writeFile("conf.qvr", confFile("Out for lunch", "2", "7", "0")));
  ASSERT_TRUE(app.start());
  // Changed behind the program's back: the dialog must read the file again.
  ASSERT_TRUE(app.writeFile("conf.qvr", confFile("Out for tea", "2", "7", "0")));
  // Written by hand: as long as its settings stay, the file stays as it is.
  const std::string away = "WhenLocked=1\r\nIdleMinutes=15\r\nLater=1\r\n";
  ASSERT_TRUE(app.writeFile("away.qvr", away));

  HWND dialog = OpenConfig(app);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(ItemText(dialog, IDC_CONFIG_MESSAGE), "Out for tea");
  EXPECT_EQ(ComboCount(dialog, IDC_CONFIG_INTERVAL), 5);
  EXPECT_EQ(ComboCount(dialog, IDC_CONFIG_SPEED), 3);
  EXPECT_EQ(ComboSelection(dialog, IDC_CONFIG_INTERVAL), 2);
  EXPECT_EQ(ComboSelection(dialog, IDC_CONFIG_SPEED), -1) << "speed 7 names no item";
  EXPECT_FALSE(Checked(dialog, IDC_CONFIG_LITE));
  EXPECT_TRUE(Checked(dialog, IDC_CONFIG_AWAY_IDLE) && Checked(dialog, IDC_CONFIG_AWAY_LOCKED));
  EXPECT_EQ(ItemText(dialog, IDC_CONFIG_AWAY_MINUTES), "15");
  EXPECT_EQ(ClientOrigin(dialog).x, ClientOrigin(app.mainWindow()).x);
  EXPECT_EQ(ClientOrigin(dialog).y, ClientOrigin(app.mainWindow()).y);
  Sleep(400);  // let the fade end before the picture
  ShotOf("config_dialog", {dialog});

  SetItemText(dialog, IDC_CONFIG_MESSAGE, "Gone \r\nfishing");
  SendMessageW(GetDlgItem(dialog, IDC_CONFIG_INTERVAL), CB_SETCURSEL, 3, 0);
  Click(dialog, IDOK);
  EXPECT_TRUE(WaitGone(dialog));
  EXPECT_TRUE(WaitForFile(app, "conf.qvr", confFile("Gone fishing", "3", "1", "0")))
      << FileBytes(app, "conf.qvr");
  EXPECT_TRUE(app.waitForText(IDC_DEFAULT_REPLY, "Gone fishing"))
      << "the main window takes the new message over";
  EXPECT_EQ(FileBytes(app, "away.qvr"), away);

  // Unticked, the minutes box offers 10; a change of the row writes the file.
  dialog = OpenConfig(app);
  ASSERT_TRUE(dialog);
  Click(dialog, IDC_CONFIG_AWAY_IDLE);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, IDC_CONFIG_AWAY_MINUTES) == "10"; }, 2000));
  Click(dialog, IDOK);
  EXPECT_TRUE(WaitForFile(
      app, "away.qvr",
      CrLfLines({"IdleMinutes=0", "WhenLocked=1", "TrayIcon=1", "HideWhenMinimised=0"})))
      << FileBytes(app, "away.qvr");
  EXPECT_EQ(app.close(), 0u);
}

// How long a popup takes from the request until its text shows: its fade-in.
// Starts the program on these conf.qvr bytes and waits until the main window shows the
// stored message.
bool StartOn(QuorvaneApp& app, const std::string& stored, const std::string& message) {
  return app.writeFile("conf.qvr", stored) && app.start() &&
         app.waitForText(IDC_DEFAULT_REPLY, message);
}

ULONGLONG FadeInMs(QuorvaneApp& app) {
  EXPECT_TRUE(app.waitForNoPopups(8000));
  const ULONGLONG asked = GetTickCount64();
  app.click(IDC_DEACTIVATE);
  EXPECT_TRUE(app.waitForPopup("Autoresponse is Currently Inactive..."));
  return GetTickCount64() - asked;
}

TEST(ConfigDialog, OkHandsItsValuesToTheMainWindowEvenWhenTheFileCannotBeWritten) {
  QuorvaneApp app("config_reload");
  // The slow speed in the file counts only once the settings have been confirmed.
  const std::string stored = confFile("First reply", "0", "0", "0");
  ASSERT_TRUE(StartOn(app, stored, "First reply"));
  EXPECT_LT(FadeInMs(app), 700u);  // Normal: 15 pauses of 16 ms

  ASSERT_TRUE(app.setText(IDC_DEFAULT_REPLY, "typed but never saved"));
  SetFileAttributesA(app.path("conf.qvr").c_str(), FILE_ATTRIBUTE_READONLY);
  HWND dialog = OpenConfig(app);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(ComboSelection(dialog, IDC_CONFIG_SPEED), 0);
  SetItemText(dialog, IDC_CONFIG_MESSAGE, "Saved reply");
  Click(dialog, IDOK);
  EXPECT_TRUE(WaitGone(dialog));
  EXPECT_TRUE(app.waitForText(IDC_DEFAULT_REPLY, "Saved reply"));
  EXPECT_GE(FadeInMs(app), 960u);  // Slow: 15 pauses of 64 ms
  EXPECT_EQ(FileBytes(app, "conf.qvr"), stored) << "a read-only file keeps its content";
  EXPECT_TRUE(app.files("away.qvr").empty()) << "the away row was never touched";
  SetFileAttributesA(app.path("conf.qvr").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(app.close(), 0u);
}

TEST(ConfigDialog, CancelAfterChangingEverythingLeavesTheFileAndMainWindowAlone) {
  QuorvaneApp app("config_cancel");
  const std::string stored = confFile("Back at five", "1", "0", "0");
  ASSERT_TRUE(StartOn(app, stored, "Back at five"));

  HWND dialog = OpenConfig(app);
  ASSERT_TRUE(dialog);
  SetItemText(dialog, IDC_CONFIG_MESSAGE, "Something else");
  SendMessageW(GetDlgItem(dialog, IDC_CONFIG_INTERVAL), CB_SETCURSEL, 4, 0);
  SendMessageW(GetDlgItem(dialog, IDC_CONFIG_SPEED), CB_SETCURSEL, 2, 0);
  Click(dialog, IDC_CONFIG_LITE);
  ASSERT_TRUE(WaitUntil([&] { return Checked(dialog, IDC_CONFIG_LITE); }, 2000));
  Click(dialog, IDCANCEL);
  EXPECT_TRUE(WaitGone(dialog));
  Sleep(500);
  EXPECT_EQ(FileBytes(app, "conf.qvr"), stored);
  EXPECT_EQ(app.text(IDC_DEFAULT_REPLY), "Back at five");

  // Opening again shows the file, not what was cancelled.
  dialog = OpenConfig(app);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(ItemText(dialog, IDC_CONFIG_MESSAGE), "Back at five");
  EXPECT_EQ(ComboSelection(dialog, IDC_CONFIG_SPEED), 0);
  Click(dialog, IDCANCEL);
  EXPECT_TRUE(WaitGone(dialog));
  EXPECT_EQ(app.close(), 0u);
}

TEST(ConfigDialog, WithoutAFileOkWarnsOfTheEmptyMessageAndTakesTypedChoices) {
  QuorvaneApp app("config_nofile");
  ASSERT_TRUE(app.start());
  HWND dialog = OpenConfig(app);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(ItemText(dialog, IDC_CONFIG_MESSAGE), "");
  EXPECT_EQ(ComboSelection(dialog, IDC_CONFIG_INTERVAL), -1);
  EXPECT_EQ(ComboSelection(dialog, IDC_CONFIG_SPEED), -1);

  // Typing an item's name into a list's edit part chooses that item.
  SetItemText(dialog, IDC_CONFIG_SPEED, "fast");
  Click(dialog, IDC_CONFIG_LITE);
  ASSERT_TRUE(WaitUntil([&] { return Checked(dialog, IDC_CONFIG_LITE); }, 2000));
  Click(dialog, IDOK);
  EXPECT_TRUE(app.waitForPopup("A Default Autoresponse message was not configured..."));
  EXPECT_TRUE(WaitGone(dialog));
  EXPECT_TRUE(WaitForFile(app, "conf.qvr", confFile("", "0", "2", "1")))
      << FileBytes(app, "conf.qvr");
  EXPECT_EQ(app.close(), 0u);
}

TEST(ConfigDialog, IsRefusedWhileAutoresponseIsActive) {
  QuorvaneApp app("config_active");
  const std::string stored = confFile("Away", "0", "1", "0");
  ASSERT_TRUE(StartOn(app, stored, "Away"));
  app.click(IDC_ACTIVATE);
  ASSERT_TRUE(WaitUntil([&] { return app.readOnly(IDC_DEFAULT_REPLY); }, 5000));

  app.click(IDC_CONFIG_BUTTON);
  EXPECT_TRUE(app.waitForPopup("You need to deactivate Autoresponse beforing configuring it..."));
  EXPECT_EQ(ConfigDialog(app), nullptr);
  EXPECT_EQ(FileBytes(app, "conf.qvr"), stored);

  app.click(IDC_DEACTIVATE);
  ASSERT_TRUE(WaitUntil([&] { return !app.readOnly(IDC_DEFAULT_REPLY); }, 5000));
  HWND dialog = OpenConfig(app);
  EXPECT_TRUE(dialog) << "opens again once autoresponse is off";
  if (dialog) {
    Click(dialog, IDCANCEL);
    WaitGone(dialog);
  }
  EXPECT_EQ(app.close(), 0u);
}

}  // namespace
