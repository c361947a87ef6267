// Fades and slides as the window sees them.
#include "base/effects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every call as one line of text, so a whole sequence compares at once.
class RecordingFade : public FadeTarget {
 public:
  void makeLayered() override { calls.push_back("layered"); }
  void setOpacity(uint8_t alpha) override { calls.push_back("alpha " + std::to_string(alpha)); }
  void showAndRepaint() override { calls.push_back("show"); }
  void pause(int ms) override { calls.push_back("pause " + std::to_string(ms)); }

  std::vector<int> opacities() const {
    std::vector<int> values;
    for (const std::string& c : calls)
      if (c.rfind("alpha ", 0) == 0) values.push_back(std::stoi(c.substr(6)));
    return values;
  }
  int pauses() const {
    int n = 0;
    for (const std::string& c : calls) n += c.rfind("pause ", 0) == 0;
    return n;
  }
  std::vector<std::string> calls;
};

std::vector<int> steps(int from, int to, int by) {
  std::vector<int> v;
  for (int a = from; by > 0 ? a <= to : a >= to; a += by) v.push_back(a);
  return v;
}

TEST(Fades, OpacitySequencesEndFullyOpaqueOrFullyClear) {
  struct Case {
    const char* name;
    void (*run)(FadeTarget&, int);
    std::vector<int> expected;
  };
  std::vector<int> in{0};  // set before the window is shown
  for (int a : steps(0, 224, 16)) in.push_back(a);
  in.push_back(255);
  std::vector<int> out{255};
  for (int a : steps(255, 31, -16)) out.push_back(a);
  out.push_back(0);
  const Case cases[] = {{"fade in", RunFadeIn, in}, {"fade out", RunFadeOut, out}};
  for (const Case& c : cases) {
    RecordingFade window;
    c.run(window, 16);
    EXPECT_EQ(window.opacities(), c.expected) << c.name;
    EXPECT_EQ(window.pauses(), 15) << c.name;
    ASSERT_GE(window.calls.size(), 3u) << c.name;
    EXPECT_EQ(window.calls[0], "layered") << c.name;
    EXPECT_EQ(window.calls[2], "show") << c.name;
  }
}

TEST(Fades, PauseFollowsEachPausedStepAndNotTheLast) {
  RecordingFade window;
  RunFadeIn(window, 64);
  // ..., alpha 224, pause 64, alpha 255: the full opacity is not followed by a wait.
  ASSERT_GE(window.calls.size(), 3u);
  EXPECT_EQ(window.calls.back(), "alpha 255");
  EXPECT_EQ(window.calls[window.calls.size() - 2], "pause 64");
  EXPECT_EQ(window.calls[window.calls.size() - 3], "alpha 224");
}

TEST(Fades, FastSpeedSetsEveryOpacityWithoutWaiting) {
  for (auto run : {RunFadeIn, RunFadeOut}) {
    RecordingFade window;
    run(window, 0);
    EXPECT_EQ(window.opacities().size(), 17u);
    EXPECT_EQ(window.pauses(), 0);
  }
}

class RecordingSlide : public SlideTarget {
 public:
  void placeAt(int x, int y) override { places.push_back({x, y}); }
  void pause(int ms) override { pauses.push_back(ms); }
  struct Place {
    int x, y;
  };
  std::vector<Place> places;
  std::vector<int> pauses;
};

// The anchor spans x 100..300; the companion is 120 wide and starts behind it.
const ScreenRect ANCHOR{100, 50, 300, 450};
const ScreenRect BEHIND{103, 80, 223, 380};

TEST(Slides, OutEndsExactlyDockedWhateverTheStep) {
  struct Case {
    const char* name;
    DockSide side;
    int step;
    int dockedX;
  } cases[] = {
      {"right, slow", DockSide::Right, 1, 300},        {"right, normal", DockSide::Right, 10, 300},
      {"right, fast", DockSide::Right, 25, 300},       {"left, slow", DockSide::Left, 1, -20},
      {"left, normal", DockSide::Left, 10, -20},       {"left, fast", DockSide::Left, 25, -20},
      {"right, broken step", DockSide::Right, 0, 300},
  };
  for (const Case& c : cases) {
    RecordingSlide window;
    RunSlideOut(window, ANCHOR, BEHIND, c.side, c.step, false);
    ASSERT_FALSE(window.places.empty()) << c.name;
    EXPECT_EQ(window.places.back().x, c.dockedX) << c.name;
    for (const auto& p : window.places) EXPECT_EQ(p.y, BEHIND.top) << c.name;
    // One 1 ms pause before every placement but the final docked one.
    EXPECT_EQ(window.pauses.size(), window.places.size() - 1) << c.name;
    for (size_t i = 0; i + 1 < window.places.size(); ++i) {
      int moved = window.places[i].x - BEHIND.left;
      int expected = static_cast<int>(i) * (c.step > 0 ? c.step : 1);
      EXPECT_EQ(c.side == DockSide::Right ? moved : -moved, expected) << c.name << " step " << i;
    }
  }
}

