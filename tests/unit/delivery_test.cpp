// What reaches the chat client's entry field, Send button and window when a reply is
// typed, and which failures still count as a sent reply.
#include "responder/delivery.h"

#include <gtest/gtest.h>

#include "fake_im_windows.h"

namespace {

using Kind = FakeImWindows::EventKind;

TEST(ReplyTyping, TypesGreetingIdAndReplyUpToTheEndMark) {
  struct Case {
    const char* name;
    std::string senderKey, reply, typed;
  } cases[] = {
      {"default reply keeps its blank", "jlee99,>", "Back soon > ", " Hey jlee99,Back soon "},
      {"group message has no blank", "jlee99,>", "Team reply>", " Hey jlee99,Team reply"},
      {"reply starting with end mark", "jlee99,>", ">rest", " Hey jlee99,"},
      {"end mark inside reply cuts it", "jlee99,>", "a>b > ", " Hey jlee99,a"},
      {"empty ID types greeting and comma", ",>", "r > ", " Hey ,r "},
      {"empty default text", "bob,>", " > ", " Hey bob, "},
      {"reply without end mark is typed whole", "bob,>", "all of it", " Hey bob,all of it"},
      {"any script", "ren\u00E9,>", "\u00E0 bient\u00F4t, \u0438\u0434\u0443 \u4F60\u597D > ",
       " Hey ren\u00E9,\u00E0 bient\u00F4t, \u0438\u0434\u0443 \u4F60\u597D "},
  };
  for (const Case& c : cases) {
    FakeImWindows fake;
    WindowId w = fake.openConversation({});
    EXPECT_TRUE(TypeReply(fake, w, c.senderKey, c.reply)) << c.name;
    EXPECT_EQ(fake.typedInto(w), c.typed) << c.name;
  }
  // A character beyond the first 65536 goes as its two UTF-16 units, in order.
  FakeImWindows fake;
  WindowId w = fake.openConversation({});
  EXPECT_TRUE(TypeFragment(fake, FakeImWindows::entryOf(w), "5 \U0001F642>"));
  EXPECT_EQ(fake.unitsTypedInto(w), std::u16string(u"5 \U0001F642"));
  EXPECT_EQ(fake.count(Kind::Char, FakeImWindows::entryOf(w)), 4);
}

TEST(ReplyTyping, OnlyAFailureInTheReplyItselfFailsTheTyping) {
  // " Hey " is posts 1-5, "bob," posts 6-9, "hi" posts 10-11.
  struct Case {
    const char* name;
    std::set<int> failing;
    bool result;
    std::string typed;
  } cases[] = {
      {"lost greeting character stops the greeting", {2}, true, " bob,hi"},
      {"lost ID character stops the ID", {7}, true, " Hey bhi"},
      {"lost reply character stops typing", {10}, false, " Hey bob,"},
      {"lost last reply character", {11}, false, " Hey bob,h"},
  };
  for (const Case& c : cases) {
    FakeImWindows fake;
    WindowId w = fake.openConversation({});
    fake.failCharPosts(c.failing);
    EXPECT_EQ(TypeReply(fake, w, "bob,>", "hi>"), c.result) << c.name;
    EXPECT_EQ(fake.typedInto(w), c.typed) << c.name;
  }
}

TEST(ReplyTyping, MissingWindowsTypeNothing) {
  FakeImWindows fake;
  FakeImWindows::Conversation noEntry;
  noEntry.hasEntryField = false;
  WindowId w = fake.openConversation(noEntry);
  EXPECT_FALSE(TypeReply(fake, w, "bob,>", "hi >"));
  // A null conversation must not make the entry field search run over the desktop.
  EXPECT_FALSE(TypeReply(fake, 0, "bob,>", "hi >"));
  EXPECT_FALSE(TypeFragment(fake, 0, "hi >"));
  EXPECT_TRUE(fake.events().empty());
}

TEST(ReplyDelivery, SendAndCloseArePostedToTheRightWindowsInOrder) {
  FakeImWindows fake;
  WindowId w = fake.openConversation({});
  ASSERT_TRUE(TypeReply(fake, w, "a,>", "b>"));
  EXPECT_TRUE(PressSend(fake, w));
  EXPECT_TRUE(CloseConversation(fake, w));
  // Greeting, sender key and reply each take the focus and then their characters.
  EXPECT_EQ(fake.eventLog(),
            "focus, type \" Hey \", focus, type \"a,\", focus, type \"b\", click, close");
  auto events = fake.events();
  EXPECT_EQ(events[events.size() - 2].window, FakeImWindows::buttonOf(w));
  EXPECT_EQ(events.back().window, w);

  FakeImWindows::Conversation noButton;
  noButton.hasSendButton = false;
  WindowId v = fake.openConversation(noButton);
  EXPECT_FALSE(PressSend(fake, v));
  EXPECT_FALSE(PressSend(fake, 0));
  EXPECT_FALSE(CloseConversation(fake, 0));
  EXPECT_EQ(fake.count(Kind::Click, FakeImWindows::buttonOf(v)), 0);
}

}  // namespace
