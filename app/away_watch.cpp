// The away watch's decisions, over plain values the main window gathers.
#include "app/away_watch.h"

#include <algorithm>

const char* const AWAY_REPLY_EMPTY =
    "Autoresponse did not activate by itself: the reply box is empty...";

namespace {

constexpr uint64_t MS_PER_MINUTE = 60000;

std::string counted(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

void AwayWatch::configure(const AwaySettings& settings, uint64_t nowMs) {
  settings_ = settings;
  presentMs_ = nowMs;
}

bool AwayWatch::away(const AwayMoment& moment) const {
  const uint64_t sincePresent = moment.nowMs > presentMs_ ? moment.nowMs - presentMs_ : 0;
  const uint64_t quiet = std::min(moment.idleMs, sincePresent);
  return (settings_.idleMinutes > 0 &&
          quiet >= static_cast<uint64_t>(settings_.idleMinutes) * MS_PER_MINUTE) ||
         (settings_.whenLocked && moment.locked);
}

AwayStep AwayWatch::next(const AwayMoment& moment) {
  if (!watching()) return AwayStep::None;
  const bool isAway = away(moment);
  if (moment.active) {
    if (!seenAway_ && isAway) {
      seenAway_ = true;
      awayStamp_ = moment.inputStamp;
      lockedSinceAway_ = moment.locked;
    }
    if (!seenAway_) return AwayStep::None;
    if (moment.locked) {
      lockedSinceAway_ = true;
      return AwayStep::None;
    }
    // Some systems (Wine) count a click Quorvane posts to the chat client as input.
    if (moment.inputIsOwn) awayStamp_ = moment.inputStamp;
    const bool back = lockedSinceAway_ || moment.inputStamp != awayStamp_;
    return back ? AwayStep::WelcomeBack : AwayStep::None;
  }
  if (!isAway) {
    saidReplyEmpty_ = false;
    return AwayStep::None;
  }
  // A dialog of Quorvane's own is open: the user may be in the middle of it.
  if (moment.modalOpen) return AwayStep::None;
  if (moment.replyEmpty) {
    if (saidReplyEmpty_) return AwayStep::None;
    saidReplyEmpty_ = true;
    return AwayStep::SayReplyEmpty;
  }
  awayStamp_ = moment.inputStamp;
  lockedSinceAway_ = moment.locked;
  return AwayStep::Activate;
}

void AwayWatch::activated(bool byItself, uint64_t nowMs) {
  presentMs_ = nowMs;
  seenAway_ = byItself;
}

void AwayWatch::deactivated(uint64_t nowMs) {
  presentMs_ = nowMs;
  seenAway_ = false;
}

std::string WelcomeBackText(const ActivationSummary& summary) {
  if (summary.received == 0) return "Welcome back! No messages came in.";
  return "Welcome back! " + counted(summary.received, "message", "messages") + " from " +
         counted(summary.contacts, "contact", "contacts") + " came in, " +
         std::to_string(summary.replied) + " answered.";
}
