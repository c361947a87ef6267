// When Quorvane activates by itself because the user is away, and when it stops because
// they are back: decided from the moments the main window's timer and the session's lock
// changes show it.
#pragma once

#include <cstdint>
#include <string>

#include "config/away_settings.h"
#include "responder/activation_tally.h"

// What the watch is shown at one moment.
struct AwayMoment {
  uint64_t nowMs = 0;       // a steady clock
  uint64_t idleMs = 0;      // since the last keyboard or mouse input
  uint32_t inputStamp = 0;  // changes with every keyboard or mouse input
  bool inputIsOwn = false;  // the last input came from Quorvane's own click on Send
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

 private:
  bool away(const AwayMoment& moment) const;

  AwaySettings settings_;
  // The last moment the user was plainly here even without input reaching the system: the
  // watch began, or they activated or deactivated (perhaps by a program posting clicks).
  // The idle time counts from it at the earliest.
  uint64_t presentMs_ = 0;
  bool seenAway_ = false;
  uint32_t awayStamp_ = 0;        // the input stamp when the user was seen away
  bool lockedSinceAway_ = false;  // input at the lock screen is no return, the unlock is
  bool saidReplyEmpty_ = false;
};

// The note that begins the deactivation when the user is back.
std::string WelcomeBackText(const ActivationSummary& summary);

// What the status line says when the user is away but the reply box is empty.
extern const char* const AWAY_REPLY_EMPTY;
