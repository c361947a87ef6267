// Away by itself, as one story: with an away.qvr of one minute and the lock, Quorvane
// activates after a minute without input, answers contacts whose conversations open under
// the resting pointer, stops answering a contact who echoes its reply as a second Quorvane
// would, and stops at the first mouse move right after a reply with its welcome. Then the
// lock activates it, the machine sleeps and wakes on guard, and the unlock welcomes back.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <wtsapi32.h>

#include <set>
#include <string>

#include "common/app_driver.h"
#include "common/messenger_client.h"
#include "common/screenshot.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

// Where the pointer rests: inside every conversation window the stand-in cascades, so that
// each opens under it (under Wine a window opening under the pointer is reported as a move).
constexpr POINT RESTING = {400, 350};

// The user moves the mouse: input reaches the system, as a person's would.
void MoveMouse() {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = 10;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;
  ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
}

// One conversation from a contact; the replies it got. Popups shown meanwhile are recorded.
std::vector<std::string> Converse(const QuorvaneApp& app, StandInMessenger& messenger,
                                  const char* id, const std::wstring& text,
                                  std::set<std::string>* popups = nullptr) {
  HWND conversation = messenger.openMessage(standInChatTitle(id, id), id, text);
  WaitUntil(
      [&] {
        if (popups)
          for (const PopupWindow& p : app.popups()) popups->insert(p.text);
        return !IsWindow(conversation);
      },
      10000);
  EXPECT_TRUE(conversation && messenger.waitForClose(conversation, 10000)) << id;
  return messenger.record(conversation).sent;
}

// The popup whose text starts so, once it shows (null if none does in time).
HWND PopupStartingWith(const QuorvaneApp& app, const std::string& start, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (const PopupWindow& p : app.popups())
          if (p.text.compare(0, start.size(), start) == 0) found = p.window;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

TEST(Away, ActivatesAfterIdleMinutesStopsEchoesAndWelcomesBack) {
  QuorvaneApp app("away_story");
  ASSERT_TRUE(app.writeFile("conf.qvr", confFile("Away", "0", "1", "1")));
  ASSERT_TRUE(app.writeFile("away.qvr", "IdleMinutes=1\r\nWhenLocked=1\r\n"));
  StandInMessenger messenger;
  ASSERT_TRUE(SetCursorPos(RESTING.x, RESTING.y));
  const ULONGLONG quietSince = GetTickCount64();
  ASSERT_TRUE(StartWithMessenger(app, messenger));

  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard", 120000));
  EXPECT_GE(GetTickCount64() - quietSince, 60000u) << "activated before a minute had passed";
  EXPECT_TRUE(app.waitForPopup("Autoresponse is on guard"));
  EXPECT_TRUE(app.readOnly(IDC_DEFAULT_REPLY));
  EXPECT_NE(app.text(IDC_LOG_FILE_NAME).find("msg_log_"), std::string::npos);

  EXPECT_EQ(Converse(app, messenger, "ann", L"are you there?"),
            std::vector<std::string>{" Hey ann,Away "});
  // Another Quorvane writes back its own reply at once, again and again.
  const std::wstring echo = L" Hey qv_user,Away too ";
  // The popup lives 3 s, less than the conversations after it may take on a busy machine.
  std::set<std::string> popups;
  size_t botReplies = 0;
  for (int i = 0; i < 4; ++i) botReplies += Converse(app, messenger, "bot", echo, &popups).size();
  EXPECT_EQ(botReplies, 2u);
  EXPECT_EQ(Converse(app, messenger, "ann", L"hello?", &popups),
            std::vector<std::string>{" Hey ann,Away "});
  EXPECT_EQ(
      popups.count("Replies from bot look automatic: no answers until they write something new"),
      1u);
  EXPECT_TRUE(app.readOnly(IDC_DEFAULT_REPLY)) << "a window under the pointer taken for the user";

  // Back right after the reply, while Quorvane's click and the closing are just done.
  ASSERT_NO_FATAL_FAILURE(MoveMouse());
  EXPECT_TRUE(WaitUntil([&] { return !app.readOnly(IDC_DEFAULT_REPLY); }, 2000));
  EXPECT_TRUE(app.waitForPopup("Welcome back! 6 messages from 2 contacts came in, 4 answered."));
  EXPECT_TRUE(app.waitForText(IDC_STATUS, INACTIVE_TEXT, 10000));

  // The lock activates at once; asleep and awake again it is still on guard, and input at
  // the lock screen is no return: the unlock is.
  app.post(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard", 5000));
  app.post(WM_POWERBROADCAST, PBT_APMSUSPEND);
  app.post(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
  ASSERT_NO_FATAL_FAILURE(MoveMouse());
  Sleep(1500);
  EXPECT_TRUE(app.readOnly(IDC_DEFAULT_REPLY)) << "stopped by sleep or by input while locked";
  app.post(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
  const HWND welcome =
      PopupStartingWith(app, "Welcome back! No messages came in. The computer slept from ", 5000);
  EXPECT_TRUE(welcome);
  if (welcome) SaveWindowShot("popup_welcome_after_sleep", welcome, 0);
  EXPECT_FALSE(app.readOnly(IDC_DEFAULT_REPLY));
  EXPECT_EQ(app.close(), 0u);
  messenger.stop();
}

}  // namespace
