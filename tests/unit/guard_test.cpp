// The guard's pass over the topmost conversation window and its loop, against
// an in-memory chat client: what is answered, closed, counted and logged, and
// what is left alone.
#include "responder/guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <map>
#include <system_error>
#include <thread>

#include "fake_im_windows.h"
#include "tests/support/recording_window.h"
#include "tests/support/wait_until.h"
#include "scratch_dir.h"

namespace {

using Kind = FakeImWindows::EventKind;
using Conversation = FakeImWindows::Conversation;

const std::string EMPTY_WINDOW = "\n\nShow Recent Messages (F3)\n\n\n\n\n\n ";

Conversation message(const std::string& title, const std::string& text) {
  Conversation c;
  c.title = title;
  c.text = EMPTY_WINDOW + "\r\n" + text;
  return c;
}

// Each case runs in a scratch working directory, where the log file goes.
class GuardTest : public ScratchDirTest {
 protected:
  GuardTest() : responder(fake), groups("Groups.lst") {
    params.responder = &responder;
    params.policy = &policy;
    params.groups = &groups;
    params.messageLog = &log;
    params.mainWindow = &port;
    params.replyText = "Away > ";
    params.sleep = [this](uint32_t ms) { fake.recordSleep(ms); };
  }
  PassOutcome pass() { return ProcessTopConversation(params, params.replyText); }
  int sleeps() const {
    int n = 0;
    for (const auto& e : fake.events()) n += e.kind == Kind::Sleep;
    return n;
  }

  FakeImWindows fake;
  Responder responder;
  ReplyPolicy policy;
  GroupStore groups;
  MessageLog log;
  SharedStateGuard shared;
  RecordingWindow& port = shared.window;
  GuardParams params;
};

TEST_F(GuardTest, NewMessageIsAnsweredClosedCountedAndLogged) {
  WindowId w = fake.openConversation(message("Jo Lee (jlee99) - chat", "jlee99: you there?"));

  EXPECT_EQ(pass(), PassOutcome::Processed);

  // The window gets its second to fill before anything is read or typed.
  EXPECT_EQ(fake.eventLog(),
            "sleep 1000, focus, type \" Hey \", focus, type \"jlee99,\", focus, "
            "type \"Away \", click, close");
  EXPECT_EQ(fake.typedInto(w), " Hey jlee99,Away ");
  EXPECT_FALSE(fake.isOpen(w));

  EXPECT_EQ(ReceivedCount, 1);
  EXPECT_EQ(RepliedCount, 1);
  auto logged = log.MessagesOf("jlee99,>");
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0].Text, " you there?");
  EXPECT_EQ(port.item(IDC_RECEIVED_COUNT), "1");
  EXPECT_EQ(port.item(IDC_REPLIED_COUNT), "1");
  EXPECT_EQ(port.title(), "Recv :1, Repl. 1 [Quorvane V3.0] ");
  EXPECT_EQ(port.statuses(), std::vector<std::string>{"IM Autoresponded..."});
  EXPECT_TRUE(responder.senderKey.empty());
  EXPECT_TRUE(responder.messageText.empty());
}

