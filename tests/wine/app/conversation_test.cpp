// A contact writes through the stand-in messenger and the running program answers: the
// reply typed and sent, the counts, the title, the status line, the popup and the log file.
#include <gtest/gtest.h>

#include <string>

#include "common/app_driver.h"
#include "common/messenger_client.h"
#include "common/screenshot.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

bool waitForPopupStarting(const QuorvaneApp& app, const std::string& prefix, PopupWindow& found) {
  return WaitUntil(
      [&] {
        for (const PopupWindow& p : app.popups())
          if (p.text.rfind(prefix, 0) == 0) {
            found = p;
            return true;
          }
        return false;
      },
      5000);
}

// Pixels inside the popup's border that are nearly white or nearly black: its text.
int textPixels(HWND popup, bool white) {
  RECT frame{};
  GetWindowRect(popup, &frame);
  InflateRect(&frame, -3, -3);
  int count = 0;
  for (COLORREF c : CaptureScreenPixels(frame)) {
    int sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
    count += white ? sum > 660 : sum < 150;
  }
  return count;
}

TEST(Conversation, ContactIsAnsweredCountedLoggedAndNoted) {
  struct Case {
    const char* name;
    int lite;
    bool whiteText;  // on the dark blue picture; black where there is no picture
  } cases[] = {{"normal_look", 0, true}, {"lite_look", 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QuorvaneApp app(std::string("conversation_") + c.name);
    ASSERT_TRUE(app.writeFile("conf.qvr", confFile("", "0", "1", std::to_string(c.lite))));
    StandInMessenger messenger;
    ASSERT_TRUE(StartWithMessenger(app, messenger));
    ASSERT_TRUE(app.waitForNoPopups(6000));

    app.click(IDC_LOG_TO_FILE_CHECK);
    ASSERT_TRUE(app.waitForText(IDC_STATUS, "Logging to File Enabled..."));
    // Typed over three lines: sent as one line, the lines joined with nothing between.
    ASSERT_TRUE(app.setText(IDC_DEFAULT_REPLY, "I am away\r\nback at five\r\nbye"));
    app.click(IDC_ACTIVATE);
    ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));

    HWND conversation = messenger.openMessage(standInChatTitle("Alice W", "alice_w"), "alice_w",
                                              L"are you coming tonight?");
    ASSERT_TRUE(conversation);
    ASSERT_TRUE(messenger.waitForClose(conversation, 10000));

    StandInWindowRecord record = messenger.record(conversation);
    ASSERT_EQ(record.sent.size(), 1u);
    EXPECT_EQ(record.sent[0], " Hey alice_w,I am awayback at fivebye ");

    PopupWindow note;
    ASSERT_TRUE(waitForPopupStarting(app, "Msg from : ", note));
    EXPECT_NE(note.text.find("alice_w"), std::string::npos) << note.text;
    EXPECT_NE(note.text.find("are you coming tonight?"), std::string::npos) << note.text;
    Sleep(100);  // let the text paint
    EXPECT_GT(textPixels(note.window, c.whiteText), 20) << "the note's text cannot be seen";
    SaveWindowShot(std::string("popup_message_") + c.name, note.window, 0);

    EXPECT_TRUE(app.waitForText(IDC_STATUS, "IM Autoresponded..."));
    EXPECT_EQ(app.text(IDC_RECEIVED_COUNT), "1");
    EXPECT_EQ(app.text(IDC_REPLIED_COUNT), "1");
    EXPECT_EQ(app.title(), "Recv :1, Repl. 1 [Quorvane V3.0] ");
    SaveWindowShot(std::string("main_after_answer_") + c.name, app.mainWindow());

    // The log file named in the statistics box holds the message.
    std::string logName = app.text(IDC_LOG_FILE_NAME);
    std::string logged;
    ASSERT_TRUE(app.readFile(logName, logged)) << logName;
    EXPECT_NE(logged.find("are you coming tonight?"), std::string::npos);

    EXPECT_EQ(app.close(), 0u);
    messenger.stop();
  }
}

// One paragraph of about 1,500 characters: the reply box wraps it over many lines, and
// the contact still gets all of it.
TEST(Conversation, ReplyTypedAsOneLongParagraphIsSentWhole) {
  QuorvaneApp app("conversation_long_reply");
  StandInMessenger messenger;
  ASSERT_TRUE(StartWithMessenger(app, messenger));
  std::string paragraph;
  for (int i = 0; paragraph.size() < 1500; ++i) paragraph += "word" + std::to_string(i) + " ";
  paragraph.pop_back();
  ASSERT_TRUE(app.setText(IDC_DEFAULT_REPLY, paragraph));
  app.click(IDC_ACTIVATE);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));

  HWND conversation =
      messenger.openMessage(standInChatTitle("Alice W", "alice_w"), "alice_w", L"still there?");
  ASSERT_TRUE(conversation);
  ASSERT_TRUE(messenger.waitForClose(conversation, 20000));
  StandInWindowRecord record = messenger.record(conversation);
  ASSERT_EQ(record.sent.size(), 1u);
  EXPECT_EQ(record.sent[0], " Hey alice_w," + paragraph + " ");
  EXPECT_EQ(app.close(), 0u);
  messenger.stop();
}

// An OLEACC.DLL beside the program (unpacked with it from a zip, say) is never loaded, even
// when Wine is told to prefer such files to its own as Windows does; the system's library
// still reads the conversations.
TEST(Conversation, LibraryPlantedBesideTheProgramIsNeverLoaded) {
  char overrides[512] = "";
  GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
  ASSERT_NE(std::string(overrides).find("oleacc=n,b"), std::string::npos)
      << "under Wine, run with WINEDLLOVERRIDES holding oleacc=n,b (ctest does): " << overrides;
  QuorvaneApp app("conversation_planted_library");
  const std::string build = QV_BUILD_DIR;
  const std::string library = build + "\\planted_dll\\OLEACC.dll";
  const std::string marker = app.path("OLEACC_LOADED.txt");
  // The library does tell when it is loaded (under a name Wine has no library of its own for).
  ASSERT_TRUE(CopyFileA(library.c_str(), app.path("check.dll").c_str(), FALSE));
  FreeLibrary(LoadLibraryA(app.path("check.dll").c_str()));
  ASSERT_TRUE(DeleteFileA(marker.c_str()));
  ASSERT_TRUE(CopyFileA(library.c_str(), app.path("OLEACC.DLL").c_str(), FALSE));
  ASSERT_TRUE(
      CopyFileA((build + "\\quorvane.exe").c_str(), app.path("quorvane.exe").c_str(), FALSE));
  StandInMessenger messenger;
  ASSERT_TRUE(messenger.start(app.path("standin_transcript.txt")));
  app.setProgram(app.path("quorvane.exe"));
  ASSERT_TRUE(app.start());

  ASSERT_TRUE(app.setText(IDC_DEFAULT_REPLY, "Away"));
  app.click(IDC_ACTIVATE);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));
  HWND conversation = messenger.openMessage(standInChatTitle("Bo", "bo"), "bo", L"hello?");
  ASSERT_TRUE(conversation);
  EXPECT_TRUE(messenger.waitForClose(conversation, 10000));
  EXPECT_EQ(messenger.record(conversation).sent, std::vector<std::string>{" Hey bo,Away "});
  EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES)
      << "the planted library ran";
  EXPECT_EQ(app.close(), 0u);
  messenger.stop();
}

}  // namespace
