// Whether a start becomes the one Quorvane of the user's session, and how a copy that runs
// without the running name settles with the others: the rules, in plain C++ over the few
// system calls they need, so that every case can be tried without windows.
#pragma once

#include <cstdint>
#include <vector>

// How the process ends: 0 when it ran until the user closed it, or brought the running copy
// forward; otherwise the reason why this start did not run, which it has told the user.
enum ExitCode : unsigned {
  EXIT_DONE = 0,
  EXIT_OTHER_RIGHTS = 2,   // a copy runs that this start cannot reach (administrator, other user)
  EXIT_NOT_ANSWERING = 3,  // a copy runs, but it did not show its main window in time
};

// What a start does once it has looked for the running copy.
enum class StartDecision {
  Run,                         // this process is the one Quorvane of the session
  RunThoughNameHeldElsewhere,  // something that is not Quorvane holds the running name
  End,                         // the running copy came forward, or the user was told why not
};

// What a copy tells the others in the shared block; the numbers are stored.
enum RunningCopyState : int64_t { COPY_STARTING = 1, COPY_RUNNING = 2, COPY_CLOSING = 3 };

// A window handle as a number; 0 is none.
using WindowRef = uint64_t;

// What the shared block says, as it was read: anyone of this user can write it, and a copy
// that was killed leaves its last words there. A starting copy names its process, as it has
// no window yet; a running or closing one names its main window, whose process the system
// tells.
struct PublishedCopy {
  int64_t state = 0;  // a RunningCopyState, or anything at all
  WindowRef window = 0;
  uint32_t processId = 0;
  bool operator==(const PublishedCopy& other) const {
    return state == other.state && window == other.window && processId == other.processId;
  }
  bool operator!=(const PublishedCopy& other) const { return !(*this == other); }
};

// The running name (a mutex that a copy holds until it ends) as a start finds it.
enum class NameResult {
  Taken,          // this process holds it now
  HeldElsewhere,  // another process holds it
  Refused,        // it exists, but this user may not open it
  Unavailable,    // it cannot be made at all
};

// A window as a copy sees it: whether it is a Quorvane main window, which says so itself
// (a window of another program built the same way does not), its process, and whether that
// process may be examined (another user's may not).
struct WindowFacts {
  bool quorvane = false;
  uint32_t processId = 0;
  bool reachable = false;
};

// The answer of a running copy asked to come forward.
enum class ForwardAnswer {
  CameForward,
  Closing,   // a close was waiting in its queue: it closes instead
  NoAnswer,  // the window went, or the copy does not answer in time
  Refused,   // it takes no message from this process (it runs as administrator)
};

// The calls a start and a running copy are made of. The program's are the system's; tests
// play them, for several copies on one desktop.
class RunningCopySystem {
 public:
  virtual ~RunningCopySystem() = default;
  // Makes or opens the running name and takes it if it is free. Once taken it is held
  // until the process ends.
  virtual NameResult takeName() = 0;
  virtual PublishedCopy readBlock() = 0;
  // Writes next into the block if it still says seen, in one step against every other
  // writer; false when it says something else by now.
  virtual bool replaceBlock(const PublishedCopy& seen, const PublishedCopy& next) = 0;
  virtual std::vector<WindowRef> topLevelWindows() = 0;
  virtual WindowFacts describeWindow(WindowRef window) = 0;
  virtual bool processAlive(uint32_t processId) = 0;
  virtual uint32_t ownProcessId() = 0;
  virtual ForwardAnswer askToComeForward(WindowRef window) = 0;
  // Waits, with no limit, until the process of this Quorvane main window has ended; false
  // when the window is no Quorvane's by now. The process is held from the moment the window
  // is found to be its, so the wait can never fall to another that took over its id.
  virtual bool waitForEnd(WindowRef window) = 0;
  virtual void pause(uint32_t ms) = 0;
  virtual uint32_t nowMs() = 0;
  // Tells the user why this start ends, and returns once they have read it.
  virtual void tell(const char* text) = 0;
};

// How long a later start waits for a copy that shows no main window (it is still starting,
// or what holds the name is not Quorvane at all), and how often it looks.
constexpr uint32_t WAIT_FOR_RUNNING_COPY_MS = 5000;
constexpr uint32_t LOOK_AGAIN_MS = 50;

extern const char* const TEXT_OTHER_RIGHTS;
extern const char* const TEXT_NOT_ANSWERING;

// Decides, before anything is read, written or shown, whether this process is the one
// Quorvane of this user's session; a start that ends sets exitCode. A start that runs has
// claimed the block.
StartDecision DecideStart(RunningCopySystem& system, unsigned& exitCode);

// The copy's main window is up: later starts find it through the block. The copy that holds
// the name writes over whatever the block says; one without it only over its own claim, so
// that another copy's later claim stands.
void PublishRunning(RunningCopySystem& system, WindowRef ownWindow, bool holdsName);
// The copy closes: later starts wait for it, if the block names it still.
void PublishClosing(RunningCopySystem& system, WindowRef ownWindow);

// What a copy that runs without the name does at each look: it took the name (and told the
// block), tries again later, or gives way to the copy the block names as running, put in
// `stays`: the copy that holds the name always stands there, and of copies without it the
// one whose claim came last.
enum class WithoutName { TookIt, TryAgain, GiveWay };
WithoutName LookForRunningName(RunningCopySystem& system, WindowRef ownWindow, WindowRef& stays);
