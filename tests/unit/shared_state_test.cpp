// Note requests and the animation timing table.
#include "base/shared_state.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/recording_window.h"

namespace {

NoteKind kindOf(unsigned message) {
  for (NoteKind kind : {NOTE_CAUTION, NOTE_ERROR, NOTE_INFO, NOTE_MESSAGE})
    if (noteRequestMessage(kind) == message) return kind;
  ADD_FAILURE() << "not a note request: " << message;
  return NOTE_INFO;
}

// What the main window shows: one popup per posted message, in the order the messages
// came, each with the text its message stands for.
std::vector<std::string> shownTexts(const RecordingWindow& window) {
  std::vector<std::string> shown;
  for (unsigned message : window.posted()) {
    std::optional<NoteRequest> note = PendingNotes.take(kindOf(message));
    shown.push_back(note ? note->text : "(nothing)");
  }
  return shown;
}

TEST(NoteRequests, EachPopupShowsItsOwnTextInOrderAndTheSwitchHolds) {
  struct Request {
    bool always;  // RequestNote rather than PostNote
    bool notify;
    NoteKind kind;
    const char* text;
  };
  struct Case {
    const char* name;
    std::vector<Request> requests;
    std::vector<std::string> shown;
  } cases[] = {
      {"switch off drops PostNote only",
       {{false, false, NOTE_ERROR, "dropped"}, {true, false, NOTE_CAUTION, "always"}},
       {"always"}},
      {"quick requests of one kind",
       {{false, true, NOTE_INFO, "on guard"},
        {false, true, NOTE_INFO, "inactive"},
        {false, true, NOTE_INFO, "on guard again"}},
       {"on guard", "inactive", "on guard again"}},
      {"kinds interleaved",
       {{false, true, NOTE_CAUTION, "stopping"},
        {false, true, NOTE_MESSAGE, "Msg from : a"},
        {true, true, NOTE_ERROR, "not saved"},
        {false, true, NOTE_INFO, "on guard"},
        {false, true, NOTE_MESSAGE, "Msg from : b"}},
       {"stopping", "Msg from : a", "not saved", "on guard", "Msg from : b"}},
  };
  for (const Case& c : cases) {
    SharedStateGuard state;
    for (const Request& r : c.requests) {
      NotifyEnabled = r.notify;
      if (r.always)
        RequestNote(r.kind, r.text);
      else
        PostNote(r.kind, r.text);
    }
    EXPECT_EQ(shownTexts(state.window), c.shown) << c.name;
    EXPECT_TRUE(PendingNotes.pending().empty()) << c.name;
  }
}

TEST(NoteRequests, RequestThatCannotBePostedIsNotKept) {
  setMainWindowPort(nullptr);  // no main window yet
  RequestNote(NOTE_INFO, "early");
  EXPECT_TRUE(PendingNotes.pending().empty());
  SharedStateGuard state;
  RequestNote(NOTE_INFO, "later");
  EXPECT_EQ(shownTexts(state.window), std::vector<std::string>{"later"});
}

TEST(NoteRequests, TwoThreadsRequestingAtOnceEachGetTheirOwnPopups) {
  SharedStateGuard state;
  const int each = 300;
  auto requester = [&](NoteKind kind, const std::string& prefix) {
    for (int i = 0; i < each; ++i) RequestNote(kind, prefix + std::to_string(i));
  };
  std::thread guardThread(requester, NOTE_MESSAGE, "m");
  requester(NOTE_INFO, "i");
  guardThread.join();

  // Every text once, and each thread's texts in the order it asked.
  int nextOf[2] = {0, 0};
  for (const std::string& text : shownTexts(state.window)) {
    const int who = text[0] == 'm' ? 0 : 1;
    EXPECT_EQ(text.substr(1), std::to_string(nextOf[who]++)) << text;
  }
  EXPECT_EQ(nextOf[0], each);
  EXPECT_EQ(nextOf[1], each);
}

TEST(NoteRequests, FailedSaveSaysWhyAndIsToldWithNotificationsOff) {
  SharedStateGuard state;
  TellSaveFailed("Groups.lst", "Permission denied", "Could not save Groups.lst...");
  EXPECT_EQ(state.window.item(IDC_STATUS), "Could not save Groups.lst: Permission denied");
  EXPECT_EQ(state.window.posted(), std::vector<unsigned>{UM_SHOW_NOTE_ERROR});
  EXPECT_EQ(shownTexts(state.window), std::vector<std::string>{"Could not save Groups.lst..."});
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
