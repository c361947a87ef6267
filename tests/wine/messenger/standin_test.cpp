// The stand-in messenger seen from another process, the way the responder sees the chat
// client: window classes and titles, the document through WM_HTML_GETOBJECT, posted
// characters, clicks and close requests, and the transcript that records them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/messenger_client.h"

namespace {

std::string transcriptFile(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

std::string titleOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// Posted messages are handled in order, but a later sent message overtakes them: wait
// until the transcript shows the posted ones before asking the window anything.
void postText(HWND entry, const std::string& text) {
  for (unsigned char c : text) PostMessageA(entry, WM_CHAR, c, 0);
}

class StandInTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    messenger_ = new StandInMessenger;
    ASSERT_TRUE(messenger_->start(transcriptFile("qv_standin_test.txt")));
  }
  static void TearDownTestSuite() {
    messenger_->stop();
    delete messenger_;
    messenger_ = nullptr;
  }
  void TearDown() override { messenger_->closeAll(); }

  static StandInMessenger* messenger_;
};

StandInMessenger* StandInTest::messenger_ = nullptr;

const std::wstring EMPTY_TEXT = STANDIN_EMPTY_WINDOW_TEXT;

TEST_F(StandInTest, DocumentTextReadsAcrossProcesses) {
  struct Case {
    const char* name;
    std::uint32_t mode;
    const char* sender;
    std::wstring text;
    std::wstring expected;
  };
  const Case cases[] = {
      {"message", STANDIN_TEXT_MESSAGE, "jlee99", L"hello there",
       EMPTY_TEXT + L"\r\njlee99: hello there"},
      // Characters outside the ANSI code page must reach the reader as UTF-16.
      {"non-ANSI message", STANDIN_TEXT_MESSAGE, "ann", L"\x0416\x4E2D \x00E9",
       EMPTY_TEXT + L"\r\nann: \x0416\x4E2D \x00E9"},
      {"empty window", STANDIN_TEXT_EMPTY, "", L"ignored", EMPTY_TEXT},
      {"raw text", STANDIN_TEXT_RAW, "", L"ann: hi there\r\nann: second\r\n",
       L"ann: hi there\r\nann: second\r\n"},
      {"raw empty", STANDIN_TEXT_RAW, "", L"", L""},
  };
  for (const Case& c : cases) {
    StandInConversation conversation;
    conversation.title = "Jo Lee (jlee99) - chat";
    conversation.sender = c.sender;
    conversation.text = c.text;
    conversation.textMode = c.mode;
    HWND window = messenger_->openConversation(conversation);
    ASSERT_NE(window, nullptr) << c.name;
    std::wstring text;
    ASSERT_TRUE(readStandInDocumentText(window, text)) << c.name;
    EXPECT_EQ(text, c.expected) << c.name;
  }
  EXPECT_EQ(EMPTY_TEXT.size(), STANDIN_EMPTY_WINDOW_TEXT_LENGTH);
}

TEST_F(StandInTest, WindowVariantsHaveExactlyTheirChildren) {
  struct Case {
    const char* name;
    std::uint32_t options;
    bool container, view, entry, send;
  };
  const Case cases[] = {
      {"complete", 0, true, true, true, true},
      {"no container", STANDIN_NO_CONTAINER, false, false, true, true},
      {"no view", STANDIN_NO_VIEW, true, false, true, true},
      {"no entry", STANDIN_NO_ENTRY, true, true, false, true},
      {"no send", STANDIN_NO_SEND, true, true, true, false},
  };
  for (const Case& c : cases) {
    StandInConversation conversation;
    conversation.sender = "jlee99";
    conversation.text = L"hi";
    conversation.options = c.options;
    HWND window = messenger_->openConversation(conversation);
    ASSERT_NE(window, nullptr) << c.name;
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    EXPECT_STREQ(cls, "IMClass") << c.name;
    HWND container = FindWindowExA(window, nullptr, "YHTMLContainer", nullptr);
    HWND view = container ? FindWindowExA(container, nullptr, "Internet Explorer_Server", nullptr)
                          : nullptr;
    EXPECT_EQ(container != nullptr, c.container) << c.name;
    EXPECT_EQ(view != nullptr, c.view) << c.name;
    EXPECT_EQ(FindWindowExA(window, nullptr, "YIMInputWindow", nullptr) != nullptr, c.entry)
        << c.name;
    EXPECT_EQ(FindWindowExA(window, nullptr, "Button", "&Send") != nullptr, c.send) << c.name;
    std::wstring text;
    EXPECT_EQ(readStandInDocumentText(window, text), c.view) << c.name;
  }
}

