// Quick DeActivate/Activate rounds while a conversation is being answered: the main window
// keeps handling its messages, every popup shows its own text, nothing is answered twice
// and no "inactive" follows a newer "on guard".
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/app_driver.h"
#include "common/messenger_client.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

const char* const ON_GUARD = "Autoresponse is on guard";
const char* const STOPPING = "Attempting to stop ...";

TEST(Reactivation, QuickRoundsNeverStallTheWindowAndEveryPopupShowsItsOwnText) {
  // The lite look has no fades, which block the window by design: every moment counts.
  QuorvaneApp app("reactivation_rounds");
  ASSERT_TRUE(app.writeFile("conf.qvr", confFile("Away", "0", "1", "1")));
  StandInMessenger messenger;
  ASSERT_TRUE(StartWithMessenger(app, messenger));
  ASSERT_TRUE(app.waitForNoPopups(6000));

  PopupRecord popups(app);
  std::vector<double> delays;
  std::vector<std::string> statuses;  // the status line after the last Activate
  bool lastActivated = false;
  // Probes the window and looks at its popups for a while.
  auto watch = [&](DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    do {
      delays.push_back(app.postedMessageDelayMs());
      popups.look();
      if (lastActivated) statuses.push_back(app.text(IDC_STATUS));
      Sleep(20);
    } while (GetTickCount64() < end);
  };

  app.click(IDC_ACTIVATE);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, ON_GUARD));
  // A contact writes; the guard is busy with that conversation (waiting for it to fill,
  // reading it, typing) during the rounds below.
  HWND alice = messenger.openMessage(standInChatTitle("Alice", "alice"), "alice", L"hi");
  ASSERT_TRUE(alice);
  watch(1200);
  const int rounds = 5;
  for (int round = 0; round < rounds; ++round) {
    app.click(IDC_DEACTIVATE);
    app.click(IDC_ACTIVATE);
    watch(150);
  }
  lastActivated = true;
  // Another contact writes while the first guard may still be answering: the newest
  // guard answers once it has ended.
  HWND bob = messenger.openMessage(standInChatTitle("Bob", "bob"), "bob", L"yo");
  ASSERT_TRUE(bob);
  // The old threads finish, the newest answers what came meanwhile.
  watch(2500);
  ASSERT_TRUE(messenger.waitForClose(alice, 10000));
  ASSERT_TRUE(messenger.waitForClose(bob, 10000));
  WaitUntil(
      [&] {
        popups.look();
        return popups.count("Msg from : bob,>-- yo") == 1;
      },
      5000);
  app.click(IDC_DEACTIVATE);
  EXPECT_TRUE(app.waitForText(IDC_STATUS, INACTIVE_TEXT, 5000));
  WaitUntil(
      [&] {
        popups.look();
        return popups.count(INACTIVE_TEXT) > 0;
      },
      5000);

  const double worst = *std::max_element(delays.begin(), delays.end());
  std::printf("posted-message delay over %zu probes: worst %.1f ms\n", delays.size(), worst);
  // A stall shows as a wait of its own length: a fade blocks for 15 steps of 16 ms, and a
  // window waiting for a guard thread would wait out its second of settling. A busy
  // machine alone has delayed a probe by 105 ms.
  EXPECT_LT(worst, 200.0);

  // Each conversation answered once and counted.
  EXPECT_EQ(messenger.record(alice).sent, std::vector<std::string>{" Hey alice,Away "});
  EXPECT_EQ(messenger.record(bob).sent, std::vector<std::string>{" Hey bob,Away "});
  EXPECT_EQ(app.text(IDC_RECEIVED_COUNT), "2");

  // Every request its own popup: one "on guard" per Activate, one "stopping" per
  // DeActivate, a "Msg from" per conversation, and "inactive" only for the guard that
  // ended last.
  const std::vector<std::string> shown = popups.texts();
  std::string all;
  for (const std::string& t : shown) all += "\n  " + t;
  EXPECT_EQ(popups.count(ON_GUARD), rounds + 1) << all;
  EXPECT_EQ(popups.count(STOPPING), rounds + 1) << all;
  EXPECT_EQ(popups.count("Msg from : alice,>-- hi"), 1) << all;
  EXPECT_EQ(popups.count("Msg from : bob,>-- yo"), 1) << all;
  EXPECT_EQ(popups.count(INACTIVE_TEXT), 1) << all;
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), INACTIVE_TEXT) << all;
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), INACTIVE_TEXT), 0);

  EXPECT_EQ(app.close(), 0u);
  messenger.stop();
}

}  // namespace
