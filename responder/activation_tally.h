// What one activation has done, for the note that welcomes the user back: the messages read
// and answered, and from how many contacts.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct ActivationSummary {
  int received = 0;
  int replied = 0;
  int contacts = 0;
};

// Written by the guard thread of an activation, read by the interface thread.
class ActivationTally {
 public:
  // The activation's thread starts counting; what an earlier one counted is dropped.
  void begin(uint64_t activation);
  // A message read and closed by the activation's thread, and whether it was answered.
  void add(uint64_t activation, const std::string& senderKey, bool replied);
  // What the activation has done so far; nothing when its thread has not begun counting.
  ActivationSummary summary(uint64_t activation) const;

 private:
  mutable std::mutex mutex_;
  uint64_t activation_ = 0;
  ActivationSummary counts_;
  std::vector<std::string> contacts_;
};
