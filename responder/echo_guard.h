// Keeps Quorvane out of a reply loop with another auto-responder: a contact whose messages
// come back as the same text right after each answer is answered no more until the next
// activation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class EchoGuard {
 public:
  // A message is an echo when it repeats its contact's previous message byte for byte and
  // arrives less than this long after Quorvane answered that previous message.
  static constexpr uint64_t ECHO_WINDOW_MS = 30000;
  // From this echo in a row on, the contact is answered no more.
  static constexpr int ECHOES_SILENCING = 2;

  enum class Verdict {
    Answer,       // the message may be answered
    Silenced,     // the contact's replies look automatic
    SilencedNow,  // the same, found with this message: the user is told once
  };

  // Takes in a contact's message, arrived at `nowMs`, and says whether it may be answered.
  Verdict take(const std::string& senderKey, const std::string& text, uint64_t nowMs);
  // The message just taken in from this contact was answered at `nowMs`.
  void answered(const std::string& senderKey, uint64_t nowMs);
  // Every contact starts again: at every activation.
  void reset() { contacts_.clear(); }

 private:
  struct Contact {
    std::string key;
    std::string lastText;
    bool lastAnswered = false;
    uint64_t answeredMs = 0;
    int echoes = 0;  // in a row
    bool silenced = false;
  };
  Contact* find(const std::string& senderKey);

  std::vector<Contact> contacts_;  // in order of first message
};