TEST(Slides, OutStepsStopAtTheDockingEdge) {
  // Right side: the last moving placement is still left of the anchor's right edge.
  RecordingSlide window;
  RunSlideOut(window, ANCHOR, BEHIND, DockSide::Right, 25, false);
  ASSERT_GE(window.places.size(), 2u);
  EXPECT_LT(window.places[window.places.size() - 2].x, ANCHOR.right);
  EXPECT_EQ(window.places.size(), 9u);  // 103, 128, ..., 278, then 300
}

TEST(Slides, LiteLookDocksAtOnceAndSlidesNothingBack) {
  RecordingSlide out;
  RunSlideOut(out, ANCHOR, BEHIND, DockSide::Left, 10, true);
  ASSERT_EQ(out.places.size(), 1u);
  EXPECT_EQ(out.places[0].x, -20);
  EXPECT_TRUE(out.pauses.empty());

  RecordingSlide back;
  RunSlideBack(back, ANCHOR, ScreenRect{300, 50, 420, 350}, DockSide::Right, 10, true);
  EXPECT_TRUE(back.places.empty());
}

TEST(Slides, BackMovesTowardsTheAnchorUntilHidden) {
  struct Case {
    const char* name;
    DockSide side;
    ScreenRect docked;
    std::vector<int> xs;
  } cases[] = {
      {"right", DockSide::Right, {300, 50, 420, 350}, {300, 250, 200}},
      {"left", DockSide::Left, {-20, 50, 100, 350}, {-20, 30, 80}},
  };
  for (const Case& c : cases) {
    RecordingSlide window;
    RunSlideBack(window, ANCHOR, c.docked, c.side, 50, false);
    std::vector<int> xs;
    for (const auto& p : window.places) xs.push_back(p.x);
    EXPECT_EQ(xs, c.xs) << c.name;
  }
}

TEST(Docking, LeftOrRightOfTheAnchor) {
  EXPECT_EQ(DockedLeft(ANCHOR, 120, DockSide::Right), 300);
  EXPECT_EQ(DockedLeft(ANCHOR, 120, DockSide::Left), -20);
}

// Two monitors side by side, one scale left of x = 1000, another from there on; a window
// takes the scale of the monitor holding most of it. A companion 180 pixels wide at 100 %
// docks beside an anchor 280 wide whose docking edge runs across the monitors' edge, then the
// user moves the anchor a pixel down. Each time the companion docks once more after the
// change of scale that docking caused, and no more: in the band of 45 pixels where it hangs
// from the higher scale's monitor over the lower one, it used to flip for ever.
TEST(Docking, ChangesOfScaleBetweenTwoMonitorsEndWithinTwoDockings) {
  const struct {
    int leftDpi, rightDpi;
    DockSide side;
    int band;
  } cases[] = {{144, 96, DockSide::Right, 45},
               {96, 144, DockSide::Left, 45},
               {96, 144, DockSide::Right, 0},
               {144, 96, DockSide::Left, 0}};
  for (const auto& c : cases) {
    auto dpiOf = [&](int left, int width) {
      return 2 * left + width < 2000 ? c.leftDpi : c.rightDpi;
    };
    int band = 0;
    for (int edge = 600; edge <= 1400; ++edge) {
      const int left = c.side == DockSide::Right ? edge - 280 : edge;
      int dpi = dpiOf(left, 280);
      DockAfterScaleChange redock(dpi, ScreenRect{});
      for (int top : {0, 1}) {
        const ScreenRect anchor{left, top, left + 280, top + 400};
        int dockings = 0;
        for (bool dock = true; dock && dockings < 20; ++dockings) {
          redock.docking(anchor);
          const int width = ScaleToDpi(180, dpi);
          const int now = dpiOf(DockedLeft(anchor, width, c.side), width);
          dock = now != dpi && redock.scaleChanged(now);
          band += now != dpi && !dock && dockings == 1;
          dpi = now;
        }
        EXPECT_LE(dockings, 2) << edge;
      }
    }
    EXPECT_EQ(band, 2 * c.band) << c.leftDpi << " beside " << c.rightDpi;
  }
}

}  // namespace
