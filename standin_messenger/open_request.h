// Decoding the payload of the open, append and raise commands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "standin_messenger/messenger_protocol.h"

struct OpenRequest {
  StandInOpenHeader head;
  std::wstring title;  // with the conference or voice-chat prefix already in front
  std::wstring sender;
  std::wstring text;
};

// False when the payload is too short, of another version, or its lengths do not add
// up to its size exactly.
bool decodeOpenRequest(const void* data, std::size_t size, OpenRequest& request);

// The document text of a new conversation window for the request's text mode.
std::wstring initialConversationText(const OpenRequest& request);
// A conversation's text after one more line: lines are joined with STANDIN_LINE_BREAK.
std::wstring appendConversationLine(const std::wstring& text, const std::wstring& line);
