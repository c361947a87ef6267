// Counts per activation; contacts are told apart as the reply policy does, by their key
// without regard to letter case.
#include "responder/activation_tally.h"

#include <algorithm>

#include "base/letter_case.h"

void ActivationTally::begin(uint64_t activation) {
  std::lock_guard<std::mutex> lock(mutex_);
  activation_ = activation;
  counts_ = ActivationSummary{};
  contacts_.clear();
}

void ActivationTally::add(uint64_t activation, const std::string& senderKey, bool replied) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (activation != activation_) return;
  ++counts_.received;
  counts_.replied += replied ? 1 : 0;
  const bool known = std::any_of(contacts_.begin(), contacts_.end(),
                                 [&](const std::string& k) { return EqualNoCase(k, senderKey); });
  if (!known) contacts_.push_back(senderKey);
  counts_.contacts = static_cast<int>(contacts_.size());
}

ActivationSummary ActivationTally::summary(uint64_t activation) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return activation == activation_ ? counts_ : ActivationSummary{};
}