// A window on top that the pass leaves alone, or cannot read now, holds back no new
// conversation below it; alone, it is looked at again by every pass.
TEST_F(GuardTest, WindowsPassedOverOrUnreadableHoldBackNoneBelow) {
  struct Case {
    const char* name;
    Conversation window;
    bool openAtActivation;
    PassOutcome alone;  // of a pass that finds only this window
    bool settled;       // that pass waited the settle delay
  };
  Conversation readFails = message("ann - chat", "ann: hi");
  readFails.readFails = true;
  Conversation throws = message("ann - chat", "ann: hi");
  throws.throwsOnRead = true;
  Case cases[] = {
      {"conference", message("Conference: team", "ann: hi"), false, PassOutcome::PassedOver, false},
      {"voice chat", message("Voice Chat: ann", "ann: hi"), false, PassOutcome::PassedOver, false},
      {"open at activation", message("ann - chat", "ann: hi"), true, PassOutcome::PassedOver,
       false},
      {"empty title", message("", "ann: hi"), false, PassOutcome::Failed, true},
      {"placeholder Instant", message("Instant Message", "x: hi"), false, PassOutcome::Failed,
       true},
      {"placeholder F3", message("xF3y", "x: hi"), false, PassOutcome::Failed, true},
      {"unreadable view", readFails, false, PassOutcome::Failed, true},
      {"memory exhausted while reading", throws, false, PassOutcome::Failed, true},
  };
  for (const Case& c : cases) {
    FakeImWindows fresh;
    Responder r(fresh);
    params.responder = &r;
    params.sleep = [&fresh](uint32_t ms) { fresh.recordSleep(ms); };
    WindowId below = fresh.openConversation(message("bob - chat", "bob: waiting"));
    WindowId w = fresh.openConversation(c.window);
    if (c.openAtActivation) r.ignoredWindows.Add(w);
    policy.ResetPolicy();  // each fake numbers its windows alike

    EXPECT_EQ(pass(), PassOutcome::Processed) << c.name;
    EXPECT_EQ(fresh.typedInto(below), " Hey bob,Away ") << c.name;
    EXPECT_FALSE(fresh.isOpen(below)) << c.name;
    fresh.clearEvents();
    EXPECT_EQ(pass(), c.alone) << c.name;
    EXPECT_EQ(pass(), c.alone) << c.name << ": not remembered, same result again";

    bool settled = !fresh.events().empty() && fresh.events().front().kind == Kind::Sleep;
    EXPECT_EQ(settled, c.settled) << c.name;
    EXPECT_TRUE(fresh.isOpen(w)) << c.name;
    EXPECT_EQ(fresh.typedInto(w), "") << c.name;
    EXPECT_EQ(r.ignoredWindows.Contains(w), c.openAtActivation) << c.name;
  }
  const int n = static_cast<int>(std::size(cases));
  EXPECT_EQ(ReceivedCount, n);
  EXPECT_EQ(port.countStatus("IM Autoresponded..."), n);
  params.responder = &responder;
}

TEST_F(GuardTest, NoConversationWindowEndsThePassAtOnce) {
  fake.openOtherWindow();
  EXPECT_EQ(pass(), PassOutcome::Failed);
  EXPECT_TRUE(fake.events().empty());
  EXPECT_TRUE(port.statuses().empty());
}

// Noticed, the outgoing window is passed over: the pass goes on and answers the topmost
// new conversation below it, one per pass.
TEST_F(GuardTest, OutgoingWindowIsNoticedOnceThenIgnoredAndHoldsBackNoOne) {
  for (const std::string& text : {EMPTY_WINDOW, std::string("no marker here")}) {
    FakeImWindows fresh;
    Responder r(fresh);
    RecordingWindow statusPort;
    params.responder = &r;
    params.mainWindow = &statusPort;
    params.sleep = [&fresh](uint32_t ms) { fresh.recordSleep(ms); };
    policy.ResetPolicy();  // each fake numbers its windows alike
    WindowId last = fresh.openConversation(message("cy - chat", "cy: hi"));
    WindowId below = fresh.openConversation(message("bob - chat", "bob: hi"));
    Conversation outgoing;
    outgoing.title = "ann - chat";
    outgoing.text = text;
    WindowId w = fresh.openConversation(outgoing);

    EXPECT_EQ(pass(), PassOutcome::Processed);
    EXPECT_FALSE(fresh.isOpen(below));
    EXPECT_TRUE(fresh.isOpen(last));
    EXPECT_EQ(pass(), PassOutcome::Processed);
    EXPECT_EQ(pass(), PassOutcome::PassedOver);

    EXPECT_EQ(statusPort.statuses(),
              (std::vector<std::string>{"OutGoing IM Detected...", "IM Autoresponded...",
                                        "IM Autoresponded..."}));
    EXPECT_TRUE(r.ignoredWindows.Contains(w));
    EXPECT_TRUE(r.messageText.empty());
    EXPECT_EQ(fresh.typedInto(w), "");
    EXPECT_TRUE(fresh.isOpen(w));
    EXPECT_EQ(fresh.typedInto(last), " Hey cy,Away ");
    // The pass over the ignored window alone does not wait.
    EXPECT_EQ(fresh.count(Kind::Sleep, 0), 2);
  }
  params.responder = &responder;
  params.mainWindow = &port;
}

