// The handling that the companion windows' procedures share.
#include "base/companion_window_win32.h"

#include "base/dialog_controls_win32.h"
#include "base/display_scale_win32.h"
#include "base/effects_win32.h"
#include "base/shared_state.h"

bool HandleCompanionMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            const CompanionStyle& style, INT_PTR& result) {
  switch (message) {
    case WM_CTLCOLORDLG:
      result = DialogBackground(BackgroundBrush(style.bitmapId, window));
      return true;
    case WM_CTLCOLORSTATIC:
      result = StaticColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), window,
                            BackgroundBrush(style.bitmapId, window), style.textColour);
      return true;
    case UM_MAIN_WINDOW_MOVED:
      if (!style.anchor) return false;
      if (HWND anchor = style.anchor()) Redock(window, anchor, style.side);
      result = TRUE;
      return true;
    case WM_DPICHANGED:
      // Moved to a monitor of another scale: re-dock once the dialog manager has resized
      // it, which the posted message waits for.
      TakeSuggestedRect(window, lParam);
      if (style.anchor) PostMessageA(window, UM_MAIN_WINDOW_MOVED, 0, 0);
      return false;
    case WM_DESTROY:
      if (style.handle && *style.handle == window) *style.handle = nullptr;
      return false;
  }
  return false;
}