TEST_F(StandInTest, TitlesAsGivenOrMarkedAsGroupChats) {
  struct Case {
    const char* name;
    std::string title;
    std::uint32_t options;
    bool exact;
    const char* expected;
  };
  const Case cases[] = {
      {"contact", "Jo Lee (jlee99) - chat", 0, false, "Jo Lee (jlee99) - chat"},
      {"made from sender", "", 0, false, "jlee99 - chat"},
      {"empty on purpose", "", 0, true, ""},
      {"conference", "jlee99, ann", STANDIN_CONFERENCE, false, "Conference: jlee99, ann"},
      {"voice chat", "jlee99", STANDIN_VOICE_CHAT, false, "Voice Chat: jlee99"},
      {"ANSI beyond ASCII", "Ren\xE9 (rene) - chat", 0, false, "Ren\xE9 (rene) - chat"},
  };
  for (const Case& c : cases) {
    StandInConversation conversation;
    conversation.title = c.title;
    conversation.titleExact = c.exact;
    conversation.sender = "jlee99";
    conversation.options = c.options;
    HWND window = messenger_->openConversation(conversation);
    ASSERT_NE(window, nullptr) << c.name;
    EXPECT_EQ(titleOf(window), c.expected) << c.name;
    EXPECT_EQ(messenger_->record(window).title, c.expected) << c.name;
  }
}

TEST_F(StandInTest, TypingClickingAndClosingArriveInOrderAndAreRecorded) {
  HWND window = messenger_->openMessage("Jo Lee (jlee99) - chat", "jlee99", L"hello");
  ASSERT_NE(window, nullptr);
  HWND entry = FindWindowExA(window, nullptr, "YIMInputWindow", nullptr);
  HWND send = FindWindowExA(window, nullptr, "Button", "&Send");
  ASSERT_TRUE(entry && send);

  // The responder's pattern: characters (one outside ASCII), a click, a close, all
  // posted without waiting.
  const std::string reply = " Hey jlee99,away caf\xE9 ";
  postText(entry, reply);
  ASSERT_TRUE(messenger_->waitForChars(window, reply.size(), 5000));
  EXPECT_EQ(standInEntryText(window), reply) << "the entry field shows what it received";

  PostMessageA(send, BM_CLICK, 0, 0);
  ASSERT_TRUE(messenger_->waitForClicks(window, 1, 5000));
  std::wstring text;
  ASSERT_TRUE(readStandInDocumentText(window, text));
  EXPECT_EQ(text, EMPTY_TEXT + L"\r\njlee99: hello\r\nme:  Hey jlee99,away caf\x00E9 ");
  EXPECT_EQ(standInEntryText(window), "") << "Send empties the entry field";

  postText(entry, "x");
  PostMessageA(send, BM_CLICK, 0, 0);
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(messenger_->waitForClose(window, 5000));
  EXPECT_FALSE(IsWindow(window)) << "a close request destroys the window";

  StandInWindowRecord r = messenger_->record(window);
  EXPECT_EQ(r.typed, reply + "x");
  ASSERT_EQ(r.sent.size(), 2u);
  EXPECT_EQ(r.sent[0], reply);
  EXPECT_EQ(r.sent[1], "x");
  EXPECT_TRUE(r.openedMs <= r.firstCharMs && r.firstCharMs <= r.clickMs[0] &&
              r.clickMs[1] <= r.closedMs);
}

// A Unicode window holds and records every script: its title, its document, and the
// UTF-16 units posted to its entry field, a character beyond U+FFFF as its two units.
TEST_F(StandInTest, UnicodeWindowTakesEveryScriptWhole) {
  const std::string title = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD (ivan77) - chat";  // Иван
  const std::string message = "\xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x98\x80";       // 你好 😀
  HWND window = messenger_->openUnicodeMessage(title, "ivan77", message);
  ASSERT_NE(window, nullptr);
  wchar_t shown[64] = {};
  GetWindowTextW(window, shown, 64);
  EXPECT_STREQ(shown, L"\x0418\x0432\x0430\x043D (ivan77) - chat");
  std::wstring text;
  ASSERT_TRUE(readStandInDocumentText(window, text));
  EXPECT_EQ(text, EMPTY_TEXT + L"\r\nivan77: \x4F60\x597D \xD83D\xDE00");

  HWND entry = FindWindowExA(window, nullptr, "YIMInputWindow", nullptr);
  const std::wstring reply = L"\x041F\x0440\x0438 \x03B1 \xD83D\xDE42";  // При α 🙂
  for (wchar_t unit : reply) PostMessageW(entry, WM_CHAR, unit, 0);
  PostMessageW(FindWindowExA(window, nullptr, "Button", "&Send"), BM_CLICK, 0, 0);
  ASSERT_TRUE(messenger_->waitForClicks(window, 1, 5000));
  StandInWindowRecord r = messenger_->record(window);
  const std::string replyUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8 \xCE\xB1 \xF0\x9F\x99\x82";
  EXPECT_TRUE(r.unicode);
  EXPECT_EQ(r.title, title);
  EXPECT_EQ(r.typedUnits, reply);
  EXPECT_EQ(r.typed, replyUtf8);
  ASSERT_EQ(r.sent.size(), 1u);
  EXPECT_EQ(r.sent[0], replyUtf8) << "the entry field held the pair as one character";
}

