// The user's own input told from the system's, and idle-time arithmetic.
#include "app/user_input.h"

namespace {

// A stamp further ahead than this is taken for an idle time long enough to wrap the tick count.
constexpr uint32_t STAMP_AHEAD_MOST_MS = 60000;

}  // namespace

bool UserInputFilter::isUsers(InputKind kind, int32_t x, int32_t y) {
  if (kind != InputKind::Move) return true;
  const bool moved = known_ && (x != x_ || y != y_);
  known_ = true;
  x_ = x;
  y_ = y;
  return moved;
}

uint32_t TickMsSince(uint32_t now, uint32_t since) {
  const uint32_t elapsed = now - since;  // unsigned: right across the wrap
  return elapsed > UINT32_MAX - STAMP_AHEAD_MOST_MS ? 0 : elapsed;
}

uint64_t MsSince(uint64_t now, uint64_t since) {
  return now > since ? now - since : 0;
}
