// UTF-8 checks, character counts and the conversion to and from UTF-16.
#include "base/utf8.h"

#include <cstdint>

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

// The character that starts at text[at] and how many bytes it takes; a malformed sequence
// gives U+FFFD for one byte.
struct Decoded {
  char32_t code;
  std::size_t length;
};

Decoded decodeAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return {lead, 1};
  std::size_t length;
  char32_t code;
  char32_t least;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07, least = 0x10000;
  } else {
    return {REPLACEMENT, 1};
  }
  if (text.size() - at < length) return {REPLACEMENT, 1};
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(at + i);
    if ((next & 0xC0) != 0x80) return {REPLACEMENT, 1};
    code = (code << 6) | (next & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return {REPLACEMENT, 1};
  }
  return {code, length};
}

bool malformed(std::string_view text, std::size_t at, const Decoded& d) {
  return d.code == REPLACEMENT && d.length == 1 && static_cast<unsigned char>(text[at]) >= 0x80;
}

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const Decoded d = decodeAt(text, at);
    if (malformed(text, at, d)) return false;
    at += d.length;
  }
  return true;
}

std::size_t Utf8CharCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); ++count) at += decodeAt(text, at).length;
  return count;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t maxChars) {
  std::size_t at = 0;
  for (std::size_t count = 0; at < text.size() && count < maxChars; ++count) {
    at += decodeAt(text, at).length;
  }
  return text.substr(0, at);
}

std::u16string Utf16FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Decoded d = decodeAt(text, at);
    at += d.length;
    if (d.code < 0x10000) {
      out += static_cast<char16_t>(d.code);
    } else {
      const char32_t v = d.code - 0x10000;
      out += static_cast<char16_t>(0xD800 + (v >> 10));
      out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    }
  }
  return out;
}

std::string Utf8FromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = REPLACEMENT;
    }
    appendUtf8(out, code);
  }
  return out;
}
