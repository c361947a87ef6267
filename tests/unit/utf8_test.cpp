// UTF-8 checks, character limits and the round trip through UTF-16.
#include "base/utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, ValidityCountsAndPrefixes) {
  struct Case {
    const char* name;
    std::string text;
    bool valid;
    std::size_t chars;
    std::size_t prefix2Bytes;  // bytes in the first two characters
  } cases[] = {
      {"ascii", "abc", true, 3, 2},
      {"empty", "", true, 0, 0},
      {"2-byte", "\xC3\xA9t\xC3\xA9", true, 3, 3},         // été
      {"3-byte", "\xE5\xBC\xB5\xE5\x81\x89", true, 2, 6},  // 張偉
      {"4-byte", "\xF0\x9F\x98\x80!", true, 2, 5},         // 😀!
      {"Windows-1252", "caf\xE9", false, 4, 2},
      {"cut at the end", "ab\xF0\x9F\x98", false, 5, 2},
      {"overlong", "\xC0\xAF", false, 2, 2},
      {"surrogate", "\xED\xA0\x80", false, 3, 2},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false, 4, 2},
      {"lone continuation", "\x80x", false, 2, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.name;
    EXPECT_EQ(Utf8CharCount(c.text), c.chars) << c.name;
    EXPECT_EQ(Utf8Prefix(c.text, 2).size(), c.prefix2Bytes) << c.name;
  }
}

TEST(Utf8, RoundTripsThroughUtf16AndReplacesWhatIsBroken) {
  const std::string mixed = "Zo\xC3\xAB \xD0\x9F\xD1\x80\xD0\xB8 \xE5\xBC\xB5 \xF0\x9F\x99\x82";
  const std::u16string wide = Utf16FromUtf8(mixed);
  EXPECT_EQ(wide, u"Zo\u00EB \u041F\u0440\u0438 \u5F35 \U0001F642");
  EXPECT_EQ(Utf8FromUtf16(wide), mixed);
  EXPECT_EQ(Utf16FromUtf8("a\xE9z"), u"a\uFFFDz");
  EXPECT_EQ(Utf8FromUtf16(std::u16string(u"a") + char16_t(0xD83D) + u"z"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(Utf8FromUtf16(std::u16string(1, char16_t(0xDE00))), "\xEF\xBF\xBD");
}

}  // namespace