TEST_F(GuardTest, WhatIsSentDependsOnEntryFieldSendButtonGroupAndPolicy) {
  groups.addGroup("Work", "At lunch, back at two");
  groups.addMember(0, "Boss");
  struct Case {
    const char* name;
    Conversation window;
    int32_t interval;
    int earlierMessages;  // from the same contact in this activation
    std::string typed;
    int replied;
  };
  Conversation noEntry = message("ann - chat", "ann: hi");
  noEntry.hasEntryField = false;
  Conversation noSend = message("ann - chat", "ann: hi");
  noSend.hasSendButton = false;
  Case cases[] = {
      {"default reply", message("ann - chat", "ann: hi"), 0, 0, " Hey ann,Away ", 1},
      {"group member", message("Big (boss) - chat", "boss: hi"), 0, 0,
       " Hey boss,At lunch, back at two", 1},
      {"no entry field", noEntry, 0, 0, "", 0},
      {"no send button", noSend, 0, 0, " Hey ann,Away ", 0},
      {"policy declines the third", message("ann - chat", "ann: hi"), 1, 2, "", 0},
      {"policy answers the fourth", message("ANN - chat", "ann: hi"), 1, 3, " Hey ANN,Away ", 1},
  };
  for (const Case& c : cases) {
    ReceivedCount = 0;
    RepliedCount = 0;
    policy.ResetPolicy();
    policy.ReplyInterval = c.interval;
    for (int i = 0; i < c.earlierMessages; ++i) policy.ShouldReply("ann,>");
    WindowId w = fake.openConversation(c.window);

    EXPECT_EQ(pass(), PassOutcome::Processed) << c.name;
    EXPECT_EQ(fake.typedInto(w), c.typed) << c.name;
    EXPECT_EQ(fake.count(Kind::Click, FakeImWindows::buttonOf(w)), c.replied) << c.name;
    EXPECT_EQ(RepliedCount, c.replied) << c.name;
    // Answered or not, every read message is closed, counted and logged.
    EXPECT_FALSE(fake.isOpen(w)) << c.name;
    EXPECT_EQ(ReceivedCount, 1) << c.name;
  }
  EXPECT_EQ(log.messageCount(), 6u);
}

TEST_F(GuardTest, ReplyIntervalCountsPerContactAcrossWindows) {
  policy.ReplyInterval = 2;  // a contact's 1st, 3rd, 6th, ...
  const char* senders[] = {"ann", "bob", "ann", "bob", "ann", "ann", "bob", "ann", "ann"};
  std::string answered;
  for (const char* s : senders) {
    WindowId w = fake.openConversation(message(std::string(s) + " - chat", "x: hi"));
    ASSERT_EQ(pass(), PassOutcome::Processed);
    answered += fake.typedInto(w).empty() ? "." : "R";
  }
  // ann's 1st to 6th: R . R . . R; bob's 1st to 3rd: R . R
  EXPECT_EQ(answered, "RR..R.R.R");
  EXPECT_EQ(ReceivedCount, 9);
  EXPECT_EQ(RepliedCount, 5);
}

