// The shared look: fades, slides and docking of companion windows, background brushes.
#pragma once

#include <windows.h>

#include "base/display_scale.h"  // PixelSize
#include "base/effects.h"        // DockSide and the step sequences

// Fades run on the interface thread and return when done; callers skip them in lite mode.
void FadeIn(HWND window);
void FadeOut(HWND window);
// Ends a modal dialog, fading it out first unless the look is lite.
void EndDialogFading(HWND dialog, INT_PTR result);

// A companion window slides out from behind its anchor and docks at its side, or slides
// back behind it and is destroyed, in steps that grow with the window's display scale. In
// lite mode the first docks at once and the second destroys at once.
// Beside an anchor that is out of sight (hidden, or minimised: its frame then lies far off
// the screen) nothing slides or docks, and nothing is shown; a window closing there is
// destroyed at once. The anchor's next move, when it is restored, docks it and shows it.
void SlideOut(HWND window, HWND anchor, DockSide side);
void SlideBack(HWND window, HWND anchor, DockSide side);
// Places a docked window beside its anchor again, top edges level (after a move).
void Redock(HWND window, HWND anchor, DockSide side);
// Shown and not minimised.
bool OnScreen(HWND window);
// The window's frame on the screen.
ScreenRect WindowScreenRect(HWND window);

// A window's background picture (IDB_MAIN, ...) as a pattern brush, made for the window's
// display scale and size from the picture drawn for 100 %: the main window's strip runs
// once across its width, every other picture is shown whole and never repeats. Brushes
// are made on first use and kept. Null when the picture is not loaded (lite look since
// start).
struct WindowBackground {
  HBRUSH brush = nullptr;
  PixelSize size;  // of the brush's picture
};
WindowBackground BackgroundFor(int bitmapId, HWND window);
HBRUSH BackgroundBrush(int bitmapId, HWND window);
// Loads the main window's picture; the entry point calls it before the window exists.
void LoadMainBackground();
// Loads the pictures of every window but the main one (the main one exists from start).
void LoadBackgrounds();
// True while the lite look is on.
bool LiteMode();
