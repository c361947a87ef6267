// Saving a file all or nothing: the bytes written, and the old file surviving every
// failure without a temporary file left behind.
#include "base/line_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "scratch_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

class LineFileWriting : public ScratchDirTest {};

// The temporary files a save of `name` left behind ("<name>.tmp", "<name>.<...>.tmp").
int savesLeftBehind(const std::string& name) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    const std::string file = entry.path().filename().string();
    count += file.size() > name.size() + 4 && file.rfind(name + ".", 0) == 0 &&
             file.compare(file.size() - 4, 4, ".tmp") == 0;
  }
  return count;
}

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
    EXPECT_EQ(savesLeftBehind("out.txt"), 0) << c.name;
  }
}

// Leftovers of an earlier save never stand in the way: one that can be removed is, and one
// that cannot (a read-only file under Windows, a folder) is left alone.
TEST_F(LineFileWriting, ReplacesOldContentWhateverTemporaryFilesAreLeftOver) {
  writeFile("Groups.lst", "old content that is longer\r\n");
  writeFile("Groups.lst.tmp", "left over from a crash");
  setReadOnly("Groups.lst.tmp", true);
  std::filesystem::create_directory("conf.qvr.tmp");
  LineFileWriter groups("Groups.lst");
  LineFileWriter conf("conf.qvr");
  for (int save = 0; save < 2; ++save) {
    EXPECT_TRUE(groups.writeLines({"new", std::to_string(save)})) << save;
    EXPECT_EQ(readFile("Groups.lst"), "new\r\n" + std::to_string(save) + "\r\n") << save;
    EXPECT_TRUE(conf.writeLines({"End"})) << save;
    EXPECT_EQ(readFile("conf.qvr"), "End\r\n") << save;
  }
#ifdef _WIN32
  EXPECT_EQ(readFile("Groups.lst.tmp"), "left over from a crash");
  setReadOnly("Groups.lst.tmp", false);
  std::filesystem::remove("Groups.lst.tmp");
#endif
  std::filesystem::remove("conf.qvr.tmp");
  EXPECT_EQ(savesLeftBehind("Groups.lst") + savesLeftBehind("conf.qvr"), 0);
}

#ifdef _WIN32
// Another program holding the file open without sharing it; closed when the test ends.
struct HeldOpen {
  HANDLE file = INVALID_HANDLE_VALUE;
  ~HeldOpen() {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};
#endif

TEST_F(LineFileWriting, FailuresKeepTheOldFileAndSayWhy) {
#ifdef _WIN32
  HeldOpen held;
#endif
  struct Case {
    const char* name;
    std::function<void()> prepare;
    std::string reason;  // where the system's words are known; otherwise any
  } cases[] = {
      // A read-only file is the user's decision: it is not replaced.
      {"locked.txt", [&] { setReadOnly("locked.txt", true); },
#ifdef _WIN32
       ""},
#else
       "Permission denied"},
#endif
      {"folder.txt",
       [] {
         std::filesystem::remove("folder.txt");
         std::filesystem::create_directory("folder.txt");
       },
#ifdef _WIN32
       ""},
      // The temporary file is written, cannot take the file's place, and is removed again.
      {"held.txt",
       [&] {
         held.file = CreateFileA("held.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
         ASSERT_NE(held.file, INVALID_HANDLE_VALUE);
       },
       ""},
#else
       "Is a directory"},
      {"no/such/folder.txt", [] {}, "No such file or directory"},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string(c.name).find('/') == std::string::npos) writeFile(c.name, "keep\r\n");
    c.prepare();
    std::string reason;
    EXPECT_FALSE(LineFileWriter(c.name).writeLines({"new"}, &reason));
    if (!c.reason.empty()) {
      EXPECT_EQ(reason, c.reason);
    }
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find_first_of("\r\n"), std::string::npos) << reason;
    if (std::filesystem::is_regular_file(c.name)) {
      setReadOnly(c.name, false);
#ifdef _WIN32
      if (held.file != INVALID_HANDLE_VALUE) CloseHandle(held.file);
      held.file = INVALID_HANDLE_VALUE;
#endif
      EXPECT_EQ(readFile(c.name), "keep\r\n");
    }
    EXPECT_EQ(savesLeftBehind(c.name), 0);
  }
  EXPECT_FALSE(LineFileWriter("").writeLines({"x"}));
}

#ifdef _WIN32
// Whether the file system keeps a creation time of its own (Wine on a Unix file system
// does not): one set on a scratch file reads back.
bool keepsCreationTime() {
  const HANDLE file = CreateFileA("probe.tmp", GENERIC_WRITE | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  FILETIME old{0x12345678u, 0x01C00000u}, read{};
  const bool kept = SetFileTime(file, &old, nullptr, nullptr) &&
                    GetFileTime(file, &read, nullptr, nullptr) && CompareFileTime(&old, &read) == 0;
  CloseHandle(file);
  DeleteFileA("probe.tmp");
  return kept;
}
#endif

// What the user set on the file survives a save of new content.
TEST_F(LineFileWriting, SaveKeepsTheFilesProperties) {
  writeFile("Groups.lst", "old\r\n");
#ifdef _WIN32
  ASSERT_TRUE(SetFileAttributesA("Groups.lst", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  WIN32_FILE_ATTRIBUTE_DATA before{}, after{};
  ASSERT_TRUE(GetFileAttributesExA("Groups.lst", GetFileExInfoStandard, &before));
  Sleep(50);
#else
  std::filesystem::permissions("Groups.lst", std::filesystem::perms(0640));
#endif
  ASSERT_TRUE(LineFileWriter("Groups.lst").writeLines({"new"}));
  EXPECT_EQ(readFile("Groups.lst"), "new\r\n");
#ifdef _WIN32
  ASSERT_TRUE(GetFileAttributesExA("Groups.lst", GetFileExInfoStandard, &after));
  EXPECT_TRUE(after.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) << after.dwFileAttributes;
  if (keepsCreationTime()) {
    EXPECT_EQ(CompareFileTime(&before.ftCreationTime, &after.ftCreationTime), 0);
  }
  SetFileAttributesA("Groups.lst", FILE_ATTRIBUTE_NORMAL);
#else
  EXPECT_EQ(std::filesystem::status("Groups.lst").permissions(), std::filesystem::perms(0640));
#endif
  EXPECT_EQ(savesLeftBehind("Groups.lst"), 0);
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
  EXPECT_EQ(savesLeftBehind("Groups.lst"), 0);
}
#endif

}  // namespace
