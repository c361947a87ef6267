// Lengths, slide steps and picture sizes at the display scales users have.
#include "base/display_scale.h"

#include <gtest/gtest.h>

#include "base/effects.h"

namespace {

const int SCALES[] = {96, 120, 144, 168, 192, 288};

TEST(DisplayScale, LengthsGrowWithTheScaleRoundedToWholePixels) {
  const struct {
    int length, dpi, expected;
  } cases[] = {{241, 96, 241}, {61, 144, 92}, {10, 120, 13},  {10, 192, 20},
               {1, 144, 2},    {273, 0, 273}, {-10, 144, -15}};
  for (const auto& c : cases)
    EXPECT_EQ(ScaleToDpi(c.length, c.dpi), c.expected) << c.length << " at " << c.dpi;
}

// Counts the steps of a slide: each placement but the last follows a pause.
class CountingSlide : public SlideTarget {
 public:
  void placeAt(int, int) override {}
  void pause(int) override { ++pauses; }
  int pauses = 0;
};

TEST(DisplayScale, SlideTakesAsManyStepsAtEveryScale) {
  for (int step : {1, 10, 25}) {  // the three UI speeds
    int atDesign = 0;
    for (int dpi : SCALES) {
      // A 122-pixel window sliding out from behind a 279-pixel main window, both scaled.
      const int left = ScaleToDpi(300, dpi);
      const ScreenRect anchor{left, 0, left + ScaleToDpi(279, dpi), ScaleToDpi(400, dpi)};
      const ScreenRect start{left, 0, left + ScaleToDpi(122, dpi), ScaleToDpi(400, dpi)};
      CountingSlide slide;
      RunSlideOut(slide, anchor, start, DockSide::Right, step, false, dpi);
      if (dpi == DESIGN_DPI) atDesign = slide.pauses;
      EXPECT_NEAR(slide.pauses, atDesign, 1) << "step " << step << " at " << dpi;
    }
  }
}

TEST(DisplayScale, PictureIsScaledAndNeverSmallerThanTheWindow) {
  const struct {
    const char* name;
    PixelSize picture;
    int dpi;
    PixelSize client;
    PictureFit fit;
    PixelSize expected;
  } cases[] = {
      {"popup at 100 %", {274, 61}, 96, {233, 57}, PictureFit::Cover, {274, 61}},
      {"popup at 150 %", {274, 61}, 144, {349, 83}, PictureFit::Cover, {411, 92}},
      {"box wider than the scaled picture",
       {273, 348},
       144,
       {489, 471},
       PictureFit::Cover,
       {489, 623}},
      {"box taller than the scaled picture",
       {200, 100},
       96,
       {150, 130},
       PictureFit::Cover,
       {260, 130}},
      {"strip across a wider window", {241, 1}, 144, {419, 650}, PictureFit::AcrossWidth, {419, 2}},
      {"strip across a narrower window",
       {241, 1},
       192,
       {300, 800},
       PictureFit::AcrossWidth,
       {482, 2}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BackgroundPictureSize(c.picture, c.dpi, c.client, c.fit), c.expected) << c.name;
  }
  // Whatever the window's size, a covering picture keeps its proportions and leaves no
  // part of the window to a second copy.
  for (int dpi : SCALES) {
    for (PixelSize client : {PixelSize{100, 500}, PixelSize{500, 100}, PixelSize{330, 320}}) {
      const PixelSize picture{273, 348};
      const PixelSize made = BackgroundPictureSize(picture, dpi, client, PictureFit::Cover);
      EXPECT_GE(made.width, client.width) << dpi;
      EXPECT_GE(made.height, client.height) << dpi;
      EXPECT_NEAR(made.width * picture.height, made.height * picture.width,
                  picture.width + picture.height)
          << dpi << ": " << made.width << "x" << made.height;
    }
  }
}

}  // namespace
