// A message hook that a test sets on quorvane.exe's interface thread: from inside the
// program it asks the main window for its icons, or measures a window's labels with their
// own fonts, and hands the answer back through shared memory. (Wine cannot carry
// WM_GETICON from one process to another, nor a control's font.)
#pragma once

#include <windows.h>

// Posted once the hook is set, to the main window or to the window whose labels are to be
// measured: the hook answers it.
constexpr const char* ICON_PROBE_MESSAGE = "Quorvane.IconProbe";
constexpr const char* LABEL_PROBE_MESSAGE = "Quorvane.LabelProbe";
// The shared memory the test creates and the hook fills.
constexpr const char* ICON_PROBE_MEMORY = "Local\\Quorvane.IconProbe";
// The hook's exported name.
constexpr const char* ICON_PROBE_HOOK = "IconProbeHook";

struct IconProbeAnswer {
  LONG answered;    // 1 once the hook has filled in the rest
  LONG bigWidth;    // of the ICON_BIG image, 0 without one
  LONG smallWidth;  // of the ICON_SMALL image, 0 without one
  LONG labels;      // statics and buttons with a text, measured
  char cut[2048];   // those that cannot show their whole text, with their sizes
};
