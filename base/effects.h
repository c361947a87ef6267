// The step sequences of fades and slides, apart from the window system, so that the
// opacities, pauses and placements can be checked without a screen.
#pragma once

#include <cstdint>

#include "base/display_scale.h"

enum class DockSide { Left, Right };

// A window being faded: the Win32 side turns these into layered-window calls.
class FadeTarget {
 public:
  virtual ~FadeTarget() = default;
  virtual void makeLayered() = 0;
  virtual void setOpacity(uint8_t alpha) = 0;
  virtual void showAndRepaint() = 0;
  virtual void pause(int ms) = 0;
};

// Opacity 0, 16, ..., 224 with a pause after each, then 255.
void RunFadeIn(FadeTarget& window, int pauseMs);
// Opacity 255, 239, ..., 31 with a pause after each, then 0.
void RunFadeOut(FadeTarget& window, int pauseMs);

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const ScreenRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

// A window being slid: each placement keeps its size and y.
class SlideTarget {
 public:
  virtual ~SlideTarget() = default;
  virtual void placeAt(int x, int y) = 0;
  virtual void pause(int ms) = 0;
};

// The left edge of a window of this width docked at the given side of the anchor.
int DockedLeft(const ScreenRect& anchor, int width, DockSide side);

// Whether a docked window docks again after a change of its display scale. Docked beside its
// anchor, most of a window can lie on a monitor of another scale: it takes that scale and
// size, and docked again at its new size, most of it can lie on the first monitor once more
// (in a band of some 45 pixels at 150 % beside 100 %), and so on for ever. So once a change
// has docked the window again, a change between the same two scales leaves it where the
// system put it, until the anchor moves. Every other change docks it again.
class DockAfterScaleChange {
 public:
  DockAfterScaleChange(int dpi, const ScreenRect& anchor) : dpi_(dpi), anchor_(anchor) {}
  // Called with the anchor's place each time the window docks beside it.
  void docking(const ScreenRect& anchor);
  // The window's scale is now `dpi`: true when it should dock again at its new size.
  bool scaleChanged(int dpi);

 private:
  int dpi_;
  ScreenRect anchor_;
  // The two scales of the last change that docked the window again; 0 when none since the
  // anchor last moved.
  int followedLow_ = 0, followedHigh_ = 0;
};

// Moves the window out from where it is until it is docked, step pixels of the 100 %
// design at a time (none in lite mode), and ends with one placement exactly docked. The
// steps grow with the display scale (dpi), so a slide over the longer distance at a larger
// scale takes as many steps, and as long.
void RunSlideOut(SlideTarget& window, const ScreenRect& anchor, const ScreenRect& start,
                 DockSide side, int step, bool lite, int dpi = DESIGN_DPI);
// Moves the window back behind the anchor in the same steps (none in lite mode).
void RunSlideBack(SlideTarget& window, const ScreenRect& anchor, const ScreenRect& start,
                  DockSide side, int step, bool lite, int dpi = DESIGN_DPI);
