// How the program's files read back: UTF-8 as it is, files of an earlier Quorvane in the
// old code page converted, a byte-order mark dropped, and line limits in whole characters.
#include "base/line_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "scratch_dir.h"

namespace {

class FileReading : public ScratchDirTest {};

TEST_F(FileReading, LinesInEveryEncodingTheProgramMeets) {
  const FileTextReading utf8Program{true, Utf8FromWindows1252}, ansiProgram{false, nullptr};
  const std::string bom = "\xEF\xBB\xBF", e4 = "\u00E9\u00E9\u00E9\u00E9", smile = "\U0001F600";
  struct Case {
    const char* name;
    std::size_t maxChars;
    std::string bytes;
    std::vector<std::string> lines;  // "+" ends a line that was cut
    const FileTextReading* reading = nullptr;
  } cases[] = {
      {"ascii", 99, "DEFAULT_MSG\r\nBack soon\r\n", {"DEFAULT_MSG", "Back soon"}},
      {"utf-8", 99, "Caf\u00E9\r\n\u4F60\u597D\n" + smile, {"Caf\u00E9", "\u4F60\u597D", smile}},
      {"windows-1252", 99, "Caf\xE9 ferm\xE9\r\n\x80 5\r\n", {"Caf\u00E9 ferm\u00E9", "\u20AC 5"}},
      {"byte-order mark", 99, bom + "abc\r\n" + bom, {"abc", bom}},
      {"character cut short at a line end", 99, "ab\xF0\x9F\r\ncd", {"ab\u00F0\u0178", "cd"}},
      {"limit in characters", 4, e4 + "\u00E9\r\n" + e4 + "\r\n", {e4 + "+", e4}},
      {"limit never cuts a character",
       3,
       "ab" + smile + "c\r\nab" + smile,
       {"ab" + smile + "+", "ab" + smile}},
      {"limit in old characters", 4, "\xE9\xE9\xE9\xE9\xE9\r\n\xE9\xE9\xE9\xE9", {e4 + "+", e4}},
      {"character across the check's pieces",
       5000,
       std::string(4095, 'x') + "\u00E9",
       {std::string(4095, 'x') + "\u00E9"}},
      {"older Windows reads bytes as they are",
       2,
       bom + "Caf\xE9\r\n\xE9\xE9\xE9",
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
