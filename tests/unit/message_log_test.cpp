// The in-memory message log, its notes and the statistics in the main window.
#include "msglog/message_log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/support/recording_window.h"
#include "base/time_text.h"

namespace {

TEST(MessageLog, RecordsPerSenderInOrder) {
  SharedStateGuard state;
  MessageLog log;
  const std::time_t before = std::time(nullptr);
  log.AddMessage("ann,>", " hi\r");
  log.AddMessage("bob,>", "");
  log.AddMessage("ann,>", " again");
  log.AddMessage("ANN,>", " shouting");
  const std::time_t after = std::time(nullptr);

  EXPECT_EQ(log.messageCount(), 4u);
  EXPECT_EQ(log.Senders(), (std::vector<std::string>{"ann,>", "bob,>", "ANN,>"}));
  const std::vector<IncomingMessage> ann = log.MessagesOf("ann,>");
  ASSERT_EQ(ann.size(), 2u);
  EXPECT_EQ(ann[0].Text, " hi\r");
  EXPECT_EQ(ann[1].Text, " again");
  EXPECT_EQ(ann[0].Sender, "ann,>");
  EXPECT_TRUE(ann[0].Time == CtimeText(before) || ann[0].Time == CtimeText(after)) << ann[0].Time;
  ASSERT_EQ(log.MessagesOf("bob,>").size(), 1u);
  EXPECT_EQ(log.MessagesOf("bob,>")[0].Text, "");
  EXPECT_TRUE(log.MessagesOf("ann").empty());
}

TEST(MessageLog, NotesFollowTheSwitch) {
  SharedStateGuard state;
  MessageLog log;
  log.AddMessage("ann,>", " hi");
  EXPECT_TRUE(PendingNotes.pending().empty());
  EXPECT_TRUE(state.window.posted().empty());
  EXPECT_EQ(log.messageCount(), 1u);

  NotifyEnabled = true;
  log.AddMessage("ann,>", " hi");
  log.AddMessage("bob,>", "");
  std::vector<NoteRequest> notes = PendingNotes.pending();
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].text, "Msg from : ann,>-- hi");
  EXPECT_EQ(notes[1].text, "Msg from : bob,>--");
  EXPECT_EQ(state.window.posted(),
            (std::vector<unsigned>{UM_SHOW_NOTE_MESSAGE, UM_SHOW_NOTE_MESSAGE}));
}

TEST(MessageLog, StatisticsTexts) {
  struct Case {
    int32_t received, replied;
    TitleVariant variant;
    const char* title;
  } cases[] = {
      {0, 0, TitleVariant::AutoReplied, "Recv :0, Auto-Repl. 0 [Quorvane V3.0] "},
      {12, 3, TitleVariant::Replied, "Recv :12, Repl. 3 [Quorvane V3.0] "},
      {-1, 2147483647, TitleVariant::Replied, "Recv :-1, Repl. 2147483647 [Quorvane V3.0] "},
  };
  for (const Case& c : cases) {
    SharedStateGuard state;
    ReceivedCount = c.received;
    RepliedCount = c.replied;
    RefreshStatistics(state.window, c.variant);
    EXPECT_EQ(state.window.title(), c.title);
    EXPECT_EQ(state.window.item(IDC_RECEIVED_COUNT), std::to_string(c.received)) << c.title;
    EXPECT_EQ(state.window.item(IDC_REPLIED_COUNT), std::to_string(c.replied)) << c.title;
  }
}

TEST(MessageLog, ClearEmptiesAndResetsTheCounts) {
  SharedStateGuard state;
  MessageLog log;
  log.AddMessage("ann,>", " hi");
  ReceivedCount = 5;
  RepliedCount = 4;
  log.Clear();
  EXPECT_EQ(log.messageCount(), 0u);
  EXPECT_TRUE(log.Senders().empty());
  EXPECT_TRUE(log.MessagesOf("ann,>").empty());
  EXPECT_EQ(ReceivedCount.load(), 0);
  EXPECT_EQ(RepliedCount.load(), 0);
  EXPECT_EQ(state.window.title(), "Recv :0, Auto-Repl. 0 [Quorvane V3.0] ");
  EXPECT_EQ(state.window.item(IDC_RECEIVED_COUNT), "0");
  EXPECT_EQ(state.window.item(IDC_REPLIED_COUNT), "0");
}

TEST(MessageLog, GuardAddsWhileTheWindowReadsAndClears) {
  SharedStateGuard state;
  NotifyEnabled = true;
  MessageLog log;
  std::atomic<bool> done{false};
  std::thread guard([&] {
    for (int i = 0; i < 3000; ++i) log.AddMessage("user" + std::to_string(i % 7) + ",>", "text");
    done = true;
  });
  std::size_t seen = 0;
  while (!done) {
    for (const std::string& sender : log.Senders()) {
      for (const IncomingMessage& m : log.MessagesOf(sender)) {
        EXPECT_EQ(m.Sender, sender);
        seen += m.Text.size();
      }
    }
    if (seen % 5 == 0) log.Clear();
  }
  guard.join();
  // Every sender listed has messages, whatever the clears left.
  for (const std::string& sender : log.Senders()) EXPECT_FALSE(log.MessagesOf(sender).empty());
}

}  // namespace
