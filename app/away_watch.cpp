// The away watch's decisions, over plain values the main window gathers.
#include "app/away_watch.h"

#include <algorithm>

#include "app/user_input.h"
#include "base/time_text.h"

const char* const AWAY_REPLY_EMPTY =
    "Autoresponse did not activate by itself: the reply box is empty...";
const char* const AWAY_GUARD_FAILED =
    "Autoresponse could not guard by itself; it tries again once you have been back and "
    "away again...";

namespace {

constexpr uint64_t MS_PER_MINUTE = 60000;
// The watch looks every second; a look this late means the machine slept (or stood still)
// without the system saying so.
constexpr uint64_t LOOK_GAP_MS = 2 * MS_PER_MINUTE;

std::string counted(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "13:05", or "Tue 13:05" when `other` falls on another day.
std::string clockText(std::time_t t, std::time_t other) {
  const std::string text = CtimeText(t);  // "Www Mmm DD hh:mm:ss YYYY\n"
  const bool sameDay = CtimeText(other).compare(0, 10, text, 0, 10) == 0 &&
                       CtimeText(other).compare(20, 4, text, 20, 4) == 0;
  return (sameDay ? "" : text.substr(0, 4)) + text.substr(11, 5);
}

std::string sleepText(const SleepSpan& sleep) {
  if (sleep.times == 0) return "";
  if (sleep.woke == 0) return " The computer slept at " + clockText(sleep.slept, sleep.slept) + ".";
  const std::string from = clockText(sleep.slept, sleep.woke);
  const std::string to = clockText(sleep.woke, sleep.slept);
  if (sleep.times == 1) return " The computer slept from " + from + " to " + to + ".";
  return " The computer slept " + std::to_string(sleep.times) + " times between " + from + " and " +
         to + ".";
}

}  // namespace

void AwayWatch::configure(const AwaySettings& settings, uint64_t nowMs) {
  settings_ = settings;
  presentMs_ = nowMs;
}

bool AwayWatch::away(const AwayMoment& moment) const {
  const uint64_t quiet = std::min(moment.idleMs, MsSince(moment.nowMs, presentMs_));
  return (settings_.idleMinutes > 0 &&
          quiet >= static_cast<uint64_t>(settings_.idleMinutes) * MS_PER_MINUTE) ||
         (settings_.whenLocked && moment.locked && !lockIgnored_);
}

AwayStep AwayWatch::next(const AwayMoment& moment) {
  if (lastLookMs_ != 0 && MsSince(moment.nowMs, lastLookMs_) > LOOK_GAP_MS) wokeAt(moment.nowMs);
  lastLookMs_ = moment.nowMs;
  if (!moment.locked) lockIgnored_ = false;
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
    const bool back = lockedSinceAway_ || moment.inputStamp != awayStamp_;
    return back ? AwayStep::WelcomeBack : AwayStep::None;
  }
  if (!isAway) {
    saidReplyEmpty_ = false;
    heldBack_ = false;
    return AwayStep::None;
  }
  if (heldBack_) return AwayStep::None;
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
  if (!byItself) presentMs_ = nowMs;
  on_ = true;
  byItself_ = byItself;
  seenAway_ = byItself;
  sleep_ = SleepSpan{};
}

void AwayWatch::deactivated(uint64_t nowMs) {
  presentMs_ = nowMs;
  on_ = false;
  seenAway_ = false;
}

void AwayWatch::activationFailed() {
  heldBack_ = true;
}

bool AwayWatch::guardEnded() {
  if (!on_) return false;
  on_ = false;
  seenAway_ = false;
  heldBack_ = true;
  return byItself_;
}

void AwayWatch::suspended(std::time_t wallNow) {
  if (on_ && !asleep_ && sleep_.times == 0) sleep_.slept = wallNow;
  if (on_ && !asleep_) ++sleep_.times;
  asleep_ = true;
}

void AwayWatch::resumed(uint64_t nowMs, std::time_t wallNow) {
  if (on_ && sleep_.times > 0) sleep_.woke = wallNow;
  wokeAt(nowMs);
}

void AwayWatch::wokeAt(uint64_t nowMs) {
  presentMs_ = nowMs;
  lockIgnored_ = true;
  asleep_ = false;
}

std::string WelcomeBackText(const ActivationSummary& summary, const SleepSpan& sleep) {
  if (summary.received == 0) return "Welcome back! No messages came in." + sleepText(sleep);
  return "Welcome back! " + counted(summary.received, "message", "messages") + " from " +
         counted(summary.contacts, "contact", "contacts") + " came in, " +
         std::to_string(summary.replied) + " answered." + sleepText(sleep);
}
