// GDI screenshots of the screen into 24-bit BMP files.
#include "common/screenshot.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string& chosenFolder() {
  static std::string folder = std::string(QV_BUILD_DIR) + "\\shots";
  return folder;
}

// A copy of one area of the screen in a device-independent bitmap with `bitCount` bits a
// pixel, its rows bottom-up or top-down.
class ScreenCopy {
 public:
  ScreenCopy(const RECT& area, WORD bitCount, bool bottomUp) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = bottomUp ? height : -height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = header;
    bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (bitmap_ && bits_) {
      HGDIOBJ old = SelectObject(memory, bitmap_);
      ok_ = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
      SelectObject(memory, old);
      GdiFlush();
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }
  ~ScreenCopy() {
    if (bitmap_) DeleteObject(bitmap_);
  }
  ScreenCopy(const ScreenCopy&) = delete;
  ScreenCopy& operator=(const ScreenCopy&) = delete;

  bool ok() const { return ok_; }
  const void* bits() const { return bits_; }
  BITMAPINFOHEADER header{};

 private:
  HBITMAP bitmap_ = nullptr;
  void* bits_ = nullptr;
  bool ok_ = false;
};

// A shot taken at another display scale than 100 % says so in its name ("dpi144_about"),
// so that the tests run again at that scale never replace the shots taken at 100 %.
std::string fileName(const std::string& name) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi == 96 || name.rfind("dpi", 0) == 0) return name;
  return "dpi" + std::to_string(dpi) + "_" + name;
}

}  // namespace

std::string ScreenshotFolder() {
  CreateDirectoryA(chosenFolder().c_str(), nullptr);
  return chosenFolder();
}

void SetScreenshotFolder(const std::string& folder) {
  chosenFolder() = folder;
}

bool SaveScreenArea(const std::string& name, const RECT& area) {
  ScreenCopy copy(area, 24, true);  // bottom-up, as BMP files store rows
  if (!copy.ok()) return false;
  const DWORD rowSize = (static_cast<DWORD>(copy.header.biWidth) * 3 + 3) & ~3u;
  const DWORD dataSize = rowSize * static_cast<DWORD>(copy.header.biHeight);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + dataSize;
  BITMAPINFOHEADER header = copy.header;
  header.biSizeImage = dataSize;
  std::string path = ScreenshotFolder() + "\\" + fileName(name) + ".bmp";
  FILE* out = std::fopen(path.c_str(), "wb");
  bool ok = out && std::fwrite(&file, sizeof file, 1, out) == 1 &&
            std::fwrite(&header, sizeof header, 1, out) == 1 &&
            std::fwrite(copy.bits(), dataSize, 1, out) == 1;
  if (out) ok = std::fclose(out) == 0 && ok;
  return ok;
}

bool SaveWindowShot(const std::string& name, HWND window, int margin) {
  RECT frame{};
  if (!GetWindowRect(window, &frame)) return false;
  RECT area{std::max(0L, frame.left - margin), std::max(0L, frame.top - margin),
            std::min<LONG>(GetSystemMetrics(SM_CXSCREEN), frame.right + margin),
            std::min<LONG>(GetSystemMetrics(SM_CYSCREEN), frame.bottom + margin)};
  return SaveScreenArea(name, area);
}

bool SaveScreenShot(const std::string& name) {
  RECT all{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return SaveScreenArea(name, all);
}

std::vector<COLORREF> CaptureScreenPixels(const RECT& area) {
  std::vector<COLORREF> pixels;
  ScreenCopy copy(area, 32, false);
  if (!copy.ok()) return pixels;
  const int count = copy.header.biWidth * -copy.header.biHeight;
  const auto* p = static_cast<const unsigned char*>(copy.bits());  // B, G, R, unused
  pixels.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i, p += 4) pixels.push_back(RGB(p[2], p[1], p[0]));
  return pixels;
}
