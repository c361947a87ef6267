// Letter case and the ctime-layout time stamps.
#include "base/letter_case.h"
#include "base/time_text.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(LetterCase, UpperCaseAndEqualityOfWholeTexts) {
  struct Case {
    const char* a;
    const char* b;
    bool equal;
    const char* upperA;  // nullptr: not checked
  } cases[] = {
      {"jlee99,>", "JLee99,>", true, "JLEE99,>"},
      {"", "", true, ""},
      {"bob,>", "bobby,>", false, nullptr},
      {"bob", "bob ", false, nullptr},
      {"a-b`{", "A_B@[", false, "A-B`{"},
      {"caf\u00E9 \u00FF", "CAF\u00C9 \u0178", true, "CAF\u00C9 \u0178"},
      {"stra\u00DFe", "STRASSE", false, "STRA\u00DFE"},
      {"\u0438\u0432\u0430\u043D \u0451", "\u0418\u0412\u0410\u041D \u0401", true, nullptr},
      {"\u03B1\u03B2 \u0142\u017C", "\u0391\u0392 \u0141\u017B", true, nullptr},
      {"\u5F35\u5049 \U0001F600", "\u5F35\u5049 \U0001F600", true, "\u5F35\u5049 \U0001F600"},
      // Bytes that are no UTF-8 are compared as they are; ASCII still folds around them.
      {"caf\xE9", "CAF\xC9", false, "CAF\xE9"},
      {"x\xE9", "X\xE9", true, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EqualNoCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    if (c.upperA) {
      EXPECT_EQ(UpperCase(c.a), c.upperA) << c.a;
    }
  }
  // A NUL inside the text neither ends nor shortens it.
  EXPECT_EQ(UpperCase(std::string("ab\0cd", 5)), std::string("AB\0CD", 5));
}

std::time_t localTimeOf(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

TEST(TimeText, CtimeLayoutWithTwoDigitDay) {
  struct Case {
    int y, mo, d, h, mi, s;
    const char* text;
  } cases[] = {
      {2026, 12, 6, 4, 55, 36, "Sun Dec 06 04:55:36 2026\n"},
      {2027, 1, 1, 0, 0, 0, "Fri Jan 01 00:00:00 2027\n"},
      {2024, 2, 29, 23, 59, 59, "Thu Feb 29 23:59:59 2024\n"},
      {2025, 9, 17, 12, 5, 9, "Wed Sep 17 12:05:09 2025\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CtimeText(localTimeOf(c.y, c.mo, c.d, c.h, c.mi, c.s)), c.text) << c.text;
  }
}

TEST(TimeText, ThreadsBuildTheirOwnStamps) {
  const std::time_t a = localTimeOf(2026, 12, 6, 4, 55, 36);
  const std::time_t b = localTimeOf(2025, 9, 17, 12, 5, 9);
  auto check = [](std::time_t t, const char* expected, int* mismatches) {
    for (int i = 0; i < 2000; ++i) {
      if (CtimeText(t) != expected) ++*mismatches;
    }
  };
  int badA = 0, badB = 0;
  std::thread first(check, a, "Sun Dec 06 04:55:36 2026\n", &badA);
  std::thread second(check, b, "Wed Sep 17 12:05:09 2025\n", &badB);
  first.join();
  second.join();
  EXPECT_EQ(badA + badB, 0);
}

}  // namespace
