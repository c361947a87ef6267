// What every companion window and input dialog answers alike: its background picture
// with the static texts over it, re-docking when the main window moves, and forgetting
// its handle when it goes.
#pragma once

#include <windows.h>

#include "base/effects.h"  // DockSide

struct CompanionStyle {
  int bitmapId = 0;                    // the background picture
  COLORREF textColour = RGB(0, 0, 0);  // static texts over it
  HWND* handle = nullptr;              // where the window's handle is kept; null for dialogs
  HWND (*anchor)() = nullptr;          // the window it docks beside; null when it never docks
  DockSide side = DockSide::Right;
};

// Handles WM_CTLCOLORDLG, WM_CTLCOLORSTATIC and UM_MAIN_WINDOW_MOVED for the window and
// returns true with the procedure's answer in `result`. On WM_DPICHANGED it takes the
// suggested size and re-docks, and returns false so the dialog manager rescales the
// controls. On WM_DESTROY it clears the kept handle if it is this window's and returns
// false, so the procedure can add its own.
bool HandleCompanionMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            const CompanionStyle& style, INT_PTR& result);
