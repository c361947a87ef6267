// The shared look: fades, slides and docking of companion windows, background brushes.
#pragma once

#include <windows.h>

#include "base/effects.h"  // DockSide and the step sequences

// Fades run on the interface thread and return when done; callers skip them in lite mode.
void FadeIn(HWND window);
void FadeOut(HWND window);
// Ends a modal dialog, fading it out first unless the look is lite.
void EndDialogFading(HWND dialog, INT_PTR result);

// A companion window slides out from behind its anchor and docks at its side, or slides
// back behind it and is destroyed. In lite mode the first docks at once and the second
// destroys at once.
void SlideOut(HWND window, HWND anchor, DockSide side);
void SlideBack(HWND window, HWND anchor, DockSide side);
// Places a docked window beside its anchor again, top edges level (after a move).
void Redock(HWND window, HWND anchor, DockSide side);

// The pattern brush made from a background bitmap (IDB_MAIN, ...); null if not made.
HBRUSH BackgroundBrush(int bitmapId);
// Makes the main window's brush; the entry point calls it before the window exists.
void LoadMainBackground();
// Widens the main window's strip to the window's client width when the window is wider
// than the picture, so the gradient runs once across without a seam.
void FitMainBackground(HWND mainWindow);
// Makes the brushes of every window but the main one (the main one exists from start).
void LoadBackgrounds();
// True while the lite look is on.
bool LiteMode();
