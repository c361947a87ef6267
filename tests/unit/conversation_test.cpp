// Reading a conversation window: titles, sender keys, the received message and the
// windows left alone.
#include "responder/conversation.h"

#include <gtest/gtest.h>

namespace {

std::string repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(ConversationTitle, SenderIdAndKey) {
  struct Case {
    std::string title;
    bool ok;
    const char* key;
  } cases[] = {
      {"Jo Lee (jlee99) - chat", true, "jlee99,>"},
      {"jlee99 - chat", true, "jlee99,>"},
      {"jlee99", true, "jlee99,>"},
      {"x (abc", true, "abc,>"},
      {"-abc", true, ",>"},
      {" jlee99", true, ",>"},
      {"Jo (a)(b)", true, "a,>"},
      {"ann-bee cee", true, "ann,>"},
      {"()", true, ",>"},
      {"", false, ""},
      // The ID is read from the first 74 characters only.
      {std::string(70, 'x') + " (abcdef)", true, "ab,>"},
      {std::string(80, 'y'), true, nullptr},
      // A line break ends the ID: typed, it would send the greeting early, and logged, it
      // would break the record's lines (input found by the conversation fuzz target).
      {"jlee98\xC7\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFFhere\n9: are you there?\n", true,
       "jlee98\xC7\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFFhere,>"},
      {"Jo (a\r\nb)", true, "a,>"},
      {"\rjo", true, ",>"},
      // A display name in any script around the ID; the 74 are characters, not bytes.
      {"\u0418\u0432\u0430\u043D \u041F\u0435\u0442\u0440\u043E\u0432 (ivan77) - chat", true,
       "ivan77,>"},
      {repeat("\u044F", 70) + " (abcdef)", true, "ab,>"},
      {repeat("\u044F", 72) + "(\U0001F600\U0001F600", true, "\U0001F600,>"},
  };
  for (const Case& c : cases) {
    std::string id = "stale";
    EXPECT_EQ(ParseSenderId(c.title, id), c.ok) << c.title;
    if (!c.ok) continue;
    const std::string expected = c.key ? c.key : std::string(74, 'y') + ",>";
    EXPECT_EQ(MakeSenderKey(id), expected) << c.title;
  }
}

TEST(ConversationTitle, GroupChatsAndPlaceholders) {
  struct Case {
    std::string title;
    bool groupChat;
  } titles[] = {
      {"Conference: friends", true},
      {"Voice Chat: ann", true},
      {"my Conference: x", true},
      {"conference: lower case", false},
      {"Jo Lee (jlee99)", false},
      {std::string(18, '.') + "Voice Chat:", true},
      {std::string(19, '.') + "Voice Chat:", false},
      {std::string(19, '.') + "Conference:" + std::string(10, '.'), false},
      {repeat("\u00E9", 18) + "Voice Chat:", true},
      {repeat("\u00E9", 19) + "Voice Chat:", false},
  };
  for (const Case& c : titles) EXPECT_EQ(IsGroupChatTitle(c.title), c.groupChat) << c.title;

  struct Key {
    const char* key;
    bool placeholder;
  } keys[] = {{"Instant,>", true}, {"xF3y,>", true},    {"instant,>", false},
              {"f3,>", false},     {"jlee99,>", false}, {"Re Instant Msg,>", true}};
  for (const Key& k : keys) EXPECT_EQ(IsPlaceholderSender(k.key), k.placeholder) << k.key;
}

TEST(ConversationText, MessageExtraction) {
  struct Case {
    const char* name;
    std::string text;
    bool incoming;
    std::string message;
  } cases[] = {
      {"first line wins", "ann: hi there\r\nann: second\r\n", true, " hi there\r"},
      {"no line feed", "ann: a: b", true, " a: b"},
      {"colon last", "ann:", true, ""},
      {"no colon", "hello\nthere\n", false, ""},
      {"empty", "", false, ""},
      {"empty window length with colon", "ann: " + std::string(29, 'x'), false, ""},
      {"length 33", "ann: " + std::string(28, 'x'), true, " " + std::string(28, 'x')},
      {"length 35", "ann: " + std::string(30, 'x'), true, " " + std::string(30, 'x')},
      {"NUL is a character", std::string("a:b\0c\nd", 7), true, std::string("b\0c", 3)},
      {"1023 characters", "a:" + std::string(1021, 'm'), true, std::string(1021, 'm')},
      {"longer text cut at 1023", "a:" + std::string(5000, 'm'), true, std::string(1021, 'm')},
      {"colon beyond 1023", std::string(1023, 'x') + ": late", false, ""},
      // Counted in characters, and a character is never cut in two.
      {"empty window length in characters", "ann: " + repeat("\u00E9", 29), false, ""},
      {"1023 two-byte characters", "a:" + repeat("\u044F", 1021), true, repeat("\u044F", 1021)},
      {"cut at 1023 characters", "a:" + repeat("\u4F60", 1100), true, repeat("\u4F60", 1021)},
      {"emoji at the limit", "a:" + std::string(1020, 'm') + "\U0001F600\U0001F600", true,
       std::string(1020, 'm') + "\U0001F600"},
  };
  MessageExtractor extractor;
  for (const Case& c : cases) {
    std::string message = "stale";
    EXPECT_EQ(extractor.ExtractMessage(':', c.text, message), c.incoming) << c.name;
    EXPECT_EQ(message, c.message) << c.name;
  }
}

TEST(IgnoredWindows, SnapshotAddAndContains) {
  IgnoredWindowList list;
  list.Snapshot(0, {11, 12});
  EXPECT_EQ(list.windows(), (std::vector<WindowId>{0}));
  EXPECT_FALSE(list.Contains(11));

  list.Snapshot(12, {11, 12, 13});
  EXPECT_EQ(list.windows(), (std::vector<WindowId>{12, 11, 12, 13}));
  EXPECT_TRUE(list.Contains(13));
  EXPECT_FALSE(list.Contains(14));
  list.Add(14);
  list.Add(14);
  EXPECT_TRUE(list.Contains(14));
  EXPECT_EQ(list.windows().size(), 6u);
  list.Clear();
  EXPECT_FALSE(list.Contains(12));
}

}  // namespace
