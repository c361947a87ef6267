// The per-contact reply counter: the first message of a contact is always answered, then
// every (N + 1)-th one.
#include "responder/reply_policy.h"

#include "base/letter_case.h"

bool ReplyPolicy::ShouldReply(const std::string& senderKey) {
  try {
    const int32_t interval = ReplyInterval.load();
    for (SenderRecord& record : records_) {
      if (!EqualNoCase(record.key, senderKey)) continue;
      if (record.counter < interval) {
        ++record.counter;
        return false;
      }
      record.counter = 0;
      return true;
    }
    records_.push_back(SenderRecord{senderKey, 1});
    return true;
  } catch (...) {
    // Out of memory or worse: the message stays unanswered, but the pass still closes,
    // counts and logs it.
    if (failureBox) failureBox();
    return false;
  }
}

void ReplyPolicy::ResetPolicy() {
  records_.clear();
  echoes.reset();
}
