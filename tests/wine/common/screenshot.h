// Screenshots taken from inside a test program: the screen (or a part of it) copied with
// GDI into a 24-bit BMP file below the build folder, for people to look at.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The folder the shots go to: QV_BUILD_DIR\shots unless another was set (made if
// missing).
std::string ScreenshotFolder();
void SetScreenshotFolder(const std::string& folder);

// Saves the screen area into <folder>\<name>.bmp, the name led by the display scale
// ("dpi144_") unless it is 100 % or the name starts with "dpi"; false when it could not
// be written.
bool SaveScreenArea(const std::string& name, const RECT& area);
// The window's frame with a margin around it, clipped to the screen.
bool SaveWindowShot(const std::string& name, HWND window, int margin = 8);
// The whole screen.
bool SaveScreenShot(const std::string& name);

// The colours of the screen area, row by row from the top (empty on failure), for tests
// that look at what a window shows.
std::vector<COLORREF> CaptureScreenPixels(const RECT& area);
