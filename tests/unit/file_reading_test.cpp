// How the program's files read back: UTF-8 as it is, files of an earlier Quorvane in the
// old code page converted, a byte-order mark dropped, and line limits in whole characters.
#include "base/line_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "scratch_dir.h"

namespace {

class FileReading : public ScratchDirTest {};

TEST_F(FileReading, LinesInEveryEncodingTheProgramMeets) {
  const FileTextReading utf8Program{true, Utf8FromWindows1252};
  const FileTextReading ansiProgram{false, Utf8FromWindows1252};
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t maxChars;
    std::vector<std::string> lines;  // "+" ends a line that was cut
    const FileTextReading* reading = nullptr;
  } cases[] = {
      {"ascii", "DEFAULT_MSG\r\nBack soon\r\n", 99, {"DEFAULT_MSG", "Back soon"}},
      {"utf-8",
       "Caf\u00E9\r\n\u4F60\u597D\n\U0001F600 ok",
       99,
       {"Caf\u00E9", "\u4F60\u597D", "\U0001F600 ok"}},
      {"windows-1252", "Caf\xE9 ferm\xE9\r\n\x80 5\r\n", 99, {"Caf\u00E9 ferm\u00E9", "\u20AC 5"}},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "abc\r\n\xEF\xBB\xBF",
       99,
       {"abc", "\xEF\xBB\xBF"}},
      {"character cut short at a line end", "ab\xF0\x9F\r\ncd", 99, {"ab\u00F0\u0178", "cd"}},
      {"limit in characters",
       "\u00E9\u00E9\u00E9\u00E9\u00E9\r\n\u00E9\u00E9\u00E9\u00E9\r\n",
       4,
       {"\u00E9\u00E9\u00E9\u00E9+", "\u00E9\u00E9\u00E9\u00E9"}},
      {"limit never cuts a character",
       "ab\U0001F600cd\r\nab\U0001F600\r\n",
       3,
       {"ab\U0001F600+", "ab\U0001F600"}},
      {"limit in old characters",
       "\xE9\xE9\xE9\xE9\xE9\r\n\xE9\xE9\xE9\xE9",
       4,
       {"\u00E9\u00E9\u00E9\u00E9+", "\u00E9\u00E9\u00E9\u00E9"}},
      {"character across the check's pieces",
       std::string(4095, 'x') + "\u00E9",
       5000,
       {std::string(4095, 'x') + "\u00E9"}},
      {"older Windows reads bytes as they are",
       "\xEF\xBB\xBF"
       "Caf\xE9\r\n\xE9\xE9\xE9",
       2,
       {"\xEF\xBB+", "\xE9\xE9+"},
       &ansiProgram},
  };
  for (const Case& c : cases) {
    writeFile("file.txt", c.bytes);
    LineReader reader("file.txt", LoneCr::EndsLine, c.reading ? *c.reading : utf8Program);
    ASSERT_TRUE(reader.isOpen()) << c.name;
    std::vector<std::string> lines;
    while (!reader.atEnd()) {
      bool cut = false;
      const std::string line = reader.readLine(c.maxChars, &cut);
      lines.push_back(line + (cut ? "+" : ""));
    }
    EXPECT_EQ(lines, c.lines) << c.name;
  }
}

}  // namespace
