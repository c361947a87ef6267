// When Quorvane activates by itself and when it stops, over a script of what the user and
// the system do; the watch's own steps (activating, deactivating) are taken as it asks.
#include "app/away_watch.h"

#include <gtest/gtest.h>

#include "app/user_input.h"

namespace {

// Script letters, one look of the watch after each (a blank step where there is none):
//   + a minute passes   . a second passes   i the user moves the pointer   k presses a key
//   c the system reports a move to where the pointer rests, as when Quorvane clicks Send
//     or a window opens under the pointer
//   L the session locks   U it unlocks   l it locks with no look (while asleep)
//   D a modal dialog opens   d it closes   E the reply box is emptied   e it is filled
//   A the user activates   X deactivates   F the guard ends by itself
//   S the machine goes to sleep   Z an hour passes asleep (no look)   R the machine wakes
// Steps, one per letter: - nothing, A activate, E say the reply is empty, W welcome back.
std::string run(const AwaySettings& settings, const std::string& script) {
  AwayWatch watch;
  UserInputFilter filter;
  AwayMoment m;
  m.nowMs = 3600000;  // nobody has touched anything for an hour, as under a fresh Wine
  uint64_t lastInputMs = 0;
  int32_t pointerX = 0;
  filter.isUsers(InputKind::Move, pointerX, 0);  // where the pointer rests
  watch.configure(settings, m.nowMs);
  std::string steps;
  for (char c : script) {
    m.nowMs += c == '+' ? 60000 : c == '.' ? 1000 : c == 'Z' ? 3600000 : 0;
    if (c == 'i') ++pointerX;
    const bool input = (c == 'i' || c == 'c') ? filter.isUsers(InputKind::Move, pointerX, 0)
                                              : c == 'k' && filter.isUsers(InputKind::Key, 0, 0);
    if (input) {
      lastInputMs = m.nowMs;
      ++m.inputStamp;
    }
    m.locked = c == 'L' || c == 'l' || (m.locked && c != 'U');
    m.modalOpen = c == 'D' || (m.modalOpen && c != 'd');
    m.replyEmpty = c == 'E' || (m.replyEmpty && c != 'e');
    if (c == 'A' || c == 'X') {
      m.active = c == 'A';
      if (m.active) watch.activated(false, m.nowMs);
      if (!m.active) watch.deactivated(m.nowMs), watch.guardEnded();  // its thread ends
    }
    if (c == 'F') {
      m.active = false;
      watch.guardEnded();
    }
    if (c == 'S') watch.suspended(0);
    if (c == 'R') watch.resumed(m.nowMs, 0);
    if (c == 'Z' || c == 'l') {
      steps += ' ';
      continue;
    }
    m.idleMs = m.nowMs - lastInputMs;
    const AwayStep step = watch.next(m);
    steps += "-AEW"[static_cast<int>(step)];
    if (step == AwayStep::Activate) watch.activated(true, m.nowMs);
    if (step == AwayStep::WelcomeBack) watch.deactivated(m.nowMs), watch.guardEnded();
    m.active = step == AwayStep::Activate || (m.active && step != AwayStep::WelcomeBack);
  }
  return steps;
}

TEST(AwayWatch, ActivatesWhenAwayAndStopsWhenBack) {
  const AwaySettings idle1{1, false}, idle2{2, false}, locked{0, true}, both{1, true};
  struct Case {
    const char* name;
    AwaySettings settings;
    const char* script;
    const char* steps;
  } cases[] = {
      {"both off: nothing ever", {0, false}, "+++L.UA+i", "---------"},
      {"idle minutes reached, then the first input", idle1, ".+.i.", "-A-W-"},
      {"a key is a return too", idle1, "+k", "AW"},
      {"Quorvane's clicks and windows under the pointer are no return, however late", idle1,
       "+c.c+c.i", "A------W"},
      {"the user's input right after a click is their return", idle1, "+ci", "A-W"},
      {"idle counts from the watch's start and from each input", idle2, "+i+.+", "----A"},
      {"a lock, then the unlock", locked, "L..U", "A--W"},
      {"a lock without its setting", idle2, "L.U", "---"},
      {"a modal dialog holds the activation back", idle1, "D+.d", "---A"},
      {"but not the return", idle1, "+Di", "A-W"},
      {"an empty reply is told once per absence", idle1, "E+.+ie+", "-E----A"},
      {"manual activation, user working on", idle1, "A.i.i.", "------"},
      {"manual activation seen idle stops at input", idle1, "A.+.i", "----W"},
      {"manual activation seen locked: input at the lock screen is no return", both, "AiL.iU",
       "-----W"},
      {"a posted DeActivate counts as the user's", idle1, "+X.+", "A--A"},
      {"a failed guard is not retried until the user was back and away", idle1, "+F...+i+",
       "A------A"},
      {"nor a failed lock activation before the unlock", locked, "LF.UL", "A---A"},
      {"a guard that ends after the return is no failure", locked, "L.UL", "A-WA"},
      {"time asleep is no idle time: the minutes count from waking", idle2, "+SZR+.+", "-- ---A"},
      {"also when the system never says it woke", idle2, "+SZ.+.+", "-- ---A"},
      {"on guard through sleep, stopped by the next input", idle1, "+SZR.i", "A- --W"},
      {"a lock found on waking is no absence, the next one is", locked, "SlZR.UL", "-  ---A"},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.settings, c.script), c.steps) << c.name;
}

