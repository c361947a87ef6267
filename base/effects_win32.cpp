// Fades, slides and background brushes on real windows.
#include "base/effects_win32.h"

#include <map>

#include "base/dialog_controls_win32.h"
#include "base/shared_state.h"
#include "resources/resource.h"

namespace {

class LayeredWindow : public FadeTarget {
 public:
  explicit LayeredWindow(HWND window) : window_(window) {}
  void makeLayered() override {
    LONG_PTR style = GetWindowLongPtrA(window_, GWL_EXSTYLE);
    SetWindowLongPtrA(window_, GWL_EXSTYLE, style | WS_EX_LAYERED);
  }
  void setOpacity(uint8_t alpha) override {
    SetLayeredWindowAttributes(window_, 0, alpha, LWA_ALPHA);
  }
  void showAndRepaint() override {
    // A window that must not take the keyboard (a popup) is shown without activation.
    bool quiet = GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_NOACTIVATE;
    ShowWindow(window_, quiet ? SW_SHOWNA : SW_SHOW);
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  void pause(int ms) override { Sleep(static_cast<DWORD>(ms)); }

 private:
  HWND window_;
};

class SlidingWindow : public SlideTarget {
 public:
  explicit SlidingWindow(HWND window) : window_(window) {}
  // Just behind its owner, the main window, shown, without taking the focus or moving
  // the owner.
  void placeAt(int x, int y) override {
    SetWindowPos(window_, GetWindow(window_, GW_OWNER), x, y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
    // The interface thread is busy sliding, so paint now rather than show a blank frame.
    UpdateWindow(window_);
  }
  void pause(int ms) override { Sleep(static_cast<DWORD>(ms)); }

 private:
  HWND window_;
};

ScreenRect screenRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return ScreenRect{r.left, r.top, r.right, r.bottom};
}

// Bitmaps and brushes are made once and kept until the process ends.
std::map<int, HBRUSH>& brushes() {
  static std::map<int, HBRUSH> made;
  return made;
}

void makeBrush(int bitmapId) {
  if (brushes().count(bitmapId)) return;
  HBITMAP bitmap = LoadBitmapA(ResourceModule(), MAKEINTRESOURCEA(bitmapId));
  if (!bitmap) return;
  HBRUSH brush = CreatePatternBrush(bitmap);
  if (brush) brushes()[bitmapId] = brush;
}

}  // namespace

void FadeIn(HWND window) {
  LayeredWindow target(window);
  RunFadeIn(target, fadeStepPauseMs(CurrentUiTiming));
}

void FadeOut(HWND window) {
  LayeredWindow target(window);
  RunFadeOut(target, fadeStepPauseMs(CurrentUiTiming));
}

void EndDialogFading(HWND dialog, INT_PTR result) {
  if (!LiteMode()) FadeOut(dialog);
  EndDialog(dialog, result);
}

void SlideOut(HWND window, HWND anchor, DockSide side) {
  SlidingWindow target(window);
  RunSlideOut(target, screenRect(anchor), screenRect(window), side, CurrentUiTiming.slideStep,
              LiteMode());
}

void SlideBack(HWND window, HWND anchor, DockSide side) {
  SlidingWindow target(window);
  RunSlideBack(target, screenRect(anchor), screenRect(window), side, CurrentUiTiming.slideStep,
               LiteMode());
  DestroyWindow(window);
}

void Redock(HWND window, HWND anchor, DockSide side) {
  ScreenRect a = screenRect(anchor);
  ScreenRect w = screenRect(window);
  SlidingWindow target(window);
  target.placeAt(DockedLeft(a, w.width(), side), a.top);
}

HBRUSH BackgroundBrush(int bitmapId) {
  auto found = brushes().find(bitmapId);
  return found == brushes().end() ? nullptr : found->second;
}

void LoadMainBackground() {
  makeBrush(IDB_MAIN);
}

void FitMainBackground(HWND mainWindow) {
  RECT client{};
  GetClientRect(mainWindow, &client);
  HBITMAP strip = LoadBitmapA(ResourceModule(), MAKEINTRESOURCEA(IDB_MAIN));
  BITMAP size{};
  if (!strip || !GetObjectA(strip, sizeof size, &size) || client.right <= size.bmWidth) {
    if (strip) DeleteObject(strip);
    return;
  }
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  HBITMAP wide = CreateCompatibleBitmap(screen, client.right, size.bmHeight);
  HGDIOBJ oldFrom = SelectObject(from, strip);
  HGDIOBJ oldTo = SelectObject(to, wide);
  SetStretchBltMode(to, HALFTONE);
  StretchBlt(to, 0, 0, client.right, size.bmHeight, from, 0, 0, size.bmWidth, size.bmHeight,
             SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(nullptr, screen);
  DeleteObject(strip);
  HBRUSH brush = CreatePatternBrush(wide);
  if (brush) {
    // The old brush is not selected anywhere between paints, so it can go.
    HBRUSH old = BackgroundBrush(IDB_MAIN);
    brushes()[IDB_MAIN] = brush;
    if (old) DeleteObject(old);
  }
}

void LoadBackgrounds() {
  for (int id : {IDB_MEMBERS, IDB_USER_ID, IDB_GROUP_INFO, IDB_MESSAGE_LOG, IDB_GROUPS, IDB_CONFIG,
                 IDB_NOTE_INFO, IDB_NOTE_ERROR, IDB_NOTE_CAUTION, IDB_NOTE_MESSAGE, IDB_ABOUT})
    makeBrush(id);
}

bool LiteMode() {
  return LiteLook;
}
