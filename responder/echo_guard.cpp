// The echo rule: same text as the contact's previous message, less than 30 s after it was
// answered. A person who writes anything new, or writes again later, is never held back.
#include "responder/echo_guard.h"

#include "base/letter_case.h"

EchoGuard::Contact* EchoGuard::find(const std::string& senderKey) {
  for (Contact& contact : contacts_)
    if (EqualNoCase(contact.key, senderKey)) return &contact;
  return nullptr;
}

EchoGuard::Verdict EchoGuard::take(const std::string& senderKey, const std::string& text,
                                   uint64_t nowMs) {
  Contact* contact = find(senderKey);
  if (!contact) {
    contacts_.push_back(Contact{senderKey, text});
    return Verdict::Answer;
  }
  // A message that was not answered cannot make the next one an echo.
  const bool echo = contact->lastAnswered && text == contact->lastText &&
                    nowMs - contact->answeredMs < ECHO_WINDOW_MS;
  contact->echoes = echo ? contact->echoes + 1 : 0;
  contact->lastText = text;
  contact->lastAnswered = false;
  if (contact->silenced) return Verdict::Silenced;
  if (contact->echoes < ECHOES_SILENCING) return Verdict::Answer;
  contact->silenced = true;
  return Verdict::SilencedNow;
}

void EchoGuard::answered(const std::string& senderKey, uint64_t nowMs) {
  if (Contact* contact = find(senderKey)) {
    contact->lastAnswered = true;
    contact->answeredMs = nowMs;
  }
}
