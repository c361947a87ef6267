// The user's own keyboard and mouse input, as low-level hooks on a thread of their own see it.
#pragma once

#include <cstdint>

// What the watch reads of the user's input: how often it came and when it last came, on
// GetTickCount64's clock.
struct UserInputSeen {
  uint32_t stamp = 0;
  uint64_t lastMs = 0;
};

// Starts the hooks' thread (once); false when the system refuses the hooks, and then
// UserInputSeen stays empty.
bool WatchUserInput();
void StopWatchingUserInput();
bool WatchingUserInput();
UserInputSeen LastUserInput();
