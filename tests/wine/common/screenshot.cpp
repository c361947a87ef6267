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
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
    SelectObject(memory, old);
    GdiFlush();
  }
  if (ok) {
    const DWORD rowSize = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD dataSize = rowSize * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + dataSize;
    info.bmiHeader.biSizeImage = dataSize;
    std::string path = ScreenshotFolder() + "\\" + fileName(name) + ".bmp";
    FILE* out = std::fopen(path.c_str(), "wb");
    ok = out && std::fwrite(&file, sizeof file, 1, out) == 1 &&
         std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
         std::fwrite(bits, dataSize, 1, out) == 1;
    if (out) ok = std::fclose(out) == 0 && ok;
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
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
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  std::vector<COLORREF> pixels;
  if (width <= 0 || height <= 0) return pixels;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
      GdiFlush();
      const auto* p = static_cast<const unsigned char*>(bits);  // B, G, R, unused
      pixels.reserve(static_cast<size_t>(width) * height);
      for (int i = 0; i < width * height; ++i, p += 4) pixels.push_back(RGB(p[2], p[1], p[0]));
    }
    SelectObject(memory, old);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}
