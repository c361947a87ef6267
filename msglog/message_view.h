// The text of the message log window's view: every message of one sender in arrival order.
#pragma once

#include <string>
#include <vector>

#include "msglog/message_log.h"

// Per record: a blank and a bracketed line of 58 hyphens, the time (which ends with its
// line feed), " (msg) :" and the message; nothing between one record and the next.
std::string MessageViewText(const std::vector<IncomingMessage>& records);

// The same text for a multi-line edit box, which breaks lines only at CR LF: every bare
// line feed becomes CR LF.
std::string ForEditBox(const std::string& text);
