// The real engine (Win32 window access and the guard thread with its real waits) against
// the stand-in messenger: what each kind of conversation window receives, and what is
// counted, kept in the message log and written to the log file.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>

#include "common/app_driver.h"
#include "common/messenger_client.h"
#include "common/observed_im_windows.h"
#include "responder/guard.h"
#include "responder/im_windows_win32.h"
#include "tests/support/recording_window.h"
#include "tests/support/wait_until.h"

namespace {

const char* const RECORD_HEAD = "------------AUTO RESPONDED TO THE FOLLOWING MSG-------------*\r\n";

std::string scratchDir() {
  return GroupFolder("engine_scratch");
}

// Everything the program builds for the engine at start.
struct Engine {
  explicit Engine(const char* accessibilityLibrary = "OLEACC.DLL")
      : real(accessibilityLibrary),
        windows(real),
        responder(windows),
        groups(scratchDir() + "\\Groups.lst"),
        guard(responder, policy, groups, log) {}
  ~Engine() { deactivate(); }

  // Returns once the new thread has taken its snapshot of the open windows (its first
  // look for a conversation window), so that windows opened from now on are new.
  void activate(const std::string& defaultText = "I am away") {
    int looks = windows.looks();
    guard.StartGuard(1000, defaultText, port);
    AutoresponseActive = true;
    waitUntil([&] { return windows.looks() > looks; }, 5000);
  }
  void deactivate() {
    AutoresponseActive = false;
    waitUntil([this] { return !guard.running(); }, 8000);
  }
  void waitPasses(int n) {
    int target = windows.looks() + n;
    waitUntil([&] { return windows.looks() >= target; }, 5000 * n);
  }
  std::string logFileContent() const {
    std::ifstream in(responder.logFile.FileName(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  int fileRecords() const {
    std::string content = logFileContent();
    int n = 0;
    for (size_t at = content.find(RECORD_HEAD); at != std::string::npos;
         at = content.find(RECORD_HEAD, at + 1))
      ++n;
    return n;
  }

  Win32ImWindows real;
  ObservedImWindows windows;
  Responder responder;
  ReplyPolicy policy;
  GroupStore groups;
  MessageLog log;
  RecordingWindow port;
  GuardThread guard;
};

// What one case changed in the counters, the message log and the log file.
struct Totals {
  int received, replied;
  size_t logged;
  int records;
  bool operator==(const Totals& o) const {
    return received == o.received && replied == o.replied && logged == o.logged &&
           records == o.records;
  }
};
std::ostream& operator<<(std::ostream& out, const Totals& t) {
  return out << "{received " << t.received << ", replied " << t.replied << ", logged " << t.logged
             << ", file records " << t.records << "}";
}

class EngineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetCurrentDirectoryA(scratchDir().c_str());
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("msg_log_*.txt", &found);
    if (search != INVALID_HANDLE_VALUE) {
      do DeleteFileA(found.cFileName);
      while (FindNextFileA(search, &found));
      FindClose(search);
    }
    messenger = new StandInMessenger;
    ASSERT_TRUE(messenger->start(scratchDir() + "\\transcript.txt"));
    engine = new Engine;
    setMainWindowPort(&engine->port);
    NotifyEnabled = true;
    LogToFileEnabled = true;
    engine->activate();
  }
  static void TearDownTestSuite() {
    delete engine;
    engine = nullptr;
    setMainWindowPort(nullptr);
    delete messenger;
    messenger = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(messenger && messenger->running());
    messenger->closeAll();
    before = totals();
  }

  static Totals totals() {
    return {ReceivedCount, RepliedCount, engine->log.messageCount(), engine->fileRecords()};
  }
  // The change since the case began.
  Totals added() const {
    Totals now = totals();
    return {now.received - before.received, now.replied - before.replied,
            now.logged - before.logged, now.records - before.records};
  }
  // Waits until the pass that closed a window has also counted and logged it.
  void waitForCount(int received) {
    waitUntil([&] { return added().received >= received && added().records >= received; }, 5000);
  }
  // The window's events in the transcript: o open, c character, k click, x close.
  static std::string eventOrder(HWND window) {
    std::string order;
    std::map<std::string, char> letter = {
        {"open", 'o'}, {"char", 'c'}, {"click", 'k'}, {"close", 'x'}};
    for (const StandInEvent& e : messenger->events())
      if (e.window == window && letter.count(e.kind)) order += letter[e.kind];
    return order;
  }
  // A conversation behind the others. The stand-in shows it on top and then lowers it,
  // and Wine may raise it once more when the X server maps it, later on a busy machine:
  // the guard does not look meanwhile, and it is lowered again until it stays behind.
  HWND openBehind(const std::string& id) {
    std::lock_guard<std::mutex> hold(engine->windows.lookGate());
    StandInConversation c;
    c.sender = id;
    c.text = L"behind";
    c.options = STANDIN_BEHIND;
    HWND opened = messenger->openConversation(c);
    for (int tries = 0, behind = 0; opened && behind < 5 && tries < 100; ++tries, Sleep(50)) {
      behind = FindWindowA("IMClass", nullptr) == opened ? 0 : behind + 1;
      if (!behind)
        SetWindowPos(opened, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return opened;
  }

  static StandInMessenger* messenger;
  static Engine* engine;
  Totals before{};
};

StandInMessenger* EngineTest::messenger = nullptr;
Engine* EngineTest::engine = nullptr;

TEST_F(EngineTest, ContactsMessageIsAnsweredSentAndClosed) {
  HWND w =
      messenger->openMessage(standInChatTitle("Jo Lee", "jlee99"), "jlee99", L"are you there?");
  ASSERT_TRUE(w);
  ASSERT_TRUE(messenger->waitForClose(w, 8000));
  waitForCount(1);

  StandInWindowRecord r = messenger->record(w);
  EXPECT_EQ(r.typed, " Hey jlee99,I am away ");
  EXPECT_EQ(r.sent, std::vector<std::string>{" Hey jlee99,I am away "});
  EXPECT_EQ(eventOrder(w), "o" + std::string(r.typed.size(), 'c') + "kx");
  // The window gets its second to fill before anything is typed.
  EXPECT_GE(r.firstCharMs - r.openedMs, 1000u);

  EXPECT_EQ(added(), (Totals{1, 1, 1, 1}));
  auto logged = engine->log.MessagesOf("jlee99,>");
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.back().Text, " are you there?");
  ASSERT_FALSE(PendingNotes.pending().empty());
  EXPECT_EQ(PendingNotes.pending().back().text, "Msg from : jlee99,>-- are you there?");
  std::string file = engine->logFileContent();
  EXPECT_NE(file.find("( FROM ) : jlee99,>\r\n( MSG )  :  are you there?\r\n"), std::string::npos)
      << file;
  EXPECT_GE(engine->port.countStatus("IM Autoresponded..."), 1);
  Totals now = totals();
  EXPECT_EQ(engine->port.title(), "Recv :" + std::to_string(now.received) + ", Repl. " +
                                      std::to_string(now.replied) + " [Quorvane V3.0] ");
}

TEST_F(EngineTest, GroupMemberGetsTheGroupMessageWithoutATrailingBlank) {
  engine->groups.addGroup("Work", "In a meeting");
  engine->groups.addMember(engine->groups.groupCount() - 1, "Boss");
  HWND w = messenger->openMessage(standInChatTitle("The Boss", "boss"), "boss", L"call me");
  ASSERT_TRUE(messenger->waitForClose(w, 8000));
  waitForCount(1);
  EXPECT_EQ(messenger->record(w).typed, " Hey boss,In a meeting");
  EXPECT_EQ(messenger->record(w).sent, std::vector<std::string>{" Hey boss,In a meeting"});
  EXPECT_EQ(added(), (Totals{1, 1, 1, 1}));
  engine->groups.removeGroup(engine->groups.groupCount() - 1);
}

TEST_F(EngineTest, ReplyIntervalCountsEachContactsWindows) {
  engine->policy.ReplyInterval = 1;  // a contact's 1st, 2nd, 4th, 6th, ... message
  std::string answered;
  for (int i = 0; i < 4; ++i) {
    HWND w = messenger->openMessage("ivy - chat", "ivy", L"message " + std::to_wstring(i + 1));
    ASSERT_TRUE(messenger->waitForClose(w, 8000)) << "message " << i + 1;
    answered += messenger->record(w).sent.empty() ? "." : "R";
  }
  waitForCount(4);
  engine->policy.ReplyInterval = 0;
  EXPECT_EQ(answered, "RR.R");
  EXPECT_EQ(added(), (Totals{4, 3, 4, 4}));
}

TEST_F(EngineTest, WindowsOpenAtActivationAreNeverAnswered) {
  engine->deactivate();
  HWND old = messenger->openMessage("kim - chat", "kim", L"before you left");
  engine->activate();
  engine->waitPasses(2);
  ASSERT_TRUE(messenger->appendMessage(old, "kim", L"still there?"));
  engine->waitPasses(2);
  HWND fresh = messenger->openMessage("lou - chat", "lou", L"new one");
  ASSERT_TRUE(messenger->waitForClose(fresh, 8000));
  engine->waitPasses(2);  // the old window is on top again

  EXPECT_EQ(eventOrder(old), "o");
  EXPECT_EQ(messenger->record(fresh).typed, " Hey lou,I am away ");
  waitForCount(1);
  EXPECT_EQ(added(), (Totals{1, 1, 1, 1}));
}

TEST_F(EngineTest, OutgoingWindowIsReportedOnceThenIgnored) {
  int notices = engine->port.countStatus("OutGoing IM Detected...");
  HWND outgoing = messenger->openEmpty("mia - chat");
  HWND behind = openBehind("ned");
  // The outgoing window on top does not hold back the one behind it.
  ASSERT_TRUE(messenger->waitForClose(behind, 8000));
  engine->waitPasses(2);
  EXPECT_EQ(engine->port.countStatus("OutGoing IM Detected..."), notices + 1);
  EXPECT_EQ(eventOrder(outgoing), "o");
  waitForCount(1);
  EXPECT_EQ(added(), (Totals{1, 1, 1, 1}));
}

TEST_F(EngineTest, WindowOnTopThatCannotBeAnsweredHoldsBackNoneBelow) {
  struct Case {
    const char* name;
    std::string title;
    std::uint32_t options;
  } cases[] = {
      {"conference", "team - chat", STANDIN_CONFERENCE},
      {"voice chat", "ann - chat", STANDIN_VOICE_CHAT},
      {"placeholder sender", "Instant Message", 0},
      {"no history container", "ann - chat", STANDIN_NO_CONTAINER},
      {"no history view", "ann - chat", STANDIN_NO_VIEW},
  };
  for (const Case& c : cases) {
    messenger->closeAll();
    Totals start = totals();
    StandInConversation blocker;
    blocker.title = c.title;
    blocker.sender = "ann";
    blocker.text = L"hello";
    blocker.options = c.options;
    HWND top = messenger->openConversation(blocker);
    ASSERT_TRUE(top) << c.name;
    HWND behind = openBehind("ola");
    EXPECT_TRUE(messenger->waitForClose(behind, 8000)) << c.name;
    engine->waitPasses(2);
    EXPECT_EQ(eventOrder(top), "o") << c.name << ": the window on top was touched";
    waitUntil([&] { return totals().records > start.records; }, 5000);
    Totals now = totals();
    EXPECT_EQ(now.received - start.received, 1) << c.name;
    EXPECT_EQ(now.records - start.records, 1) << c.name;
  }
}

TEST_F(EngineTest, MissingEntryFieldOrSendButtonStillClosesCountsAndLogs) {
  struct Case {
    const char* name;
    std::uint32_t options;
    std::string typed;
  } cases[] = {
      {"no entry field", STANDIN_NO_ENTRY, ""},
      {"no send button", STANDIN_NO_SEND, " Hey pat,I am away "},
  };
  for (const Case& c : cases) {
    Totals start = totals();
    StandInConversation conversation;
    conversation.sender = "pat";
    conversation.text = L"hi";
    conversation.options = c.options;
    HWND w = messenger->openConversation(conversation);
    ASSERT_TRUE(messenger->waitForClose(w, 8000)) << c.name;
    waitUntil([&] { return totals().records > start.records; }, 5000);
    StandInWindowRecord r = messenger->record(w);
    EXPECT_EQ(r.typed, c.typed) << c.name;
    EXPECT_TRUE(r.sent.empty()) << c.name;
    Totals now = totals();
    EXPECT_EQ(now.received - start.received, 1) << c.name;
    EXPECT_EQ(now.replied - start.replied, 0) << c.name;
    EXPECT_EQ(now.logged - start.logged, 1u) << c.name;
  }
}

TEST_F(EngineTest, CharactersOutsideTheCodePageArriveAsTheDefaultCharacter) {
  HWND w = messenger->openMessage("quinn - chat", "quinn", L"caf\u00e9 \u0416\u4e2d ok");
  ASSERT_TRUE(messenger->waitForClose(w, 8000));
  waitForCount(1);
  auto logged = engine->log.MessagesOf("quinn,>");
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.back().Text, " caf\xE9 ?? ok");
  EXPECT_NE(engine->logFileContent().find("( MSG )  :  caf\xE9 ?? ok\r\n"), std::string::npos);
}

TEST_F(EngineTest, HungViewDelaysAPassByAboutASecond) {
  engine->deactivate();
  StandInConversation hung;
  hung.sender = "ray";
  hung.text = L"hello";
  hung.options = STANDIN_HUNG_VIEW;
  hung.hangMilliseconds = 5000;
  HWND w = messenger->openConversation(hung);
  ASSERT_TRUE(w);

  // One pass on this thread with its real settle delay: one second to settle plus at
  // most the one-second document request.
  GuardParams params = engine->guard.params;
  DWORD begin = GetTickCount();
  PassOutcome outcome = ProcessTopConversation(params, params.replyText);
  DWORD took = GetTickCount() - begin;
  EXPECT_EQ(outcome, PassOutcome::Failed);
  EXPECT_GE(took, 1000u);
  EXPECT_LT(took, 3000u) << "a hung view held the pass for " << took << " ms";

  // Once the view answers again the window is read and answered like any other.
  messenger->closeAll();  // waits for the stand-in to wake up
  engine->activate();
  HWND after = messenger->openMessage("ray - chat", "ray", L"awake now");
  EXPECT_TRUE(messenger->waitForClose(after, 8000));
  EXPECT_EQ(eventOrder(w), "o");
}

// The messenger killed while a pass asks its hung view for the document: the pass gives
// up, the guard stays on guard, and the messenger started again is answered as before.
TEST_F(EngineTest, KilledMessengerLeavesTheGuardOnGuardForTheNextOne) {
  StandInConversation hung;
  hung.sender = "kim";
  hung.text = L"hello";
  hung.options = STANDIN_HUNG_VIEW;
  hung.hangMilliseconds = 5000;
  ASSERT_TRUE(messenger->openConversation(hung));
  const HWND control = messenger->controlWindow();
  ASSERT_TRUE(waitUntil(
      [&] {
        DWORD_PTR ignored = 0;
        return !SendMessageTimeoutA(control, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &ignored);
      },
      5000))
      << "the view was never asked for its document";
  messenger->kill();

  ASSERT_TRUE(messenger->start(scratchDir() + "\\transcript.txt"));
  HWND w = messenger->openMessage("lou - chat", "lou", L"still on?");
  ASSERT_TRUE(messenger->waitForClose(w, 10000));
  waitForCount(1);
  EXPECT_TRUE(engine->guard.running());
  EXPECT_EQ(messenger->record(w).sent, std::vector<std::string>{" Hey lou,I am away "});
  EXPECT_EQ(added(), (Totals{1, 1, 1, 1}));
}

TEST_F(EngineTest, WithoutTheDocumentEntryNothingIsEverProcessed) {
  EXPECT_FALSE(Win32ImWindows("QV_NO_SUCH_LIBRARY.DLL").hasDocumentEntry());
  engine->deactivate();
  {
    // kernel32 loads but has no ObjectFromLresult.
    Engine blind("kernel32.dll");
    ASSERT_FALSE(blind.real.hasDocumentEntry());
    setMainWindowPort(&blind.port);
    blind.activate();
    HWND w = messenger->openMessage("sam - chat", "sam", L"anyone?");
    blind.waitPasses(3);
    EXPECT_EQ(eventOrder(w), "o");
    EXPECT_EQ(blind.port.countStatus("Autoresponse is on guard"), 1);
    EXPECT_EQ(blind.port.countStatus("IM Autoresponded..."), 0);
    EXPECT_EQ(blind.log.messageCount(), 0u);
    blind.deactivate();
    blind.guard.ShowGuardEnded(blind.port);
    EXPECT_EQ(blind.port.countStatus("Autoresponse is Currently Inactive..."), 1);
  }
  setMainWindowPort(&engine->port);
  EXPECT_EQ(added(), (Totals{0, 0, 0, 0}));
  engine->activate();
}

}  // namespace
