// Which keyboard and mouse events are the user's own, and the idle time between two clock
// readings that may not come in order.
#pragma once

#include <cstdint>

enum class InputKind {
  Key,     // a key goes down or up
  Button,  // a mouse button or the wheel
  Move,    // the pointer moves, or the system says it did
};

// Some systems (Wine) report a pointer move to where the pointer already is whenever a
// window opens under a resting pointer or a program lets go of the mouse capture, as the
// chat client's Send button does when Quorvane clicks it. Only a move that changes the
// pointer's position is the user's; keys, buttons and the wheel always are. The first move
// seen only tells where the pointer is: the system's own idea of it may differ from the one
// it reports at first.
class UserInputFilter {
 public:
  bool isUsers(InputKind kind, int32_t x, int32_t y);

 private:
  bool known_ = false;
  int32_t x_ = 0;
  int32_t y_ = 0;
};

// Milliseconds from `since` to `now` on the 32-bit tick count, which wraps every 49.7 days.
// A stamp read just after `now` and so a little ahead of it is no time at all.
uint32_t TickMsSince(uint32_t now, uint32_t since);
// The same on a 64-bit clock, which never wraps.
uint64_t MsSince(uint64_t now, uint64_t since);
