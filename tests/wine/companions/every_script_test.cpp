// Messages and replies in several scripts and with emoji, in the chat client's Unicode
// windows: what a contact wrote reaches the popup, the log file and the message log whole,
// and the replies, the user's own and a group's, arrive whole.
#include <gtest/gtest.h>

#include <string>

#include "common/messenger_client.h"
#include "common/screenshot.h"
#include "companions/companion_driver.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

const std::string CONTACT_TITLE =
    "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xD0\x9F\xD0\xB5\xD1\x82\xD1\x80"
    "\xD0\xBE\xD0\xB2 (ivan77) - chat";  // Иван Петров
// Привет, ты тут? 你好 😀
const std::string MESSAGE =
    "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD1\x82\xD1\x8B "
    "\xD1\x82\xD1\x83\xD1\x82? \xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x98\x80";
// Back at 5 😊 Скоро 马上回来 Είμαι έξω
const std::string REPLY =
    "Back at 5 \xF0\x9F\x98\x8A \xD0\xA1\xD0\xBA\xD0\xBE\xD1\x80\xD0\xBE "
    "\xE9\xA9\xAC\xE4\xB8\x8A\xE5\x9B\x9E\xE6\x9D\xA5 \xCE\x95\xCE\xAF\xCE\xBC"
    "\xCE\xB1\xCE\xB9 \xCE\xAD\xCE\xBE\xCF\x89";
const std::string GROUP_REPLY = "\xE6\x88\x91\xE4\xB8\x8D\xE5\x9C\xA8";  // 我不在

TEST(EveryScript, MessagesAndRepliesArriveWhole) {
  QuorvaneApp app("every_script");
  ASSERT_TRUE(app.writeFile("Groups.lst", CrLfLines({"Group---", "\xE6\x9C\x8B\xE5\x8F\x8B",
                                                     GROUP_REPLY, "User---", "wei88", "---"})));
  StandInMessenger messenger;
  ASSERT_TRUE(StartWithMessenger(app, messenger));
  app.click(IDC_LOG_TO_FILE_CHECK);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Logging to File Enabled..."));
  ASSERT_TRUE(SetUtf8WindowText(app.control(IDC_DEFAULT_REPLY), REPLY));
  SaveWindowShot("every_script_reply_box", app.mainWindow());
  app.click(IDC_ACTIVATE);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));

  // The user's reply ends with a blank, a group's does not.
  struct Contact {
    std::string title, id, reply;
  } contacts[] = {{CONTACT_TITLE, "ivan77", REPLY + " "}, {"wei88 - chat", "wei88", GROUP_REPLY}};
  for (const Contact& c : contacts) {
    HWND window = messenger.openUnicodeMessage(c.title, c.id, MESSAGE);
    ASSERT_TRUE(window) << c.id;
    ASSERT_TRUE(messenger.waitForClose(window, 15000)) << c.id;
    StandInWindowRecord record = messenger.record(window);
    ASSERT_EQ(record.sent.size(), 1u) << c.id;
    EXPECT_EQ(record.sent[0], " Hey " + c.id + "," + c.reply) << c.id;
    EXPECT_EQ(record.typed, record.sent[0]) << c.id << ": typed unit by unit";
    if (c.id != "ivan77") continue;
    HWND popup = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
          for (const PopupWindow& p : app.popups())
            if (Utf8WindowText(GetDlgItem(p.window, IDC_NOTE_TEXT)).find(MESSAGE) !=
                std::string::npos)
              popup = p.window;
          return popup != nullptr;
        },
        5000))
        << "the popup holds the message whole";
    if (popup) SaveWindowShot("every_script_popup", popup, 0);
  }

  std::string logged;
  ASSERT_TRUE(app.readFile(app.text(IDC_LOG_FILE_NAME), logged));
  EXPECT_NE(logged.find(MESSAGE), std::string::npos) << logged;
  app.click(IDC_MESSAGE_LOG_BUTTON);
  HWND log = WaitForDialogWith(app, {IDC_LOG_VIEW, IDC_LOG_CLEAR, IDC_LOG_REFRESH});
  ASSERT_TRUE(log);
  SelectRow(log, IDC_LOG_SENDERS, 0);
  EXPECT_TRUE(WaitUntil(
      [&] {
        return Utf8WindowText(GetDlgItem(log, IDC_LOG_VIEW)).find(MESSAGE) != std::string::npos;
      },
      3000))
      << Utf8WindowText(GetDlgItem(log, IDC_LOG_VIEW));
  ShotOf("every_script_message_log", {app.mainWindow(), log});
  EXPECT_EQ(app.close(), 0u);
  messenger.stop();
}

// Settings that an older Quorvane wrote in Windows-1252 read as they were, and a working
// folder named beyond the ANSI code page takes the log file.
TEST(EveryScript, OldSettingsReadAndAFolderNamedInAnyScriptKeepsTheFiles) {
  const std::string build = QV_BUILD_DIR;
  const std::wstring runs = std::wstring(build.begin(), build.end()) + L"\\apprun";
  const std::wstring folder = runs + L"\\\x0141ukasz \x5F35\x5049";
  CreateDirectoryW(runs.c_str(), nullptr);
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring log = folder + L"\\msg_log_*.txt";
  WIN32_FIND_DATAW found{};
  HANDLE old = FindFirstFileW(log.c_str(), &found);  // from an earlier run
  if (old != INVALID_HANDLE_VALUE) {
    do DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    while (FindNextFileW(old, &found));
    FindClose(old);
  }
  HANDLE conf = CreateFileW((folder + L"\\conf.qvr").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(conf, INVALID_HANDLE_VALUE);
  const std::string bytes = confFile("Caf\xE9 ferm\xE9");
  DWORD written = 0;
  WriteFile(conf, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(conf);

  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  StandInMessenger messenger;
  ASSERT_TRUE(messenger.start(std::string(temp) + "qv_every_script_transcript.txt"));
  QuorvaneApp app(QuorvaneApp::WideFolder{folder});
  ASSERT_TRUE(app.start());
  EXPECT_EQ(Utf8WindowText(app.control(IDC_DEFAULT_REPLY)), "Caf\xC3\xA9 ferm\xC3\xA9");
  app.click(IDC_LOG_TO_FILE_CHECK);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Logging to File Enabled..."));
  app.click(IDC_ACTIVATE);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));
  HWND window = messenger.openMessage("", "ann", L"hi");
  ASSERT_TRUE(window);
  ASSERT_TRUE(messenger.waitForClose(window, 15000));
  HANDLE made = FindFirstFileW(log.c_str(), &found);
  EXPECT_NE(made, INVALID_HANDLE_VALUE) << "no log file in the folder";
  if (made != INVALID_HANDLE_VALUE) FindClose(made);
  EXPECT_EQ(app.close(), 0u);
  messenger.stop();
}

}  // namespace
