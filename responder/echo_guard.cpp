// The echo rule: same text as the contact's previous message, less than 30 s after it was
// answered. A person who writes anything new, or writes again later, is never held back.
#include "responder/echo_guard.h"

#include <algorithm>
#include <functional>

#include "base/letter_case.h"

EchoGuard::Contact* EchoGuard::find(const std::string& senderKey) {
  for (Contact& contact : contacts_)
    if (EqualNoCase(contact.key, senderKey)) return &contact;
  return nullptr;
}

EchoGuard::Verdict EchoGuard::take(const std::string& senderKey, WindowId window,
                                   const std::string& text, uint64_t nowMs) {
  Contact* contact = find(senderKey);
  if (!contact) {
    Contact first;
    first.key = senderKey;
    first.lastText = text;
    first.lastWindow = window;
    first.lastMs = nowMs;
    contacts_.push_back(first);
    return Verdict::Answer;
  }
  // The same window read again: its close is not handled yet, or the client asks first.
  const std::pair<WindowId, std::size_t> taken{window, std::hash<std::string>()(text)};
  if (std::find(contact->closing.begin(), contact->closing.end(), taken) != contact->closing.end())
    return Verdict::AlreadyTaken;
  // A window that could not be asked to close is read anew and may be answered again.
  if (window == contact->lastWindow && text == contact->lastText)
    return contact->silenced ? Verdict::Silenced : Verdict::Answer;
  // A message that was not answered cannot make the next one an echo, unless nothing is
  // answered because the contact is silenced: then the loop is still going on.
  const bool echo =
      text == contact->lastText &&
      (contact->silenced ? nowMs - contact->lastMs < ECHO_WINDOW_MS
                         : contact->lastAnswered && nowMs - contact->answeredMs < ECHO_WINDOW_MS);
  contact->echoes = echo ? contact->echoes + 1 : 0;
  contact->lastText = text;
  contact->lastWindow = window;
  contact->lastAnswered = false;
  contact->lastMs = nowMs;
  if (contact->silenced) {
    if (echo) return Verdict::Silenced;
    // Something new, or the same again after a while: a person, answered again.
    contact->silenced = false;
    return Verdict::Answer;
  }
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

void EchoGuard::closing(const std::string& senderKey) {
  if (Contact* contact = find(senderKey))
    contact->closing.emplace_back(contact->lastWindow, std::hash<std::string>()(contact->lastText));
}
