// Note requests and the animation timing table.
#include "base/shared_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/recording_window.h"

namespace {

TEST(NoteRequests, PostNoteObeysTheSwitchRequestNoteDoesNot) {
  RecordingWindow window;
  setMainWindowPort(&window);
  NoteText.set("before");

  NotifyEnabled = false;
  PostNote(NOTE_ERROR, "dropped");
  EXPECT_EQ(NoteText.copy(), "before");
  EXPECT_TRUE(window.posted().empty());

  RequestNote(NOTE_CAUTION, "always");
  EXPECT_EQ(NoteText.copy(), "always");

  NotifyEnabled = true;
  PostNote(NOTE_MESSAGE, "shown");
  PostNote(NOTE_INFO, "info");
  EXPECT_EQ(NoteText.copy(), "info");
  EXPECT_EQ(window.posted(),
            (std::vector<unsigned>{UM_SHOW_NOTE_CAUTION, UM_SHOW_NOTE_MESSAGE, UM_SHOW_NOTE_INFO}));

  NotifyEnabled = false;
  setMainWindowPort(nullptr);
}

TEST(UiTimingTable, SpeedsGiveStepAndFadePause) {
  struct Case {
    int32_t speed, step, base, pause;
  } cases[] = {
      {0, 1, 1000, 64}, {1, 10, 300, 16}, {2, 25, 100, 0}, {7, 10, 300, 16}, {-1, 10, 300, 16}};
  for (const Case& c : cases) {
    UiTiming t = uiTimingForSpeed(c.speed);
    EXPECT_EQ(t.slideStep, c.step) << "speed " << c.speed;
    EXPECT_EQ(t.fadeBase, c.base) << "speed " << c.speed;
    EXPECT_EQ(fadeStepPauseMs(t), c.pause) << "speed " << c.speed;
  }
}

}  // namespace
