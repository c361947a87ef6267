// Fades, slides and background brushes on real windows.
#include "base/effects_win32.h"

#include <map>
#include <tuple>

#include "base/dialog_controls_win32.h"
#include "base/display_scale_win32.h"
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

// The pictures as loaded, drawn for 100 %, and the brushes made from them, one per
// picture and size, kept with their bitmaps until the process ends (a window of one kind
// has one size at each scale, so there are few).
struct Picture {
  HBITMAP bitmap = nullptr;
  PixelSize size;
};
struct MadeBrush {
  HBITMAP picture = nullptr;
  HBRUSH brush = nullptr;
};
std::map<int, Picture>& pictures() {
  static std::map<int, Picture> loaded;
  return loaded;
}
std::map<std::tuple<int, int, int>, MadeBrush>& brushes() {
  static std::map<std::tuple<int, int, int>, MadeBrush> made;
  return made;
}

void loadPicture(int bitmapId) {
  if (pictures().count(bitmapId)) return;
  HBITMAP bitmap = LoadBitmapA(ResourceModule(), MAKEINTRESOURCEA(bitmapId));
  BITMAP size{};
  if (bitmap && GetObjectA(bitmap, sizeof size, &size)) {
    pictures()[bitmapId] = Picture{bitmap, PixelSize{size.bmWidth, size.bmHeight}};
  } else if (bitmap) {
    DeleteObject(bitmap);
  }
}

// The picture at the size: itself at its own size, else smoothly scaled (HALFTONE).
HBITMAP drawPicture(const Picture& picture, PixelSize size) {
  if (size == picture.size) return picture.bitmap;
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  HBITMAP scaled = CreateCompatibleBitmap(screen, size.width, size.height);
  HGDIOBJ oldFrom = SelectObject(from, picture.bitmap);
  HGDIOBJ oldTo = SelectObject(to, scaled);
  SetStretchBltMode(to, HALFTONE);
  SetBrushOrgEx(to, 0, 0, nullptr);  // HALFTONE needs the origin set after the mode
  StretchBlt(to, 0, 0, size.width, size.height, from, 0, 0, picture.size.width, picture.size.height,
             SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(nullptr, screen);
  return scaled;
}

}  // namespace

ScreenRect WindowScreenRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return ScreenRect{r.left, r.top, r.right, r.bottom};
}

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

bool OnScreen(HWND window) {
  return IsWindowVisible(window) && !IsIconic(window);
}

void SlideOut(HWND window, HWND anchor, DockSide side) {
  if (!OnScreen(anchor)) return;
  SlidingWindow target(window);
  RunSlideOut(target, WindowScreenRect(anchor), WindowScreenRect(window), side,
              CurrentUiTiming.slideStep, LiteMode(), WindowDpi(window));
}

void SlideBack(HWND window, HWND anchor, DockSide side) {
  SlidingWindow target(window);
  if (OnScreen(anchor))
    RunSlideBack(target, WindowScreenRect(anchor), WindowScreenRect(window), side,
                 CurrentUiTiming.slideStep, LiteMode(), WindowDpi(window));
  DestroyWindow(window);
}

void Redock(HWND window, HWND anchor, DockSide side) {
  if (!OnScreen(anchor)) return;
  ScreenRect a = WindowScreenRect(anchor);
  ScreenRect w = WindowScreenRect(window);
  SlidingWindow target(window);
  target.placeAt(DockedLeft(a, w.width(), side), a.top);
}

WindowBackground BackgroundFor(int bitmapId, HWND window) {
  auto picture = pictures().find(bitmapId);
  if (picture == pictures().end()) return {};
  RECT client{};
  GetClientRect(window, &client);
  const PictureFit fit = bitmapId == IDB_MAIN ? PictureFit::AcrossWidth : PictureFit::Cover;
  const PixelSize size = BackgroundPictureSize(picture->second.size, WindowDpi(window),
                                               PixelSize{client.right, client.bottom}, fit);
  MadeBrush& made = brushes()[std::make_tuple(bitmapId, size.width, size.height)];
  if (!made.brush) {
    if (!made.picture) made.picture = drawPicture(picture->second, size);
    if (made.picture) made.brush = CreatePatternBrush(made.picture);
  }
  return WindowBackground{made.brush, size};
}

HBRUSH BackgroundBrush(int bitmapId, HWND window) {
  return BackgroundFor(bitmapId, window).brush;
}

void LoadMainBackground() {
  loadPicture(IDB_MAIN);
}

void LoadBackgrounds() {
  for (int id : {IDB_MEMBERS, IDB_USER_ID, IDB_GROUP_INFO, IDB_MESSAGE_LOG, IDB_GROUPS, IDB_CONFIG,
                 IDB_NOTE_INFO, IDB_NOTE_ERROR, IDB_NOTE_CAUTION, IDB_NOTE_MESSAGE, IDB_ABOUT})
    loadPicture(id);
}

bool LiteMode() {
  return LiteLook;
}
