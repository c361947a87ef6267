// Keeps Quorvane out of a reply loop with another auto-responder: a contact whose messages
// come back as the same text right after each answer is answered no more until they write
// something that is not an echo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "responder/im_windows.h"

class EchoGuard {
 public:
  // A message is an echo when it repeats its contact's previous message byte for byte and
  // arrives less than this long after Quorvane answered that previous message (or, while
  // the contact is silenced and nothing is answered, after that previous message came).
  static constexpr uint64_t ECHO_WINDOW_MS = 30000;
  // From this echo in a row on, the contact is answered no more.
  static constexpr int ECHOES_SILENCING = 2;

  enum class Verdict {
    Answer,        // the message may be answered
    Silenced,      // the contact's replies look automatic
    SilencedNow,   // the same, found with this message: the user is told once
    AlreadyTaken,  // read again from the window it came in, already asked to close
  };

  // Takes in a contact's message, read from `window` at `nowMs`, and says whether it may be
  // answered. The window the contact's previous message came in, read again, brings no new
  // message: it is never an echo and changes nothing.
  Verdict take(const std::string& senderKey, WindowId window, const std::string& text,
               uint64_t nowMs);
  // The message just taken in from this contact was answered at `nowMs`.
  void answered(const std::string& senderKey, uint64_t nowMs);
  // The window of the message just taken in from this contact has been asked to close.
  void closing(const std::string& senderKey);
  // Every contact starts again: at every activation.
  void reset() { contacts_.clear(); }

 private:
  struct Contact {
    std::string key;
    std::string lastText;
    WindowId lastWindow = 0;
    // The windows of this contact's messages that were asked to close, each with a hash
    // of its message: one still open when read again brings nothing new.
    std::vector<std::pair<WindowId, std::size_t>> closing;
    bool lastAnswered = false;
    uint64_t lastMs = 0;  // when the previous message came
    uint64_t answeredMs = 0;
    int echoes = 0;  // in a row
    bool silenced = false;
  };
  Contact* find(const std::string& senderKey);

  std::vector<Contact> contacts_;  // in order of first message
};