TEST_F(StandInTest, WindowsWithoutEntryOrButtonStillRecordWhatReachesThem) {
  StandInConversation conversation;
  conversation.sender = "jlee99";
  conversation.text = L"hi";
  conversation.options = STANDIN_NO_ENTRY;
  HWND window = messenger_->openConversation(conversation);
  ASSERT_NE(window, nullptr);
  PostMessageA(FindWindowExA(window, nullptr, "Button", "&Send"), BM_CLICK, 0, 0);
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(messenger_->waitForClose(window, 5000));
  StandInWindowRecord r = messenger_->record(window);
  ASSERT_EQ(r.sent.size(), 1u);
  EXPECT_EQ(r.sent[0], "") << "a click with no entry field sends nothing";
}

TEST_F(StandInTest, HungViewLetsTheReaderTimeOutAndThenRecovers) {
  StandInConversation conversation;
  conversation.sender = "jlee99";
  conversation.text = L"hi";
  conversation.options = STANDIN_HUNG_VIEW;
  conversation.hangMilliseconds = 2500;
  HWND window = messenger_->openConversation(conversation);
  ASSERT_NE(window, nullptr);
  std::wstring text;
  ULONGLONG begin = GetTickCount64();
  EXPECT_FALSE(readStandInDocumentText(window, text, 1000));
  ULONGLONG took = GetTickCount64() - begin;
  EXPECT_GE(took, 900u);
  EXPECT_LT(took, 2400u) << "the reader waits for its own time-out, not for the view";
  // Once the view wakes up the stand-in answers commands again.
  HWND next = messenger_->openMessage("", "ann", L"later");
  EXPECT_NE(next, nullptr);
}

TEST_F(StandInTest, NewWindowsComeOnTopUnlessAskedToStayBehind) {
  HWND first = messenger_->openMessage("", "ann", L"one");
  HWND second = messenger_->openMessage("", "bob", L"two");
  ASSERT_TRUE(first && second);
  EXPECT_EQ(FindWindowA("IMClass", nullptr), second);

  StandInConversation behind;
  behind.sender = "cy";
  behind.text = L"three";
  behind.options = STANDIN_BEHIND;
  HWND third = messenger_->openConversation(behind);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(FindWindowA("IMClass", nullptr), second);

  ASSERT_TRUE(messenger_->raise(first));
  EXPECT_EQ(FindWindowA("IMClass", nullptr), first);
}

TEST_F(StandInTest, AContactWritesAgainIntoAnOpenWindow) {
  HWND window = messenger_->openMessage("", "ann", L"one");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(messenger_->appendMessage(window, "ann", L"two"));
  std::wstring text;
  ASSERT_TRUE(readStandInDocumentText(window, text));
  EXPECT_EQ(text, EMPTY_TEXT + L"\r\nann: one\r\nann: two");
  EXPECT_FALSE(messenger_->appendMessage(messenger_->controlWindow(), "ann", L"x"))
      << "only conversation windows take messages";
}

