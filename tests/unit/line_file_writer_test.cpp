// Saving a file all or nothing: the bytes written, and the old file surviving every
// failure without a temporary file left behind.
#include "base/line_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "scratch_dir.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

class LineFileWriting : public ScratchDirTest {};

TEST_F(LineFileWriting, LinesEndWithCrLf) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::string bytes;
  } cases[] = {
      {"none", {}, ""},
      {"two", {"a", " b "}, "a\r\n b \r\n"},
      {"empty line", {""}, "\r\n"},
      {"NUL and high bytes", {std::string("x\0\xE9", 3)}, std::string("x\0\xE9\r\n", 5)},
      {"line breaks inside", {"one\r\ntwo\nthree\r"}, "onetwothree\r\n"},
  };
  for (const Case& c : cases) {
    LineFileWriter writer("out.txt");
    EXPECT_TRUE(writer.writeLines(c.lines)) << c.name;
    EXPECT_EQ(readFile("out.txt"), c.bytes) << c.name;
    EXPECT_FALSE(exists("out.txt.tmp")) << c.name;
  }
}

TEST_F(LineFileWriting, ReplacesOldContentAndStaleTemporaryFile) {
  writeFile("out.txt", "old content that is longer\r\n");
  writeFile("out.txt.tmp", "left over from a crash");
  LineFileWriter writer("out.txt");
  EXPECT_TRUE(writer.writeLines({"new"}));
  EXPECT_EQ(readFile("out.txt"), "new\r\n");
  EXPECT_FALSE(exists("out.txt.tmp"));
}

TEST_F(LineFileWriting, FailuresKeepTheOldFile) {
  // A read-only file is the user's decision: it is not replaced.
  writeFile("locked.txt", "keep\r\n");
  setReadOnly("locked.txt", true);
  EXPECT_FALSE(LineFileWriter("locked.txt").writeLines({"new"}));
  setReadOnly("locked.txt", false);
  EXPECT_EQ(readFile("locked.txt"), "keep\r\n");
  EXPECT_FALSE(exists("locked.txt.tmp"));

  // A directory where the file should be.
  std::filesystem::create_directory("folder.txt");
  EXPECT_FALSE(LineFileWriter("folder.txt").writeLines({"new"}));
  EXPECT_TRUE(std::filesystem::is_directory("folder.txt"));
  EXPECT_FALSE(exists("folder.txt.tmp"));

  // A directory where the temporary file must go: nothing can be written, the old file
  // stays and the directory, which is not ours, is not removed.
  writeFile("blocked.txt", "keep\r\n");
  std::filesystem::create_directory("blocked.txt.tmp");
  EXPECT_FALSE(LineFileWriter("blocked.txt").writeLines({"new"}));
  EXPECT_EQ(readFile("blocked.txt"), "keep\r\n");
  EXPECT_TRUE(std::filesystem::is_directory("blocked.txt.tmp"));

  EXPECT_FALSE(LineFileWriter("").writeLines({"x"}));
}

TEST_F(LineFileWriting, NameIsKeptTo99Characters) {
  const std::string longName(120, 'n');
  LineFileWriter writer(longName);
  EXPECT_EQ(writer.fileName(), longName.substr(0, 99));
  EXPECT_TRUE(writer.writeLines({"x"}));
  EXPECT_EQ(readFile(longName.substr(0, 99)), "x\r\n");
}

#ifndef _WIN32
// The disk filling up in the middle of a save, made real with a file size limit.
TEST_F(LineFileWriting, DiskFullMidwayKeepsTheOldFile) {
  const std::string old = "Group---\r\nFriends\r\nBack soon\r\n---\r\n";
  writeFile("Groups.lst", old);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

  const bool written = LineFileWriter("Groups.lst").writeLines({std::string(10000, 'm')});

  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(readFile("Groups.lst"), old);
  EXPECT_FALSE(exists("Groups.lst.tmp"));
}
#endif

}  // namespace
