// When Quorvane activates by itself because the user is away, and when it stops because
// they are back: decided from the moments the main window's timer, the session's lock
// changes and the machine's sleep show it.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "config/away_settings.h"
#include "responder/activation_tally.h"

// What the watch is shown at one moment.
struct AwayMoment {
  uint64_t nowMs = 0;       // a steady clock
  uint64_t idleMs = 0;      // since the user's last keyboard or mouse input
  uint32_t inputStamp = 0;  // changes with every keyboard or mouse input of the user's own
  bool locked = false;      // the session is locked
  bool modalOpen = false;   // one of Quorvane's own modal dialogs is open
  bool active = false;      // autoresponse is active
  bool replyEmpty = false;  // the reply box holds no reply (looked at while inactive)
};

enum class AwayStep {
  None,
  Activate,       // as the Activate button does
  SayReplyEmpty,  // away, but with nothing to reply: the status line says so, once
  WelcomeBack,    // as the DeActivate button does, with the welcome note
};

// When the machine slept while autoresponse was active: the first sleep, the last waking
// (0 when the system never said it woke) and how often it slept.
struct SleepSpan {
  std::time_t slept = 0;
  std::time_t woke = 0;
  int times = 0;
};

class AwayWatch {
 public:
  // Takes new settings, at start-up and whenever they change.
  void configure(const AwaySettings& settings, uint64_t nowMs);
  bool watching() const { return settings_.watched(); }

  // What to do now. An activation stops by itself only once the user has been seen away
  // while it was active, which every activation by the watch has; then the first input
  // or the unlock is their return.
  AwayStep next(const AwayMoment& moment);
  // Autoresponse was activated, by the watch or by the user, or it was stopped.
  void activated(bool byItself, uint64_t nowMs);
  void deactivated(uint64_t nowMs);
  // The activation the watch asked for did not start, or the guard of one that was on
  // ended by itself: the watch tries again only once the user has been back and away
  // again. A guard that ends after a deactivation is no failure. guardEnded is true when
  // the activation that ended by itself was the watch's own.
  void activationFailed();
  bool guardEnded();

  // The machine goes to sleep, and wakes. Time asleep is no idle time: after waking the
  // watch waits its minutes afresh, and a lock that was there when it woke is no absence.
  void suspended(std::time_t wallNow);
  void resumed(uint64_t nowMs, std::time_t wallNow);
  const SleepSpan& sleepWhileOn() const { return sleep_; }

 private:
  bool away(const AwayMoment& moment) const;
  void wokeAt(uint64_t nowMs);

  AwaySettings settings_;
  // The last moment the user was plainly here even without input reaching the system: the
  // watch began, they activated or deactivated (perhaps by a program posting clicks), or
  // the machine woke. The idle time counts from it at the earliest.
  uint64_t presentMs_ = 0;
  uint64_t lastLookMs_ = 0;
  bool on_ = false;        // activated, and not yet deactivated
  bool byItself_ = false;  // by the watch
  bool seenAway_ = false;
  uint32_t awayStamp_ = 0;        // the input stamp when the user was seen away
  bool lockedSinceAway_ = false;  // input at the lock screen is no return, the unlock is
  bool saidReplyEmpty_ = false;
  bool heldBack_ = false;     // a failure waits for the user's return
  bool lockIgnored_ = false;  // the lock found on waking, until it is gone
  bool asleep_ = false;
  SleepSpan sleep_;
};

// The note that begins the deactivation when the user is back, with when the machine slept
// while on guard.
std::string WelcomeBackText(const ActivationSummary& summary, const SleepSpan& sleep = {});

// What the status line says when the user is away but the reply box is empty.
extern const char* const AWAY_REPLY_EMPTY;
// What the status line and a popup say when an activation by itself could not guard.
extern const char* const AWAY_GUARD_FAILED;
