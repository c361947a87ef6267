// The settings files "conf.qvr" (the ten saved lines, and what every kind of damaged file
// loads as) and "away.qvr" (its lines read; the fuzz target checks what it writes).
#include "config/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "config/away_settings.h"
#include "scratch_dir.h"
#include "tests/support/conf_file.h"

namespace {

const std::string FALLBACK_FILE = confFile("");

class SettingsFile : public ScratchDirTest {};

TEST_F(SettingsFile, SavedBytesAndReadBack) {
  SettingsStore store;
  EXPECT_TRUE(store.save());
  EXPECT_EQ(readFile("conf.qvr"), FALLBACK_FILE);

  store.settings() = Settings{" Away > back soon ", 2, 1, 4};
  EXPECT_TRUE(store.save());
  EXPECT_EQ(readFile("conf.qvr"), confFile(" Away > back soon ", "4", "2", "1"));
  using std::filesystem::directory_iterator;
  EXPECT_EQ(std::distance(directory_iterator("."), directory_iterator()), 1) << "conf.qvr alone";

  SettingsStore loaded;
  EXPECT_TRUE(loaded.load());
  EXPECT_EQ(loaded.settings().defaultMessage, " Away > back soon ");
  EXPECT_EQ(loaded.settings().replyMode, 4);
  EXPECT_EQ(loaded.settings().uiSpeed, 2);
  EXPECT_EQ(loaded.settings().liteMode, 1);
}

TEST_F(SettingsFile, LoadsByPositionWithFallbacks) {
  const std::string m1023(1023, 'm'), m1024(1024, 'm');
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;
    int32_t reply, speed;
    int lite;
  } cases[] = {
      {"other key lines", "x\r\ny\r\nhello\r\nz\r\n3\r\nw\r\n0\r\nv\r\n1\r\n", "hello", 3, 0, 1},
      {"digit then letters", confFile("a", "1", "2fast", "0"), "a", 1, 2, 0},
      {"letters only", confFile("a", "x", "fast", "yes"), "a", 0, 1, 0},
      {"signs and blanks", confFile("a", "-7", "  +7", "\t1 "), "a", -7, 7, 1},
      {"lite keeps low bits", confFile("a", "0", "1", "257"), "a", 0, 1, 1},
      {"too large", confFile("a", "99999999999", "-99999999999", "0"), "a", 2147483647,
       -2147483647 - 1, 0},
      {"message 1023", confFile(m1023, "2", "0", "1"), m1023, 2, 0, 1},
      {"message 1024", confFile(m1024, "2", "0", "1"), m1023, 0, 1, 0},
      {"100000 characters", confFile(std::string(100000, 'q'), "2", "0", "1"),
       std::string(1023, 'q'), 0, 1, 0},
      {"ends after line 3", "h\r\nk\r\nonly this", "only this", 0, 1, 0},
      {"empty file", "", "", 0, 1, 0},
      {"LF line ends", "h\nk\nmsg\nk\n3\nk\n2\nk\n1\nEnd\n", "msg", 3, 2, 1},
      {"bare CR line ends", "h\rk\rmsg\rk\r3\rk\r2\rk\r1\rEnd\r", "msg", 3, 2, 1},
      {"NUL in the message", confFile(std::string("a\0b", 3), "1", "2", "0"),
       std::string("a\0b", 3), 1, 2, 0},
      // Not UTF-8: written by an earlier Quorvane in the old code page.
      {"binary junk", std::string("\xFF\xFE\0\r\n\x01\x02\r\n\x80\x81", 11), "\u20AC\u0081", 0, 1,
       0},
      {"old code page", confFile("Caf\xE9 ferm\xE9", "1", "2", "0"), "Caf\u00E9 ferm\u00E9", 1, 2,
       0},
  };
  for (const Case& c : cases) {
    writeFile("conf.qvr", c.bytes);
    SettingsStore store;
    store.settings() = Settings{"stale", 9, 9, 9};
    EXPECT_TRUE(store.load()) << c.name;
    EXPECT_EQ(store.settings().defaultMessage, c.message) << c.name;
    EXPECT_EQ(store.settings().replyMode, c.reply) << c.name;
    EXPECT_EQ(store.settings().uiSpeed, c.speed) << c.name;
    EXPECT_EQ(store.settings().liteMode, c.lite) << c.name;
  }
}

TEST_F(SettingsFile, MissingDirectoryOrReadOnlyFile) {
  SettingsStore store;
  store.settings() = Settings{"mine", 2, 0, 1};
  EXPECT_FALSE(store.load());
  std::filesystem::create_directory("conf.qvr");
  EXPECT_FALSE(store.load());
  EXPECT_FALSE(store.save());
  EXPECT_EQ(store.settings().defaultMessage, "mine");
  EXPECT_EQ(store.settings().uiSpeed, 2);
  std::filesystem::remove("conf.qvr");

  writeFile("conf.qvr", FALLBACK_FILE);
  setReadOnly("conf.qvr", true);
  EXPECT_FALSE(store.save());
  setReadOnly("conf.qvr", false);
  EXPECT_EQ(readFile("conf.qvr"), FALLBACK_FILE);
}

TEST_F(SettingsFile, AwayLinesInAnyOrderWithTheirDefaults) {
  // clang-format off
  const std::pair<std::string, AwaySettings> rows[] = {  // idle, locked, icon, hide
    {"",                                                      {0, false, true, false}},
    {"IdleMinutes=5\r\nWhenLocked=1\r\n",                     {5, true, true, false}},
    {"HideWhenMinimised=1\r\nTrayIcon=0\r\nIdleMinutes=999\r\n", {999, false, false, true}},
    {"TrayIcon=2\r\nHideWhenMinimised=yes\r\nTrayIcon=\r\n",     {0, false, true, false}},
    {"IdleMinutes=5\nWhenLocked=1\n",                         {5, true, true, false}},
    {"IdleMinutes=5\rTrayIcon=0\r",                           {5, false, false, false}},
    {"IdleMinutes=5\r\nWhenLocked=1\r\nIdleMinutes=0\r\nWhenLocked=2\r\n", {0, true, true, false}},
    {"IdleMinutes=30\r\nIdleMinutes=45\r\n",                  {45, false, true, false}},
    {"IdleMinutes=1000\r\nWhenLocked=01\r\n",                 {0, true, true, false}},
    {" IdleMinutes=5\r\nIdleMinutes= 6\r\nTrayIcon=0 \r\n",   {0, false, true, false}},
    {"IdleMinutes=7" + std::string(60, ' ') + "\r\nWhenLocked=1\r\n", {0, true, true, false}},
  };
  // clang-format on
  for (const auto& [bytes, loaded] : rows) {
    writeFile("away.qvr", bytes);
    AwaySettingsStore store;
    store.load();
    EXPECT_EQ(store.settings(), loaded) << bytes;
  }
}

}  // namespace
