// A message hook that a test sets on quorvane.exe's interface thread: it asks the main
// window for its icons from inside the program and hands their sizes back through shared
// memory. (Wine cannot carry WM_GETICON from one process to another.)
#pragma once

#include <windows.h>

// Posted to the main window once the hook is set: the hook answers it.
constexpr const char* ICON_PROBE_MESSAGE = "Quorvane.IconProbe";
// The shared memory the test creates and the hook fills.
constexpr const char* ICON_PROBE_MEMORY = "Local\\Quorvane.IconProbe";
// The hook's exported name.
constexpr const char* ICON_PROBE_HOOK = "IconProbeHook";

struct IconProbeAnswer {
  LONG answered;    // 1 once the hook has filled in the rest
  LONG bigWidth;    // of the ICON_BIG image, 0 without one
  LONG smallWidth;  // of the ICON_SMALL image, 0 without one
};
