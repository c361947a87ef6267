// Away by itself, as one story: with an away.qvr of one minute Quorvane activates after a
// minute without input, answers a contact, stops answering a contact who echoes its reply
// as a second Quorvane would, and stops at the first mouse move with its welcome.
#include <gtest/gtest.h>

#include <string>

#include "common/app_driver.h"
#include "common/messenger_client.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

// The user moves the mouse: input reaches the system, as a person's would. The pointer
// rests in the bottom left corner, where no window opens: under Wine a window that opens
// beneath it counts as input.
void MoveMouse(bool toCorner) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = toCorner ? 0 : 1;
  input.mi.dy = toCorner ? 65535 : 0;
  input.mi.dwFlags = MOUSEEVENTF_MOVE | (toCorner ? MOUSEEVENTF_ABSOLUTE : 0);
  ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
}

// One conversation from a contact; the replies it got.
std::vector<std::string> Converse(StandInMessenger& messenger, const char* id,
                                  const std::wstring& text) {
  HWND conversation = messenger.openMessage(standInChatTitle(id, id), id, text);
  EXPECT_TRUE(conversation && messenger.waitForClose(conversation, 10000)) << id;
  return messenger.record(conversation).sent;
}

TEST(Away, ActivatesAfterIdleMinutesStopsEchoesAndWelcomesBack) {
  QuorvaneApp app("away_story");
  ASSERT_TRUE(app.writeFile("conf.qvr", confFile("Away", "0", "1", "1")));
  ASSERT_TRUE(app.writeFile("away.qvr", "IdleMinutes=1\r\nWhenLocked=0\r\n"));
  StandInMessenger messenger;
  ASSERT_NO_FATAL_FAILURE(MoveMouse(true));
  const ULONGLONG quietSince = GetTickCount64();
  ASSERT_TRUE(StartWithMessenger(app, messenger));

  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard", 120000));
  EXPECT_GE(GetTickCount64() - quietSince, 60000u) << "activated before a minute had passed";
  EXPECT_TRUE(app.readOnly(IDC_DEFAULT_REPLY));
  EXPECT_NE(app.text(IDC_LOG_FILE_NAME).find("msg_log_"), std::string::npos);

  EXPECT_EQ(Converse(messenger, "ann", L"are you there?"),
            std::vector<std::string>{" Hey ann,Away "});
  // Another Quorvane writes back its own reply at once, again and again.
  const std::wstring echo = L" Hey qv_user,Away too ";
  size_t botReplies = 0;
  for (int i = 0; i < 4; ++i) botReplies += Converse(messenger, "bot", echo).size();
  EXPECT_EQ(botReplies, 2u);
  EXPECT_TRUE(app.waitForPopup(
      "Replies from bot look automatic: no answers until they write something new"));
  EXPECT_EQ(Converse(messenger, "ann", L"hello?"), std::vector<std::string>{" Hey ann,Away "});

  Sleep(2000);  // the user is back a moment after the last reply, not while it is sent
  ASSERT_NO_FATAL_FAILURE(MoveMouse(false));
  EXPECT_TRUE(app.waitForPopup("Welcome back! 6 messages from 2 contacts came in, 4 answered."));
  EXPECT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is Currently Inactive...", 10000));
  EXPECT_FALSE(app.readOnly(IDC_DEFAULT_REPLY));
  EXPECT_EQ(app.close(), 0u);
  messenger.stop();
}

}  // namespace