TEST(AwayWatch, IdleArithmeticAcrossTheWrapAndAStampAhead) {
  struct Case {
    uint32_t now, since, idle;
  } cases[] = {
      {1000, 400, 600},               // plain
      {5, 0xFFFFFFF0u, 21},           // the tick count wrapped since the input
      {100, 103, 0},                  // the stamp was read just after the tick
      {0x10, 0xFFFFFFFFu, 0x11},      // wrapped just now
      {0xFFFF0000u, 0, 0xFFFF0000u},  // 49 days of idle time are still idle time
  };
  for (const Case& c : cases)
    EXPECT_EQ(TickMsSince(c.now, c.since), c.idle) << c.now << " " << c.since;
  EXPECT_EQ(MsSince(100, 103), 0u);
  UserInputFilter fresh;
  EXPECT_FALSE(fresh.isUsers(InputKind::Move, 7, 7)) << "the first move only tells where it is";
  EXPECT_TRUE(fresh.isUsers(InputKind::Move, 7, 8));
  EXPECT_TRUE(fresh.isUsers(InputKind::Button, 7, 8));
}

std::time_t at(int day, int hour, int minute) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

TEST(AwayWatch, WelcomeBackText) {
  struct Case {
    ActivationSummary summary;
    SleepSpan sleep;
    const char* text;
  } cases[] = {
      {{0, 0, 0}, {}, "Welcome back! No messages came in."},
      {{1, 1, 1}, {}, "Welcome back! 1 message from 1 contact came in, 1 answered."},
      {{5, 4, 2}, {}, "Welcome back! 5 messages from 2 contacts came in, 4 answered."},
      {{0, 0, 0},
       {at(8, 13, 5), at(8, 15, 40), 1},
       "Welcome back! No messages came in. The computer slept from 13:05 to 15:40."},
      {{2, 2, 1},
       {at(8, 23, 50), at(9, 7, 5), 1},
       "Welcome back! 2 messages from 1 contact came in, 2 answered. The computer slept from "
       "Tue 23:50 to Wed 07:05."},
      {{0, 0, 0},
       {at(8, 9, 0), at(8, 11, 30), 3},
       "Welcome back! No messages came in. The computer slept 3 times between 09:00 and 11:30."},
      {{0, 0, 0},
       {at(8, 9, 0), 0, 1},
       "Welcome back! No messages came in. The computer slept at 09:00."},
  };
  for (const Case& c : cases) EXPECT_EQ(WelcomeBackText(c.summary, c.sleep), c.text);
}

TEST(AwayWatch, SleepWhileOnGuardIsKeptForTheWelcome) {
  AwayWatch watch;
  watch.configure(AwaySettings{1, false}, 1000);
  watch.suspended(50);  // not on guard: nothing to tell
  watch.resumed(2000, 60);
  watch.activated(true, 3000);
  watch.suspended(100);
  watch.resumed(4000, 200);
  watch.resumed(4001, 201);  // both wake messages come
  watch.suspended(300);
  watch.resumed(5000, 400);
  EXPECT_EQ(watch.sleepWhileOn().slept, 100);
  EXPECT_EQ(watch.sleepWhileOn().woke, 400);
  EXPECT_EQ(watch.sleepWhileOn().times, 2);
}

}  // namespace
