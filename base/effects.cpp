// Fades and slides as sequences of opacities, pauses and placements.
#include "base/effects.h"

#include <algorithm>

namespace {

// A slide step of 0 or less would never reach the docking edge.
int usableStep(int step) {
  return step > 0 ? step : 1;
}

void pauseIfAny(FadeTarget& window, int ms) {
  if (ms > 0) window.pause(ms);
}

}  // namespace

void RunFadeIn(FadeTarget& window, int pauseMs) {
  window.makeLayered();
  window.setOpacity(0);
  window.showAndRepaint();
  for (int alpha = 0; alpha <= 224; alpha += 16) {
    window.setOpacity(static_cast<uint8_t>(alpha));
    pauseIfAny(window, pauseMs);
  }
  window.setOpacity(255);
}

void RunFadeOut(FadeTarget& window, int pauseMs) {
  window.makeLayered();
  window.setOpacity(255);
  window.showAndRepaint();
  for (int alpha = 255; alpha >= 31; alpha -= 16) {
    window.setOpacity(static_cast<uint8_t>(alpha));
    pauseIfAny(window, pauseMs);
  }
  window.setOpacity(0);
}

int DockedLeft(const ScreenRect& anchor, int width, DockSide side) {
  return side == DockSide::Right ? anchor.right : anchor.left - width;
}

void DockAfterScaleChange::docking(const ScreenRect& anchor) {
  if (!(anchor == anchor_)) followedLow_ = followedHigh_ = 0;
  anchor_ = anchor;
}

bool DockAfterScaleChange::scaleChanged(int dpi) {
  const int low = std::min(dpi_, dpi);
  const int high = std::max(dpi_, dpi);
  dpi_ = dpi;
  if (low == followedLow_ && high == followedHigh_) return false;
  followedLow_ = low;
  followedHigh_ = high;
  return true;
}

void RunSlideOut(SlideTarget& window, const ScreenRect& anchor, const ScreenRect& start,
                 DockSide side, int step, bool lite, int dpi) {
  const int width = start.width();
  const int y = start.top;
  step = usableStep(step);
  if (!lite) {
    // The k-th placement lies k steps from the start, scaled as a whole so that the
    // rounding of one step does not add up over the slide.
    for (int k = 0;; ++k) {
      const int moved = ScaleToDpi(k * step, dpi);
      const int x = side == DockSide::Right ? start.left + moved : start.left - moved;
      if (side == DockSide::Right ? x >= anchor.right : x + width <= anchor.left) break;
      window.pause(1);
      window.placeAt(x, y);
    }
  }
  window.placeAt(DockedLeft(anchor, width, side), y);
}

void RunSlideBack(SlideTarget& window, const ScreenRect& anchor, const ScreenRect& start,
                  DockSide side, int step, bool lite, int dpi) {
  if (lite) return;
  const int width = start.width();
  const int y = start.top;
  step = usableStep(step);
  for (int k = 0;; ++k) {
    const int moved = ScaleToDpi(k * step, dpi);
    const int x = side == DockSide::Right ? start.left - moved : start.left + moved;
    if (side == DockSide::Right ? x + width <= anchor.right : x >= anchor.left) break;
    window.pause(1);
    window.placeAt(x, y);
  }
}
