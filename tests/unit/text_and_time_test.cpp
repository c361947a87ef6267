// Letter case in the ANSI code page and the ctime-layout time stamps.
#include "base/ansi_text.h"
#include "base/time_text.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(AnsiText, UpperCaseFoldsTheCodePageLettersOnly) {
  struct Case {
    unsigned char in, out;
  } cases[] = {
      {'a', 'A'},   {'z', 'Z'},   {'A', 'A'},   {'0', '0'},   {',', ','},   {'>', '>'},
      {'`', '`'},   {'{', '{'},   {0xE0, 0xC0}, {0xE9, 0xC9}, {0xF6, 0xD6}, {0xFE, 0xDE},
      {0xF7, 0xF7}, {0xD7, 0xD7}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F},
      {0xB5, 0xB5}, {0xDF, 0xDF}, {0x80, 0x80}, {0xC9, 0xC9},
  };
  for (const Case& c : cases) {
    const std::string in(1, static_cast<char>(c.in));
    EXPECT_EQ(UpperCaseAnsi(in), std::string(1, static_cast<char>(c.out)))
        << "byte 0x" << std::hex << int(c.in);
  }
  // A NUL inside the text neither ends nor shortens it.
  EXPECT_EQ(UpperCaseAnsi(std::string("ab\0cd", 5)), std::string("AB\0CD", 5));
}

TEST(AnsiText, EqualityIgnoresLetterCaseOfWholeTexts) {
  struct Case {
    const char* a;
    const char* b;
    bool equal;
  } cases[] = {
      {"jlee99,>", "JLee99,>", true},
      {"", "", true},
      {"bob,>", "bobby,>", false},
      {"bob", "bob ", false},
      {"caf\xE9", "CAF\xC9", true},
      {"stra\xDF"
       "e",
       "STRASSE", false},
      {"\xFF", "\x9F", true},
      {"a-b", "A_B", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnsiEqualNoCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
  }
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
