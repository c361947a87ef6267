// Finding another process's windows: its top-level windows in stacking order, top first.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// The process's top-level windows that pass `wanted` (every one when it is empty).
inline std::vector<HWND> TopWindowsOf(DWORD processId,
                                      const std::function<bool(HWND)>& wanted = {}) {
  struct Search {
    DWORD processId;
    const std::function<bool(HWND)>& wanted;
    std::vector<HWND> found;
  } search{processId, wanted, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->processId && (!s->wanted || s->wanted(window))) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}
