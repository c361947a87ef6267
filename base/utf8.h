// Text as the program holds it: UTF-8 in std::string everywhere, and UTF-16 where the
// system's wide calls and the chat client's windows want it. Limits count characters,
// never bytes, and never cut a character in two.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// True when every byte belongs to a well-formed UTF-8 character (no overlong forms, no
// surrogates, nothing above U+10FFFF, no character cut short at the end).
bool IsValidUtf8(std::string_view text);

// The number of characters in valid UTF-8 text (each malformed byte counts as one).
std::size_t Utf8CharCount(std::string_view text);

// The first maxChars characters of the text, whole characters only.
std::string_view Utf8Prefix(std::string_view text, std::size_t maxChars);

// UTF-16 from UTF-8 and back. A malformed byte, or a lone surrogate, becomes U+FFFD: the
// program's own text is always valid, so this only meets what came from outside unchecked.
std::u16string Utf16FromUtf8(std::string_view text);
std::string Utf8FromUtf16(std::u16string_view text);
