// Waiting in a test for something another thread or program does.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Checks until the check holds or the time is up, doing `between` (a message pump, say)
// and pausing stepMs after each failed check; true if it held.
inline bool waitUntil(const std::function<bool()>& check, int timeoutMs, int stepMs = 20,
                      const std::function<void()>& between = {}) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (check()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    if (between) between();
    std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
  }
}
