// The rules by which a start finds the running Quorvane, brings it forward, waits for one
// that closes, or runs itself; and by which copies that run without the name settle.
#include "app/start_decision.h"

const char* const TEXT_OTHER_RIGHTS =
    "Quorvane is already running with other rights (as administrator, or as another user). "
    "Close it first.";
const char* const TEXT_NOT_ANSWERING =
    "Quorvane is already running, but its window did not come up. Wait a moment, then start "
    "Quorvane again.";

namespace {

// Whether a window is another copy's main window. Only a Quorvane main window says it is
// one, so neither a block left behind by a killed copy (its handle reused) nor one written
// by anything else can pass off a stranger's window.
bool isOtherCopy(RunningCopySystem& system, WindowRef window, WindowFacts& facts) {
  facts = system.describeWindow(window);
  return facts.quorvane && facts.processId != system.ownProcessId();
}

struct Found {
  WindowRef window = 0;
  bool closing = false;
};

// The main window the block names, closing or not.
Found blockWindow(RunningCopySystem& system, const PublishedCopy& copy) {
  WindowFacts facts;
  if (!isOtherCopy(system, copy.window, facts)) return {};
  return {copy.window, copy.state == COPY_CLOSING};
}

// The first Quorvane main window on the desktop that this start may reach; unreachableSeen
// tells whether one belongs to a process that this start may not examine.
Found anyCopyWindow(RunningCopySystem& system, bool& unreachableSeen) {
  for (WindowRef window : system.topLevelWindows()) {
    WindowFacts facts;
    if (!isOtherCopy(system, window, facts)) continue;
    if (facts.reachable) return {window, false};
    unreachableSeen = true;
  }
  return {};
}

// Writes next into the block, whatever it says.
void writeBlock(RunningCopySystem& system, const PublishedCopy& next) {
  while (!system.replaceBlock(system.readBlock(), next)) {
  }
}

}  // namespace

StartDecision DecideStart(RunningCopySystem& system, unsigned& exitCode) {
  const auto end = [&](unsigned code, const char* text) {
    if (text) system.tell(text);
    exitCode = code;
    return StartDecision::End;
  };
  NameResult name = NameResult::HeldElsewhere;
  PublishedCopy previous = system.readBlock();
  uint32_t began = system.nowMs();
  for (;;) {
    if (name != NameResult::Taken) name = system.takeName();
    // Whatever the block says anew (another start's claim, a window come up) gets the whole
    // wait from now on.
    const PublishedCopy copy = system.readBlock();
    if (copy != previous) {
      previous = copy;
      began = system.nowMs();
    }
    const bool waitedEnough = system.nowMs() - began >= WAIT_FOR_RUNNING_COPY_MS;

    // 1. Find the running copy's main window: the one the block names, or any on the
    //    desktop. A copy may run without the name (it started while something else held
    //    it), so a start that does not wait for the name's holder looks at once; one that
    //    waits looks once its wait is over.
    Found running = blockWindow(system, copy);
    bool unreachableSeen = false;
    if (!running.window && (name != NameResult::HeldElsewhere || waitedEnough))
      running = anyCopyWindow(system, unreachableSeen);

    // 2. Ask it to come forward. Done, unless it closes: a close that waits in its queue is
    //    waited for below like any closing copy.
    bool silent = false;
    if (running.window && !running.closing) {
      switch (system.askToComeForward(running.window)) {
        case ForwardAnswer::CameForward:
          return end(EXIT_DONE, nullptr);
        case ForwardAnswer::Closing:
          running.closing = true;
          break;
        case ForwardAnswer::Refused:
          return end(EXIT_OTHER_RIGHTS, TEXT_OTHER_RIGHTS);
        case ForwardAnswer::NoAnswer:
          silent = true;
          break;
      }
    }

    // 3. A closing Quorvane is waited for, however long it takes; then this start looks
    //    anew, and runs in its place unless another start took the name first.
    if (running.closing && system.waitForEnd(running.window)) continue;

    // 4. A copy that this start may not reach (another user's) is never run beside: both
    //    would answer every conversation.
    if (unreachableSeen && name != NameResult::Taken)
      return end(EXIT_OTHER_RIGHTS, TEXT_OTHER_RIGHTS);

    // 5. With the name and no other Quorvane in sight, this start is the running copy.
    //    Another one that is still starting, or did not answer, gets the usual wait.
    const bool otherCopy =
        silent || (copy.state == COPY_STARTING && system.processAlive(copy.processId));
    if (name != NameResult::Taken || otherCopy) {
      if (!waitedEnough) {
        system.pause(LOOK_AGAIN_MS);
        continue;
      }
      // 6. The wait is over: a Quorvane that never came forward is left alone and the user
      //    told. A claim whose window never came up is no Quorvane that runs, and what
      //    holds the name otherwise is not Quorvane: neither keeps this start from running.
      if (silent) return end(EXIT_NOT_ANSWERING, TEXT_NOT_ANSWERING);
    }
    // Of two starts that come this far at once, the one whose claim lands first runs; the
    // other finds the block changed and waits for that one's window.
    if (!system.replaceBlock(copy, {COPY_STARTING, 0, system.ownProcessId()})) continue;
    return name == NameResult::Taken ? StartDecision::Run
                                     : StartDecision::RunThoughNameHeldElsewhere;
  }
}

void PublishRunning(RunningCopySystem& system, WindowRef ownWindow, bool holdsName) {
  const PublishedCopy running{COPY_RUNNING, ownWindow, 0};
  if (holdsName)
    writeBlock(system, running);
  else
    system.replaceBlock({COPY_STARTING, 0, system.ownProcessId()}, running);
}

void PublishClosing(RunningCopySystem& system, WindowRef ownWindow) {
  system.replaceBlock({COPY_RUNNING, ownWindow, 0}, {COPY_CLOSING, ownWindow, 0});
}

WithoutName LookForRunningName(RunningCopySystem& system, WindowRef ownWindow, WindowRef& stays) {
  if (system.takeName() == NameResult::Taken) {
    PublishRunning(system, ownWindow, true);
    return WithoutName::TookIt;
  }
  // The copy that holds the name, and of several without it the one whose claim came last,
  // is the one the block names as running: every other one gives way to it.
  const PublishedCopy copy = system.readBlock();
  WindowFacts facts;
  if (copy.state != COPY_RUNNING || !isOtherCopy(system, copy.window, facts))
    return WithoutName::TryAgain;
  stays = copy.window;
  return WithoutName::GiveWay;
}
