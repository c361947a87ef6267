// The per-run log file: its name, the record bytes and when records are written.
#include "msglog/log_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/recording_window.h"
#include "scratch_dir.h"

namespace {

std::time_t sunday6December2026() {
  std::tm tm{};
  tm.tm_year = 2026 - 1900;
  tm.tm_mon = 11;
  tm.tm_mday = 6;
  tm.tm_hour = 4;
  tm.tm_min = 55;
  tm.tm_sec = 36;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

const char* const RECORD_TAIL =
    "*-----------------------------------------------------------*\r\n"
    "--------------------------------------------------------------\r\n"
    "//////////////////////////////////////////////////////////////\r\n"
    "--------------------------------------------------------------\r\n";

TEST(LogFileName, MadeFromTheStartTime) {
  EXPECT_EQ(MakeLogFileName(sunday6December2026()), "msg_log_Sun_Dec_06_04_55_36_2026_.txt");
  EXPECT_EQ(MessageLogFile(sunday6December2026()).FileName(),
            "msg_log_Sun_Dec_06_04_55_36_2026_.txt");
}

TEST(LogFileRecord, BytesOfOneRecord) {
  struct Case {
    const char* name;
    std::string text;
    std::string msgLine;
  } cases[] = {
      {"plain", " hi there", "( MSG )  :  hi there\r\n"},
      {"ends with CR", " hi\r", "( MSG )  :  hi\r\r\n"},
      {"empty", "", "( MSG )  : \r\n"},
      {"line feed inside", "a\nb", "( MSG )  : a\r\nb\r\n"},
  };
  for (const Case& c : cases) {
    const std::string expected =
        "------------AUTO RESPONDED TO THE FOLLOWING MSG-------------*\r\n"
        "( TIME ) : Sun Dec 06 04:55:36 2026 \r\n"
        "( FROM ) : jlee99,>\r\n" +
        c.msgLine + RECORD_TAIL;
    EXPECT_EQ(FormatLogRecord("Sun Dec 06 04:55:36 2026 ", "jlee99,>", c.text), expected) << c.name;
  }
}

class LogFileWriting : public ScratchDirTest {};

TEST_F(LogFileWriting, RecordsOnlyWhileSwitchedOn) {
  SharedStateGuard state;
  MessageLogFile file(sunday6December2026());
  file.LogReceivedMessage("ann,>", " one");
  EXPECT_FALSE(exists(file.FileName()));

  LogToFileEnabled = true;
  file.LogReceivedMessage("ann,>", " two");
  file.LogReceivedMessage("bob,>", " three");
  const std::string content = readFile(file.FileName());
  // Two whole records one after the other, each with the time it was written.
  std::vector<std::string> times;
  for (std::size_t at = content.find("( TIME ) : "); at != std::string::npos;
       at = content.find("( TIME ) : ", at + 1)) {
    times.push_back(content.substr(at + 11, 25));
  }
  ASSERT_EQ(times.size(), 2u);
  EXPECT_EQ(content, FormatLogRecord(times[0], "ann,>", " two") +
                         FormatLogRecord(times[1], "bob,>", " three"));
  EXPECT_EQ(times[0].back(), ' ');
}

TEST_F(LogFileWriting, UnwritableFileLosesTheRecordOnly) {
  SharedStateGuard state;
  MessageLogFile file(sunday6December2026());
  std::filesystem::create_directory(file.FileName());
  LogToFileEnabled = true;
  file.LogReceivedMessage("ann,>", " lost");
  EXPECT_TRUE(std::filesystem::is_directory(file.FileName()));
}

}  // namespace
