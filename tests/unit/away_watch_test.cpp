// When Quorvane activates by itself and when it stops, over a script of what the user and
// the system do; the watch's own steps (activating, deactivating) are taken as it asks.
#include "app/away_watch.h"

#include <gtest/gtest.h>

namespace {

// Script letters, one look of the watch after each:
//   + a minute passes   . a second passes   i keyboard or mouse input
//   L the session locks   U it unlocks   D a modal dialog opens   d it closes
//   E the reply box is emptied   e it is filled   A the user activates   X deactivates
//   c input that came from Quorvane's own click on Send
// Steps, one per letter: - nothing, A activate, E say the reply is empty, W welcome back.
std::string run(const AwaySettings& settings, const std::string& script) {
  AwayWatch watch;
  AwayMoment m;
  m.nowMs = 3600000;  // nobody has touched anything for an hour, as under a fresh Wine
  uint64_t lastInputMs = 0;
  watch.configure(settings, m.nowMs);
  std::string steps;
  for (char c : script) {
    m.nowMs += c == '+' ? 60000 : c == '.' ? 1000 : 0;
    if (c == 'i' || c == 'c') {
      lastInputMs = m.nowMs;
      ++m.inputStamp;
    }
    m.inputIsOwn = c == 'c';
    m.locked = c == 'L' || (m.locked && c != 'U');
    m.modalOpen = c == 'D' || (m.modalOpen && c != 'd');
    m.replyEmpty = c == 'E' || (m.replyEmpty && c != 'e');
    if (c == 'A' || c == 'X') {
      m.active = c == 'A';
      if (m.active) watch.activated(false, m.nowMs);
      if (!m.active) watch.deactivated(m.nowMs);
    }
    m.idleMs = m.nowMs - lastInputMs;
    const AwayStep step = watch.next(m);
    steps += "-AEW"[static_cast<int>(step)];
    if (step == AwayStep::Activate) watch.activated(true, m.nowMs);
    if (step == AwayStep::WelcomeBack) watch.deactivated(m.nowMs);
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
      {"Quorvane's own clicks are no return", idle1, "+c.c.i", "A----W"},
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
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.settings, c.script), c.steps) << c.name;
}

}  // namespace
