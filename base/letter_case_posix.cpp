// Letter case off Windows: the upper-case pairs of the scripts the host tests use, so that
// the host build folds what the program folds on Windows for those letters.
#include "base/letter_case.h"

#include "base/utf8.h"

namespace {

char16_t upper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x178;
  // Latin Extended-A: capital then small, from an even or from an odd position.
  const bool evenPairs =
      (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
  const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  if (evenPairs) return static_cast<char16_t>(c & ~1u);
  if (oddPairs) return c % 2 == 0 ? static_cast<char16_t>(c - 1) : c;
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  return c;
}

}  // namespace

std::string UpperCase(std::string text) {
  if (!IsValidUtf8(text)) return UpperCaseAscii(std::move(text));
  std::u16string wide = Utf16FromUtf8(text);
  for (char16_t& c : wide) c = upper(c);
  return Utf8FromUtf16(wide);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return UpperCase(a) == UpperCase(b);
}
