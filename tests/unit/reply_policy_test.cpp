// Which of a contact's messages are answered for each reply interval.
#include "responder/reply_policy.h"

#include <gtest/gtest.h>

namespace {

// One character per message of one contact: 'R' answered, '.' not.
std::string answers(ReplyPolicy& policy, const std::string& key, int count) {
  std::string pattern;
  for (int i = 0; i < count; ++i) pattern += policy.ShouldReply(key) ? 'R' : '.';
  return pattern;
}

TEST(ReplyPolicy, IntervalSequences) {
  struct Case {
    int32_t interval;
    const char* pattern;  // messages 1 to 16
  } cases[] = {
      {0, "RRRRRRRRRRRRRRRR"},  {1, "RR.R.R.R.R.R.R.R"},   {2, "R.R..R..R..R..R."},
      {3, "R..R...R...R...R"},  {4, "R...R....R....R."},   {-1, "RRRRRRRRRRRRRRRR"},
      {-7, "RRRRRRRRRRRRRRRR"}, {100, "R..............."},
  };
  for (const Case& c : cases) {
    ReplyPolicy policy;
    policy.ReplyInterval = c.interval;
    EXPECT_EQ(answers(policy, "ann,>", 16), c.pattern) << "N = " << c.interval;
  }
}

TEST(ReplyPolicy, ContactsKeepTheirOwnCounters) {
  ReplyPolicy policy;
  policy.ReplyInterval = 2;
  std::string ann, bob;
  for (int i = 0; i < 6; ++i) {
    ann += policy.ShouldReply("ann,>") ? 'R' : '.';
    bob += policy.ShouldReply("bob,>") ? 'R' : '.';
  }
  EXPECT_EQ(ann, "R.R..R");
  EXPECT_EQ(bob, "R.R..R");

  // Letter case does not make a new contact; the first spelling stays the record's key.
  EXPECT_EQ(answers(policy, "ANN,>", 1), ".");
  ASSERT_EQ(policy.records().size(), 2u);
  EXPECT_EQ(policy.records()[0].key, "ann,>");
  EXPECT_EQ(policy.records()[0].counter, 1);
}

TEST(ReplyPolicy, ResetStartsEveryContactAgain) {
  ReplyPolicy policy;
  policy.ReplyInterval = 4;
  EXPECT_EQ(answers(policy, "ann,>", 3), "R..");
  policy.ResetPolicy();
  EXPECT_TRUE(policy.records().empty());
  EXPECT_EQ(answers(policy, "ann,>", 1), "R");
}

}  // namespace
