// The message log window's view text for one sender.
#include "msglog/message_view.h"

#include <gtest/gtest.h>

namespace {

const std::string RULE = " [" + std::string(58, '-') + "]";

TEST(MessageView, RecordsFollowEachOtherWithNothingBetween) {
  std::vector<IncomingMessage> records{
      {"hello there", "Mon Dec 07 06:01:02 2026\n", "alice,>"},
      {"", "Mon Dec 07 06:01:09 2026\n", "alice,>"},
  };
  EXPECT_EQ(MessageViewText(records), RULE + "Mon Dec 07 06:01:02 2026\n (msg) :hello there" +
                                          RULE + "Mon Dec 07 06:01:09 2026\n (msg) :");
  EXPECT_EQ(MessageViewText({}), "");
}

TEST(MessageView, EditBoxGetsLineBreaksItCanShow) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"a\nb", "a\r\nb"},
      {"a\r\nb", "a\r\nb"},
      {"\n", "\r\n"},
      {"a\n\nb\n", "a\r\n\r\nb\r\n"},
      {"no breaks", "no breaks"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ForEditBox(c.in), c.out) << c.in;
}

}  // namespace