// A contact who repeats their previous message less than 30 s after it was answered
// echoes; from the second echo in a row on they are answered no more, as another
// auto-responder's loop would otherwise go on for ever, until they write something that
// is no echo. A window read again brings no new message. "bot" is in a group.
TEST_F(GuardTest, EchoesInARowStopTheAnswersToThatContactAlone) {
  groups.addGroup("Bots", "Group reply");
  groups.addMember(0, "bot");
  struct Message {
    const char* sender;
    const char* text;
    int gapS;                // from the previous reading to this one
    bool staysOpen = false;  // its close is not handled: later passes find it again
  };
  // No sender: a pass that finds no new window.
  const Message hi{"bot", "hi", 2}, loop{"bot", "auto", 2}, fresh{"bot", "new", 40},
      loop29{"bot", "auto", 29}, loop30{"bot", "auto", 30}, ann1{"ann", "a", 1},
      ann2{"ann", "b", 1}, loopStaysOpen{"bot", "auto", 2, true}, look{nullptr, nullptr, 2};
  struct Case {
    const char* name;
    int32_t interval;
    std::vector<Message> messages;
    const char* answered;
    int contacts;
    bool told;  // that the bot's replies look automatic
  } cases[] = {
      // clang-format off
      {"a second auto-responder, then new text", 0, {hi, loop, loop, loop, loop, fresh}, "RRR..R",
       1, true},
      {"the same again half a minute on", 0, {loop, loop, loop, loop30}, "RR.R", 1, true},
      {"the same window read again", 0, {loop, loopStaysOpen, look, look, hi}, "RR..R", 1, false},
      {"read again after a newer message", 0, {loop, loopStaysOpen, hi, look}, "RRR.", 1, false},
      {"echo of its own first message", 0, {loop, loop, loop}, "RR.", 1, true},
      {"30 s after the answer is no echo", 0, {loop, loop30, loop30}, "RRR", 1, false},
      {"29 s is", 0, {loop, loop29, loop29}, "RR.", 1, true},
      {"another text resets the count", 0, {loop, loop, hi, loop, loop, hi}, "RRRRRR", 1, false},
      {"others are still answered", 0, {loop, ann1, loop, ann2, loop, ann2}, "RRRR.R", 2, true},
      {"unanswered messages make no echo", 2, {loop, loop, loop, loop, loop, loop}, "R.R..R", 1,
       false},
      // clang-format on
  };
  for (const Case& c : cases) {
    ReceivedCount = 0;
    RepliedCount = 0;
    policy.ResetPolicy();
    policy.ReplyInterval = c.interval;
    // What an earlier case left open was there before this activation.
    for (WindowId open : fake.listConversations()) responder.ignoredWindows.Add(open);
    ActivationTally tally;
    params.tally = &tally;
    RecordingWindow window;
    params.mainWindow = &window;
    uint64_t clockMs = 0;
    params.clock = [&] { return clockMs; };
    params.sleep = [&](uint32_t ms) { clockMs += ms; };
    std::string answered;
    int messages = 0;
    WindowId w = 0;
    for (const Message& m : c.messages) {
      clockMs += m.gapS * 1000 - 1000;  // the pass waits a second before it reads
      if (m.sender) {
        Conversation conversation =
            message(std::string(m.sender) + " - chat", std::string(m.sender) + ": " + m.text);
        conversation.staysOpen = m.staysOpen;
        w = fake.openConversation(conversation);
        ++messages;
      }
      const int32_t before = RepliedCount;
      pass();
      answered += RepliedCount > before ? "R" : ".";
      const std::string typed = fake.typedInto(w);
      if (m.sender && m.sender == std::string("bot") && !typed.empty()) {
        EXPECT_EQ(typed, " Hey bot,Group reply") << c.name;
      }
    }
    EXPECT_EQ(answered, c.answered) << c.name;
    const int replies = static_cast<int>(std::count(answered.begin(), answered.end(), 'R'));
    EXPECT_EQ(RepliedCount, replies) << c.name;
    EXPECT_EQ(ReceivedCount, messages) << c.name;
    const ActivationSummary summary = tally.summary(0);
    EXPECT_EQ(summary.received, ReceivedCount) << c.name;
    EXPECT_EQ(summary.replied, replies) << c.name;
    EXPECT_EQ(summary.contacts, c.contacts) << c.name;
    // Told once when the contact's answers stop.
    EXPECT_EQ(window.countStatus(
                  "Replies from bot look automatic: no answers until they write something new"),
              c.told ? 1 : 0)
        << c.name;
  }
}

TEST_F(GuardTest, WindowThatCannotBeClosedIsNeitherCountedNorLoggedAndIsReadAgain) {
  Conversation stuck = message("ann - chat", "ann: hi");
  stuck.closeFails = true;
  fake.openConversation(stuck);
  EXPECT_EQ(pass(), PassOutcome::Failed);
  EXPECT_EQ(pass(), PassOutcome::Failed);
  EXPECT_EQ(ReceivedCount, 0);
  EXPECT_EQ(log.messageCount(), 0u);
  EXPECT_EQ(sleeps(), 2);
  EXPECT_TRUE(port.statuses().empty());
}

