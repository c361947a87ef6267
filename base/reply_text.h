// The default reply as the main window's edit box holds it: lines joined into one.
#pragma once

#include <cstddef>
#include <string>

// The longest part of one line that is kept.
constexpr std::size_t MAX_REPLY_LINE = 1023;

// The edit box's text with its line breaks (CR LF, or a lone CR or LF) dropped and each
// line cut to MAX_REPLY_LINE characters. Empty when nothing but line breaks was typed.
std::string JoinReplyLines(const std::string& editText);
