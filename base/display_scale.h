// Lengths at a display scale: pictures, slide steps and other pixel sizes are designed for
// 96 dots per inch (100 %) and grow with the scale of the window they are used in.
#pragma once

// The scale every picture and pixel length is drawn for.
constexpr int DESIGN_DPI = 96;

// A length of the 100 % design at this scale, rounded to the nearest pixel. An unknown
// scale (0 or less) counts as 100 %.
int ScaleToDpi(int length, int dpi);

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize& other) const {
    return width == other.width && height == other.height;
  }
};

// How a background picture fills its window.
enum class PictureFit {
  // Scaled as a whole; grown further, keeping its proportions, where the window is larger
  // than the scaled picture (fonts that do not grow exactly with the scale), so that it
  // never repeats.
  Cover,
  // A strip that runs once across the window: as wide as the window where that is wider
  // than the scaled strip, as tall as it is drawn (the strip repeats downwards).
  AcrossWidth,
};

// The size a picture drawn for 100 % is made at for a window of this client size.
PixelSize BackgroundPictureSize(PixelSize picture, int dpi, PixelSize client, PictureFit fit);