TEST_F(GuardTest, LogFileGetsOneRecordPerProcessedMessage) {
  LogToFileEnabled = true;
  fake.openConversation(message("ann - chat", "ann: first"));
  EXPECT_EQ(pass(), PassOutcome::Processed);
  fake.openConversation(message("bob - chat", "bob: second"));
  EXPECT_EQ(pass(), PassOutcome::Processed);

  std::ifstream in(responder.logFile.FileName(), std::ios::binary);
  std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(file.find("( FROM ) : ann,>\r\n( MSG )  :  first\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("( FROM ) : bob,>\r\n( MSG )  :  second\r\n"), std::string::npos) << file;
  EXPECT_LT(file.find("ann,>"), file.find("bob,>"));
}

// The loop, run on the test's own thread with a sleep that deactivates after a
// number of waits.
class GuardLoopTest : public GuardTest {
 protected:
  void runWaits(int waits, const std::function<void(int)>& atWait = {}) {
    int n = 0;
    params.sleep = [&, waits](uint32_t ms) {
      fake.recordSleep(ms);
      if (atWait) atWait(n);
      if (++n >= waits) AutoresponseActive = false;
    };
    AutoresponseActive = true;
    EXPECT_EQ(GuardThreadMain(params), 0);
  }
};

TEST_F(GuardLoopTest, StartAndEndAreShownAndNoted) {
  NotifyEnabled = true;
  params.pollInterval = 1234;
  runWaits(1);
  auto events = fake.events();
  ASSERT_EQ(events.size(), 1u);  // the first wait, then the flag was found false
  EXPECT_EQ(events[0].value, 1234u);
  // The end is the interface thread's to show.
  EXPECT_EQ(port.statuses(), std::vector<std::string>{"Autoresponse is on guard"});
  EXPECT_EQ(port.posted(),
            (std::vector<unsigned>{UM_SHOW_NOTE_INFO, UM_SHOW_NOTE_INFO, UM_GUARD_ENDED}));
  ASSERT_EQ(PendingNotes.pending().size(), 2u);
  EXPECT_EQ(PendingNotes.pending()[0].text, "Autoresponse is on guard");
  EXPECT_EQ(PendingNotes.pending()[1].text, "Autoresponse is Currently Inactive...");
  EXPECT_EQ(fake.threadsStarted(), 1);
  EXPECT_EQ(fake.threadsEnded(), 1);
}

TEST_F(GuardLoopTest, ThreadThatCannotTakeItsSnapshotEndsPlainlyInactive) {
  fake.openConversation(message("ann - chat", "ann: before"));
  fake.failListings();
  runWaits(100);
  EXPECT_FALSE(AutoresponseActive) << "no thread guards, so autoresponse is off";
  EXPECT_EQ(port.countStatus("Autoresponse is on guard"), 0);
  EXPECT_EQ(sleeps(), 0);
  EXPECT_EQ(port.posted().back(), UM_GUARD_ENDED);
  EXPECT_EQ(fake.threadsEnded(), 1);
}

TEST_F(GuardLoopTest, ConversationsOpenAtActivationAreNeverAnswered) {
  WindowId old1 = fake.openConversation(message("ann - chat", "ann: before"));
  fake.openOtherWindow();
  WindowId old2 = fake.openConversationAtBottom(message("bob - chat", "bob: before"));
  // Stale entries of the last activation must not survive into this one.
  WindowId fresh = 0;
  responder.ignoredWindows.Add(0x999999);
  runWaits(8, [&](int n) {
    if (n == 2) fake.setText(old1, EMPTY_WINDOW + "\r\nann: again");
    if (n == 4) fresh = fake.openConversation(message("cy - chat", "cy: new"));
  });
  EXPECT_TRUE(fake.isOpen(old1));
  EXPECT_TRUE(fake.isOpen(old2));
  EXPECT_EQ(fake.typedInto(old1), "");
  EXPECT_FALSE(fake.isOpen(fresh));
  EXPECT_EQ(fake.typedInto(fresh), " Hey cy,Away ");
  EXPECT_EQ(ReceivedCount, 1);
  EXPECT_FALSE(responder.ignoredWindows.Contains(0x999999));
}

// A contact who writes as soon as the status line or the popup says "on guard" is
// answered: what was open at activation is known before either says so.
TEST_F(GuardLoopTest, ConversationArrivingWhenOnGuardShowsIsAnswered) {
  struct OpensWhenOnGuard : RecordingWindow {
    std::function<void(const char*)> open;
    void setItemText(int id, const std::string& text) override {
      RecordingWindow::setItemText(id, text);
      if (text == "Autoresponse is on guard") open("cy");
    }
    bool postMessage(unsigned message) override {
      if (message == UM_SHOW_NOTE_INFO) open("dee");
      return RecordingWindow::postMessage(message);
    }
  } window;
  std::map<std::string, WindowId> fresh;
  window.open = [&](const char* id) {
    if (!fresh.count(id))
      fresh[id] =
          fake.openConversation(message(id + std::string(" - chat"), id + std::string(": hi")));
  };
  params.mainWindow = &window;
  setMainWindowPort(&window);  // where the popup is asked for
  NotifyEnabled = true;
  runWaits(5);
  EXPECT_EQ(fake.typedInto(fresh["cy"]), " Hey cy,Away ");
  EXPECT_EQ(fake.typedInto(fresh["dee"]), " Hey dee,Away ");
}

TEST_F(GuardLoopTest, EveryActivationStartsTheContactsAfresh) {
  policy.ReplyInterval = 4;
  for (int activation = 0; activation < 2; ++activation) {
    fake.clearEvents();
    WindowId a = 0, b = 0;
    runWaits(6, [&](int n) {
      if (n == 1) a = fake.openConversation(message("ann - chat", "ann: one"));
      if (n == 3) b = fake.openConversation(message("ann - chat", "ann: two"));
    });
    EXPECT_EQ(fake.typedInto(a), " Hey ann,Away ") << "activation " << activation;
    EXPECT_EQ(fake.typedInto(b), "") << "activation " << activation;
  }
}

// The real thread with every wait cut to a hundredth.
class GuardThreadTest : public GuardTest {
 protected:
  static void shortSleep(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::microseconds(ms * 10));
  }
};

TEST_F(GuardThreadTest, AnswersWhileGroupsAndTheLogChangeOnAnotherThread) {
  GuardThread guard(responder, policy, groups, log);
  guard.params.sleep = shortSleep;
  groups.addGroup("Friends", "Later, friend");
  WindowId before = fake.openConversation(message("cy - chat", "cy: before"));
  AutoresponseActive = true;
  guard.StartGuard(1000, "Away", port);
  ASSERT_TRUE(waitUntil([&] { return fake.listings() == 1; }, 10000, 2));

  std::atomic<bool> done{false};
  std::thread interfaceThread([&] {
    // What the user does meanwhile: edits groups, looks at the log.
    for (int i = 0; !done; ++i) {
      groups.addMember(0, "ann");
      groups.removeMember(0, 0);
      groups.addGroup("G" + std::to_string(i), "m");
      groups.removeGroup(1);
      for (const std::string& s : log.Senders()) log.MessagesOf(s);
      std::this_thread::yield();
    }
  });
  std::vector<WindowId> windows;
  const int total = 12;
  for (int i = 0; i < total; ++i) {
    // Each message new: the same text again within seconds would be an echo.
    windows.push_back(fake.openConversation(
        message(i % 2 ? "ann - chat" : "bob - chat", "x: hi " + std::to_string(i))));
    if (!waitUntil([&] { return !fake.isOpen(windows.back()); }, 10000, 2)) {
      ADD_FAILURE() << "window " << i << " was not answered";
      break;
    }
  }
  done = true;
  interfaceThread.join();
  AutoresponseActive = false;
  ASSERT_TRUE(waitUntil([&] { return !guard.running(); }, 10000, 2));

  for (WindowId w : windows) {
    std::string typed = fake.typedInto(w);
    EXPECT_TRUE(typed == " Hey ann,Away " || typed == " Hey ann,Later, friend" ||
                typed == " Hey bob,Away ")
        << typed;
  }
  EXPECT_TRUE(fake.isOpen(before));
  EXPECT_EQ(ReceivedCount, total);
  EXPECT_EQ(RepliedCount, total);
  EXPECT_EQ(log.messageCount(), static_cast<size_t>(total));
  guard.ShowGuardEnded(port);
  EXPECT_EQ(port.statuses().back(), "Autoresponse is Currently Inactive...");
}

// Holds every settle delay (the wait inside a pass) while closed; the poll interval of
// the threads below is 500 ms, so 1000 ms is always a settle delay.
class PassGate {
 public:
  void sleep(uint32_t ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    ++sleeps_;
    if (ms == 1000) {
      ++held_;
      opened_.wait(lock, [&] { return open_; });
    }
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  void open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    opened_.notify_all();
  }
  int held() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return held_;
  }
  int sleeps() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sleeps_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
  int held_ = 0;
  int sleeps_ = 0;
};

