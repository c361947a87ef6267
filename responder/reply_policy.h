// Decides which of a contact's messages are answered, from a per-contact counter and
// the reply interval N.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "responder/echo_guard.h"

struct SenderRecord {
  std::string key;
  int32_t counter = 1;
};

class ReplyPolicy {
 public:
  // Written by the interface thread while autoresponse is inactive, read by the guard.
  std::atomic<int32_t> ReplyInterval{0};

  // True if this message is answered; updates the contact's record.
  bool ShouldReply(const std::string& senderKey);
  // Every contact starts again, the echo rule's memory of them too.
  void ResetPolicy();
  const std::vector<SenderRecord>& records() const { return records_; }

  // Shown when a record cannot be looked up or made; Windows shows a message box.
  void (*failureBox)() = nullptr;
  // Asked before the counter: a contact whose replies look automatic gets no answer.
  EchoGuard echoes;

 private:
  std::vector<SenderRecord> records_;
};
