// Lengths and picture sizes at a display scale.
#include "base/display_scale.h"

#include <algorithm>

int ScaleToDpi(int length, int dpi) {
  if (dpi <= 0) dpi = DESIGN_DPI;
  // Rounded half away from zero, as MulDiv does; 64-bit so no product overflows.
  const long long product = static_cast<long long>(length) * dpi;
  const long long half = DESIGN_DPI / 2;
  return static_cast<int>(product >= 0 ? (product + half) / DESIGN_DPI
                                       : -((-product + half) / DESIGN_DPI));
}

namespace {

// a * numerator / denominator, rounded up: a grown length never falls one pixel short.
int scaleUp(int a, int numerator, int denominator) {
  const long long product = static_cast<long long>(a) * numerator;
  return static_cast<int>((product + denominator - 1) / denominator);
}

}  // namespace

PixelSize BackgroundPictureSize(PixelSize picture, int dpi, PixelSize client, PictureFit fit) {
  PixelSize scaled{std::max(1, ScaleToDpi(picture.width, dpi)),
                   std::max(1, ScaleToDpi(picture.height, dpi))};
  if (fit == PictureFit::AcrossWidth) {
    scaled.width = std::max(scaled.width, client.width);
    return scaled;
  }
  // Grow by whichever side falls shorter, the other side in proportion.
  const bool widthShort = client.width > scaled.width;
  const bool heightShort = client.height > scaled.height;
  if (!widthShort && !heightShort) return scaled;
  // client.width / scaled.width against client.height / scaled.height, in integers.
  const bool byWidth = static_cast<long long>(client.width) * scaled.height >=
                       static_cast<long long>(client.height) * scaled.width;
  if (byWidth) {
    return PixelSize{client.width,
                     std::max(scaled.height, scaleUp(scaled.height, client.width, scaled.width))};
  }
  return PixelSize{std::max(scaled.width, scaleUp(scaled.width, client.height, scaled.height)),
                   client.height};
}