int postedCount(const RecordingWindow& port, unsigned message) {
  const std::vector<unsigned> posted = port.posted();
  return static_cast<int>(std::count(posted.begin(), posted.end(), message));
}

// A conversation that arrives once the running thread has taken its snapshot; returns when
// that thread is held inside its pass over it.
WindowId arriveAndHold(FakeImWindows& fake, PassGate& gate, const Conversation& c) {
  EXPECT_TRUE(waitUntil([&] { return gate.sleeps() > 0; }, 10000, 2));
  WindowId w = fake.openConversation(c);
  EXPECT_TRUE(waitUntil([&] { return gate.held() == 1; }, 10000, 2));
  return w;
}

// A guard whose waits go through the gate, its first thread held in its pass over a
// conversation from "a".
void startHeldInPass(GuardThread& guard, PassGate& gate, FakeImWindows& fake,
                     RecordingWindow& port) {
  guard.params.sleep = [&gate](uint32_t ms) { gate.sleep(ms); };
  guard.StartGuard(500, "First", port);
  arriveAndHold(fake, gate, message("a - chat", "a: hi"));
}

// DeActivate and Activate again, twice, while the first thread is in the middle of
// answering a conversation, as quick clicks would.
TEST_F(GuardThreadTest, ReactivationMidPassHandsOverWithoutWaitingOrAnsweringTwice) {
  NotifyEnabled = true;
  PassGate gate;
  GuardThread guard(responder, policy, groups, log);
  guard.params.sleep = [&gate](uint32_t ms) { gate.sleep(ms); };
  std::atomic<int> activations{0};
  auto activate = [&](const std::string& reply) {
    guard.StartGuard(500, reply, port);
    ++activations;
  };
  auto deactivate = [] {
    AutoresponseActive = false;
    PostNote(NOTE_CAUTION, "stopping");
  };
  // Should an activation wait for the held pass, this opens the gate at last; the test
  // then fails instead of hanging.
  std::thread rescue([&] {
    if (!waitUntil([&] { return activations == 3; }, 5000, 5)) gate.open();
  });

  activate("First");
  WindowId a = arriveAndHold(fake, gate, message("a - chat", "a: hi"));
  deactivate();
  activate("Second");
  deactivate();
  activate("Third");
  rescue.join();
  EXPECT_EQ(gate.held(), 1) << "an activation waited for the pass";

  // Once the new threads have taken their snapshots a contact writes: none passes while
  // the first is still answering. (Written before, it would count as open at activation.)
  ASSERT_TRUE(waitUntil([&] { return fake.listings() == 2; }, 10000, 2));
  WindowId b = fake.openConversation(message("b - chat", "b: hi"));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(fake.typedInto(b), "");
  EXPECT_EQ(gate.held(), 1);

  gate.open();
  ASSERT_TRUE(waitUntil([&] { return log.messageCount() == 2; }, 10000, 2));
  AutoresponseActive = false;
  ASSERT_TRUE(waitUntil([&] { return !guard.running(); }, 10000, 2));

  // Each conversation answered once, by the thread that read it, and counted.
  EXPECT_EQ(fake.typedInto(a), " Hey a,First ");
  EXPECT_EQ(fake.typedInto(b), " Hey b,Third ");
  EXPECT_EQ(ReceivedCount, 2);
  EXPECT_EQ(RepliedCount, 2);
  EXPECT_EQ(fake.threadsStarted(), 3);
  EXPECT_EQ(fake.threadsEnded(), 3);
  // The older threads end without a word; only the last one says it has stopped. Each
  // says "on guard" only while it is the newest, which depends on the threads' timing.
  const std::string onGuard = "Autoresponse is on guard";
  std::vector<std::string> notes;
  for (const NoteRequest& n : PendingNotes.pending())
    if (n.text != onGuard) notes.push_back(n.text);
  EXPECT_EQ(notes, (std::vector<std::string>{"stopping", "stopping", "Msg from : a,>-- hi",
                                             "Msg from : b,>-- hi",
                                             "Autoresponse is Currently Inactive..."}));
  EXPECT_EQ(PendingNotes.pending().front().text, onGuard);
  // The first thread, no longer the newest when it ends its pass, leaves the status line
  // to the newest, whose "on guard" stays until it has answered.
  std::vector<std::string> statuses = port.statuses();
  statuses.erase(std::remove(statuses.begin(), statuses.end(), onGuard), statuses.end());
  EXPECT_EQ(statuses, std::vector<std::string>{"IM Autoresponded..."});
  ASSERT_GE(port.statuses().size(), 3u);
  EXPECT_EQ(port.statuses()[port.statuses().size() - 2], onGuard);
  EXPECT_EQ(postedCount(port, UM_GUARD_ENDED), 1);
  guard.ShowGuardEnded(port);
  EXPECT_EQ(port.statuses().back(), "Autoresponse is Currently Inactive...");
}

