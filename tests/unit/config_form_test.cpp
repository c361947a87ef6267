// The configuration dialog's reading of its edit box and lists, and what it stores.
#include "config/config_form.h"
#include "base/edit_lines.h"

#include <gtest/gtest.h>

namespace {

TEST(EditLines, JoinedWithoutSeparatorAndCutPerLine) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::size_t limit;
    std::string joined;
    bool empty;
  } cases[] = {
      {"empty box", {""}, 1023, "", true},
      {"one line", {"back soon"}, 1023, "back soon", false},
      {"two typed lines", {"back", "soon"}, 1023, "backsoon", false},
      {"wrapped line keeps its blank", {"back ", "soon"}, 1023, "back soon", false},
      {"empty line in the middle", {"a", "", "b"}, 1023, "ab", false},
      {"two empty lines are not empty", {"", ""}, 1023, "", false},
      {"cut per line, not in total", {"abcdef", "ghijkl"}, 3, "abcghi", false},
      {"exact limit kept", {std::string(1023, 'x')}, 1023, std::string(1023, 'x'), false},
      {"stray line break dropped", {"a\r\nb"}, 1023, "ab", false},
      {"long paragraph wrapped over two lines kept whole",
       {std::string(1000, 'x') + " ", std::string(500, 'y')},
       1023,
       std::string(1000, 'x') + " " + std::string(500, 'y'),
       false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(joinEditLines(c.lines, c.limit), c.joined) << c.name;
    EXPECT_EQ(editIsEmpty(c.lines), c.empty) << c.name;
  }
}

TEST(ConfigForm, ShowsStoredValuesAndNothingForValuesThatNameNoItem) {
  struct Case {
    const char* name;
    int32_t replyMode, uiSpeed;
    uint8_t lite;
    std::optional<int> interval, speed;
  } cases[] = {
      {"first items", 0, 0, 0, 0, 0},
      {"last items", 4, 2, 1, 4, 2},
      {"speed 7 from a hand-edited file", 1, 7, 0, 1, std::nullopt},
      {"negative interval", -7, 1, 0, std::nullopt, 1},
      {"interval one past the list", 5, 3, 0, std::nullopt, std::nullopt},
      {"lite stored as any non-zero byte", 0, 1, 9, 0, 1},
  };
  for (const Case& c : cases) {
    Settings s;
    s.defaultMessage = "away";
    s.replyMode = c.replyMode;
    s.uiSpeed = c.uiSpeed;
    s.liteMode = c.lite;
    ConfigForm form = formFromSettings(s);
    EXPECT_EQ(form.interval, c.interval) << c.name;
    EXPECT_EQ(form.speed, c.speed) << c.name;
    EXPECT_EQ(form.lite, c.lite != 0) << c.name;
    EXPECT_EQ(form.messageLines, std::vector<std::string>{"away"}) << c.name;
  }
}

TEST(ConfigForm, StoresSelectionsWithTheirFallbacks) {
  ConfigForm chosen;
  chosen.messageLines = {"gone ", "fishing"};
  chosen.lite = true;
  chosen.interval = 4;
  chosen.speed = 0;
  struct Case {
    const char* name;
    ConfigForm form;
    std::string message;
    int32_t speed, interval;
    uint8_t lite;
    bool lacksMessage;
  } cases[] = {
      // nothing selected, nothing typed, box unchecked
      {"untouched", ConfigForm{}, "", 1, 0, 0, true},
      {"chosen", chosen, "gone fishing", 0, 4, 1, false},
  };
  for (const Case& c : cases) {
    Settings s;
    s.defaultMessage = "old";
    s.uiSpeed = 2;
    s.replyMode = 3;
    s.liteMode = c.lite ? 0 : 1;  // the other value, so that the write shows
    storeForm(c.form, s);
    EXPECT_EQ(s.defaultMessage, c.message) << c.name;
    EXPECT_EQ(s.uiSpeed, c.speed) << c.name;
    EXPECT_EQ(s.replyMode, c.interval) << c.name;
    EXPECT_EQ(s.liteMode, c.lite) << c.name;
    EXPECT_EQ(formLacksMessage(c.form), c.lacksMessage) << c.name;
  }
}

TEST(ConfigForm, TypedListTextSelectsTheItemItNames) {
  struct Case {
    const char* typed;
    std::optional<int> speed;
  } cases[] = {
      {"Fast", 2},        {"fast", 2},           {"  NORMAL ", 1},         {"Slow", 0},
      {"", std::nullopt}, {"Fas", std::nullopt}, {"Faster", std::nullopt}, {"1", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(listPosition(uiSpeedTexts(), c.typed), c.speed) << '"' << c.typed << '"';
  }
  EXPECT_EQ(listPosition(replyIntervalTexts(), "Do Not Send Any Reply, Just Log..."), 4);
  EXPECT_EQ(listPosition(replyIntervalTexts(), "reply on every alternate msg"), 1);
}

}  // namespace
