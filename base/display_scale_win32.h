// The display scale of real windows. The per-monitor calls (Windows 10) are looked up when
// first needed, so the program still starts on Windows 7, where the screen's scale holds
// for every window.
#pragma once

#include <windows.h>

// The scale the window is drawn at, in dots per inch (96 = 100 %).
int WindowDpi(HWND window);

// A system metric such as SM_CXICON as it is at this scale.
int SystemMetricForDpi(int index, int dpi);

// After a change of scale (WM_DPICHANGED with its suggested rectangle in lParam): moves
// and sizes the window as suggested and repaints it and its controls, which then take
// their pictures for the new scale. The dialog manager still rescales the controls and
// fonts, so the caller returns FALSE; the window then gets UM_FIT_LABELS, to widen its
// labels for their new fonts.
void TakeSuggestedRect(HWND window, LPARAM suggested);