// A thread that cannot take its snapshot ends; had it been the newest, autoresponse
// would be left inactive, but a newer activation keeps its flag.
TEST_F(GuardThreadTest, FailedStartLeavesTheFlagToANewerActivation) {
  PassGate gate;
  GuardThread guard(responder, policy, groups, log);
  startHeldInPass(guard, gate, fake, port);

  AutoresponseActive = false;
  fake.failListings(true);
  guard.StartGuard(500, "Failing", port);
  ASSERT_TRUE(waitUntil([&] { return fake.listings() == 1; }, 10000, 2));
  fake.failListings(false);
  AutoresponseActive = false;
  guard.StartGuard(500, "Third", port);
  ASSERT_TRUE(waitUntil([&] { return fake.listings() == 2; }, 10000, 2));
  gate.open();

  ASSERT_TRUE(waitUntil([&] { return fake.threadsEnded() == 2; }, 10000, 2));
  EXPECT_TRUE(AutoresponseActive);
  EXPECT_EQ(postedCount(port, UM_GUARD_ENDED), 0);
  AutoresponseActive = false;
  ASSERT_TRUE(waitUntil([&] { return !guard.running(); }, 10000, 2));
}

// The first guard's end reaches the interface thread only after the user has activated
// again: the status line stays "on guard".
TEST_F(GuardThreadTest, EndHandledAfterANewActivationLeavesTheStatusOnGuard) {
  GuardThread guard(responder, policy, groups, log);
  guard.params.sleep = shortSleep;
  guard.StartGuard(500, "First", port);
  AutoresponseActive = false;
  ASSERT_TRUE(waitUntil([&] { return !guard.running(); }, 10000, 2));
  ASSERT_EQ(postedCount(port, UM_GUARD_ENDED), 1);
  // The first, stopped at once, may not have said "on guard" at all.
  const int said = port.countStatus("Autoresponse is on guard");
  guard.StartGuard(500, "Second", port);
  ASSERT_TRUE(waitUntil([&] { return port.countStatus("Autoresponse is on guard") == said + 1; },
                        10000, 2));

  guard.ShowGuardEnded(port);
  EXPECT_EQ(port.statuses().back(), "Autoresponse is on guard");
  AutoresponseActive = false;
  ASSERT_TRUE(waitUntil([&] { return !guard.running(); }, 10000, 2));
}

// No thread for a new activation: autoresponse stays off, the user is told, and the
// previous thread, still in its pass, is kept and ends as the newest.
TEST_F(GuardThreadTest, ThreadThatCannotBeStartedChangesNothing) {
  PassGate gate;
  GuardThread guard(responder, policy, groups, log);
  startHeldInPass(guard, gate, fake, port);
  AutoresponseActive = false;
  guard.startThread = [](std::function<void()>) -> std::thread {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
  };

  EXPECT_FALSE(guard.StartGuard(500, "Second", port));
  EXPECT_FALSE(AutoresponseActive);
  EXPECT_EQ(port.statuses().back(), "Autoresponse could not be started");
  const NoteRequest note = PendingNotes.pending().back();
  EXPECT_EQ(note.kind, NOTE_ERROR);
  EXPECT_EQ(note.text, "Autoresponse could not be started");

  gate.open();
  ASSERT_TRUE(waitUntil([&] { return !guard.running(); }, 10000, 2));
  guard.ShowGuardEnded(port);
  EXPECT_EQ(port.statuses().back(), "Autoresponse is Currently Inactive...");
}

}  // namespace
