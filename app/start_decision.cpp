// The rules by which a start finds the running Quorvane, brings it forward, waits for one
// that closes, or runs itself.
#include "app/start_decision.h"

const char* const QUORVANE_PRODUCT_NAME = "Quorvane";
const char* const TEXT_OTHER_RIGHTS =
    "Quorvane is already running with other rights (as administrator, or as another user). "
    "Close it first.";
const char* const TEXT_NOT_ANSWERING =
    "Quorvane is already running, but its window did not come up. Wait a moment, then start "
    "Quorvane again.";

namespace {

// Whether a process is another Quorvane. It is known by the product name in its program
// file, whatever the file is called: people keep renamed copies.
bool isOtherQuorvane(RunningCopySystem& system, uint32_t processId) {
  if (processId == 0 || processId == system.ownProcessId()) return false;
  const ProcessFacts facts = system.describeProcess(processId);
  return facts.reachable && facts.productName == QUORVANE_PRODUCT_NAME;
}

enum class WindowKind { Other, Quorvane, Unreachable };

// What a window is to a start: another Quorvane's main window, something else, or a window
// built like one in a process that this start may not examine (another user's, say).
WindowKind examine(RunningCopySystem& system, WindowRef window, uint32_t& owner) {
  const WindowFacts facts = system.describeWindow(window);
  owner = facts.processId;
  if (!facts.mainWindowShape || owner == 0 || owner == system.ownProcessId())
    return WindowKind::Other;
  if (!system.describeProcess(owner).reachable) return WindowKind::Unreachable;
  return isOtherQuorvane(system, owner) ? WindowKind::Quorvane : WindowKind::Other;
}

struct RunningWindow {
  WindowRef window = 0;
  uint32_t processId = 0;
};

// The main window the block names, if the block's copy is not closing and the window is
// that copy's and a Quorvane main window: a copy that was killed leaves its last handle
// behind, handles are reused, and anyone of this user can write the block.
RunningWindow publishedWindow(RunningCopySystem& system, const PublishedCopy& copy) {
  uint32_t owner = 0;
  if (copy.state == COPY_CLOSING || copy.window == 0 ||
      examine(system, copy.window, owner) != WindowKind::Quorvane || owner != copy.processId)
    return {};
  return {copy.window, owner};
}

// The first Quorvane main window on the desktop; unreachableSeen tells whether a window
// built like one belongs to a process that this start may not examine.
RunningWindow anyQuorvaneWindow(RunningCopySystem& system, bool& unreachableSeen) {
  for (WindowRef window : system.topLevelWindows()) {
    uint32_t owner = 0;
    const WindowKind kind = examine(system, window, owner);
    if (kind == WindowKind::Quorvane) return {window, owner};
    if (kind == WindowKind::Unreachable) unreachableSeen = true;
  }
  return {};
}

}  // namespace

StartDecision DecideStart(RunningCopySystem& system, unsigned& exitCode) {
  const auto end = [&](unsigned code, const char* text) {
    if (text) system.tell(text);
    exitCode = code;
    return StartDecision::End;
  };
  NameResult name = system.takeName(0);
  uint32_t began = system.nowMs();
  for (;;) {
    const PublishedCopy copy = system.readBlock();
    const bool waitedEnough = system.nowMs() - began >= WAIT_FOR_RUNNING_COPY_MS;

    // 1. Find the running copy's main window: the one the block names, or any on the
    //    desktop. A copy may run without the name (it started while something else held
    //    it), so a start that does not wait for the name's holder looks at once; one that
    //    waits looks once its wait is over.
    RunningWindow running = publishedWindow(system, copy);
    bool unreachableSeen = false;
    if (!running.window && (name != NameResult::HeldElsewhere || waitedEnough))
      running = anyQuorvaneWindow(system, unreachableSeen);

    // 2. Ask it to come forward. Done, unless it closes: a close that waits in its queue,
    //    or one it began meanwhile, is waited for below like any closing copy.
    uint32_t closing = copy.state == COPY_CLOSING ? copy.processId : 0;
    bool silent = false;
    if (running.window) {
      switch (system.askToComeForward(running.window)) {
        case ForwardAnswer::CameForward: {
          const PublishedCopy after = system.readBlock();
          if (after.state != COPY_CLOSING || after.processId != running.processId)
            return end(EXIT_DONE, nullptr);
          closing = running.processId;
          break;
        }
        case ForwardAnswer::Closing:
          closing = running.processId;
          break;
        case ForwardAnswer::Refused:
          return end(EXIT_OTHER_RIGHTS, TEXT_OTHER_RIGHTS);
        case ForwardAnswer::NoAnswer:
          silent = true;
          break;
      }
    }

    // 3. A closing Quorvane is waited for, however long it takes; then this start runs in
    //    its place, unless another start took the name first: that one gets the usual wait.
    if (isOtherQuorvane(system, closing) && system.waitForEnd(closing)) {
      if (name != NameResult::Taken) name = system.takeName(0);
      began = system.nowMs();
      continue;
    }

    // 4. A copy that this start may not reach (another user's, or one run as administrator)
    //    is never run beside: both would answer every conversation and write the same files.
    if (unreachableSeen && name != NameResult::Taken)
      return end(EXIT_OTHER_RIGHTS, TEXT_OTHER_RIGHTS);

    // 5. With the name and no other Quorvane in sight, this start is the running copy.
    //    Another one that is still starting, or did not answer, gets the usual wait.
    const bool otherCopy =
        silent || (copy.state != COPY_CLOSING && isOtherQuorvane(system, copy.processId));
    if (name == NameResult::Taken && !otherCopy) {
      system.publishStarting();
      return StartDecision::Run;
    }
    if (!waitedEnough) {
      if (name == NameResult::HeldElsewhere) {
        name = system.takeName(LOOK_AGAIN_MS);
      } else {
        system.pause(LOOK_AGAIN_MS);
        if (name != NameResult::Taken) name = system.takeName(0);
      }
      continue;
    }

    // 6. The wait is over: a Quorvane that never came forward is left alone and the user
    //    told; what holds the name otherwise is not Quorvane, and must not keep it from
    //    running.
    if (otherCopy) return end(EXIT_NOT_ANSWERING, TEXT_NOT_ANSWERING);
    system.publishStarting();
    return StartDecision::RunThoughNameHeldElsewhere;
  }
}