TEST_F(StandInTest, MalformedCommandsAreRefused) {
  StandInOpenHeader good;
  good.titleLength = 2;
  std::vector<char> payload(sizeof good + 4, 'a');
  struct Case {
    const char* name;
    ULONG_PTR command;
    StandInOpenHeader head;
    size_t size;
  };
  StandInOpenHeader wrongVersion = good, tooLong = good, wraps = good, badMode = good;
  wrongVersion.version = 99;
  tooLong.titleLength = 3;
  wraps.titleLength = 0x80000001u;
  wraps.textLength = 0x7fffffffu;
  badMode.textMode = 7;
  const Case cases[] = {
      {"short head", STANDIN_CMD_OPEN, good, sizeof good - 1},
      {"wrong version", STANDIN_CMD_OPEN, wrongVersion, payload.size()},
      {"lengths beyond the payload", STANDIN_CMD_OPEN, tooLong, payload.size()},
      {"lengths that wrap around", STANDIN_CMD_OPEN, wraps, payload.size()},
      {"unknown text mode", STANDIN_CMD_OPEN, badMode, payload.size()},
      {"unknown command", 77, good, payload.size()},
      {"raise of no window", STANDIN_CMD_RAISE, good, payload.size()},
  };
  for (const Case& c : cases) {
    std::memcpy(payload.data(), &c.head, sizeof c.head);
    COPYDATASTRUCT cds{c.command, static_cast<DWORD>(c.size), payload.data()};
    LRESULT answer =
        SendMessageA(messenger_->controlWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
    EXPECT_EQ(answer, 0) << c.name;
  }
  EXPECT_EQ(FindWindowA("IMClass", nullptr), nullptr) << "no window was opened";
  EXPECT_TRUE(messenger_->running());
}

// A person at the control window: the two fields and the two buttons.
TEST_F(StandInTest, ControlWindowOpensConversationsForAPerson) {
  HWND control = messenger_->controlWindow();
  HWND contact = GetDlgItem(control, STANDIN_CONTACT_FIELD_ID);
  HWND message = GetDlgItem(control, STANDIN_MESSAGE_FIELD_ID);
  HWND receive = FindWindowExA(control, nullptr, "Button", "&Receive message");
  HWND start = FindWindowExA(control, nullptr, "Button", "&New conversation");
  ASSERT_TRUE(contact && message && receive && start);
  struct Case {
    const char* name;
    const char* contact;
    HWND button;
    const char* title;  // null: no window opens
    std::wstring text;
  };
  const Case cases[] = {
      {"message", "jlee99", receive, "jlee99 - chat", EMPTY_TEXT + L"\r\njlee99: see you"},
      {"message without contact", "", receive, nullptr, L""},
      {"conversation to a contact", "ann", start, "ann - chat", EMPTY_TEXT},
      {"conversation to nobody yet", "", start, "Instant Message", EMPTY_TEXT},
  };
  for (const Case& c : cases) {
    SendMessageA(contact, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.contact));
    SendMessageA(message, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("see you"));
    SendMessageA(c.button, BM_CLICK, 0, 0);
    HWND window = FindWindowA("IMClass", nullptr);
    if (!c.title) {
      EXPECT_EQ(window, nullptr) << c.name;
      continue;
    }
    ASSERT_NE(window, nullptr) << c.name;
    EXPECT_EQ(titleOf(window), c.title) << c.name;
    std::wstring text;
    ASSERT_TRUE(readStandInDocumentText(window, text)) << c.name;
    EXPECT_EQ(text, c.text) << c.name;
    messenger_->closeAll();
  }
}

TEST(StandInTranscript, LinesParseOrAreRejected) {
  struct Case {
    const char* line;
    bool ok;
    const char* kind;
    std::uintptr_t window;
    std::string text;
  };
  const Case cases[] = {
      {"12 open 1a2b 4a6f", true, "open", 0x1a2b, "Jo"},
      {"12 open 1a2b -", true, "open", 0x1a2b, ""},
      {"13 char 1a2b 233", true, "char", 0x1a2b, "\xE9"},
      {"14 click 1a2b 2068", true, "click", 0x1a2b, " h"},
      {"15 close 1a2b", true, "close", 0x1a2b, ""},
      {"15 click 1a2b 2", false, "", 0, ""},
      {"15 click 1a2b zz", false, "", 0, ""},
      {"16 resize 1a2b", false, "", 0, ""},
      {"partial", false, "", 0, ""},
  };
  for (const Case& c : cases) {
    StandInEvent e;
    EXPECT_EQ(parseStandInEvent(c.line, e), c.ok) << c.line;
    if (!c.ok) continue;
    EXPECT_EQ(e.kind, c.kind) << c.line;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(e.window), c.window) << c.line;
    EXPECT_EQ(e.text, c.text) << c.line;
  }
}

TEST(StandInTranscript, RecordsFollowReusedHandlesToTheLatestWindow) {
  HWND w = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x40));
  std::vector<StandInEvent> events(5);
  events[0] = {1, "open", w, "a", 0};
  events[1] = {2, "close", w, "", 0};
  events[2] = {3, "open", w, "b", 0};
  events[3] = {4, "char", w, "x", 'x'};
  events[4] = {5, "click", w, "x", 0};
  std::vector<StandInWindowRecord> records = gatherStandInRecords(events);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[0].closed);
  EXPECT_EQ(records[0].typed, "");
  EXPECT_EQ(records[1].title, "b");
  EXPECT_EQ(records[1].typed, "x");
  EXPECT_FALSE(records[1].closed);
  EXPECT_EQ(records[1].firstCharMs, 4u);
}

}  // namespace
