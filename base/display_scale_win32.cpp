// Display scales of real windows, with the newer calls found at run time.
#include "base/display_scale_win32.h"

#include "base/display_scale.h"
#include "resources/resource.h"

namespace {

template <typename Fn>
Fn userCall(const char* name) {
  HMODULE user = GetModuleHandleA("user32.dll");
  return user ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

int screenDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : DESIGN_DPI;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : DESIGN_DPI;
}

}  // namespace

int WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = userCall<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && window) {
    UINT dpi = getDpiForWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return screenDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
  static const auto forDpi = userCall<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
  return GetSystemMetrics(index);
}

void TakeSuggestedRect(HWND window, LPARAM suggested) {
  const RECT* r = reinterpret_cast<const RECT*>(suggested);
  if (r) {
    SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  PostMessageA(window, UM_FIT_LABELS, 0, 0);
}
