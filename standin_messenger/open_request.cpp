// Payload decoding and the conversation texts the stand-in's views show.
#include "standin_messenger/open_request.h"

#include <cstring>

static_assert(sizeof(wchar_t) == 2, "the payload's strings are UTF-16 code units");

bool decodeOpenRequest(const void* data, std::size_t size, OpenRequest& request) {
  request = OpenRequest();
  if (!data || size < sizeof(StandInOpenHeader)) return false;
  std::memcpy(&request.head, data, sizeof request.head);
  const StandInOpenHeader& h = request.head;
  if (h.version != STANDIN_PROTOCOL_VERSION) return false;
  // Added in 64 bits so that huge lengths cannot wrap around to the payload's size.
  std::uint64_t units = std::uint64_t{h.titleLength} + h.senderLength + h.textLength;
  if (units * sizeof(wchar_t) != size - sizeof h) return false;
  if (h.textMode > STANDIN_TEXT_RAW) return false;

  const char* p = static_cast<const char*>(data) + sizeof h;
  auto take = [&p](std::uint32_t count) {
    std::wstring s(count, L'\0');
    if (count) std::memcpy(&s[0], p, count * sizeof(wchar_t));
    p += count * sizeof(wchar_t);
    return s;
  };
  request.title = take(h.titleLength);
  request.sender = take(h.senderLength);
  request.text = take(h.textLength);
  if (h.options & STANDIN_CONFERENCE)
    request.title = L"Conference: " + request.title;
  else if (h.options & STANDIN_VOICE_CHAT)
    request.title = L"Voice Chat: " + request.title;
  return true;
}

std::wstring initialConversationText(const OpenRequest& request) {
  switch (request.head.textMode) {
    case STANDIN_TEXT_RAW:
      return request.text;
    case STANDIN_TEXT_EMPTY:
      return STANDIN_EMPTY_WINDOW_TEXT;
    default:
      return appendConversationLine(STANDIN_EMPTY_WINDOW_TEXT,
                                    request.sender + L": " + request.text);
  }
}

std::wstring appendConversationLine(const std::wstring& text, const std::wstring& line) {
  if (text.empty()) return line;
  return text + STANDIN_LINE_BREAK + line;
}
