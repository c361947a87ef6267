// Whether a start becomes the one Quorvane of the user's session: the rules, in plain C++
// over the few system calls they need, so that every case can be tried without windows.
#pragma once

#include <cstdint>
#include <string>
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

// What the running copy tells later starts in the shared block; the numbers are stored.
enum RunningCopyState : int64_t { COPY_STARTING = 1, COPY_RUNNING = 2, COPY_CLOSING = 3 };

// A window handle as a number; 0 is none.
using WindowRef = uint64_t;

// What the shared block says, as it was read: anyone of this user can write it.
struct PublishedCopy {
  WindowRef window = 0;
  uint32_t processId = 0;
  int64_t state = 0;  // a RunningCopyState, or anything at all
};

// The running name (a mutex that the running copy holds until it ends) as a start finds it.
enum class NameResult {
  Taken,          // this process holds it now
  HeldElsewhere,  // another process holds it
  Refused,        // it exists, but this user may not open it
  Unavailable,    // it cannot be made at all
};

// A window as a start sees it: whether it is built like Quorvane's main window (a dialog
// with its status line and reply box), and its process.
struct WindowFacts {
  bool mainWindowShape = false;
  uint32_t processId = 0;
};

// A process as a start sees it: the product name in the version information of its program
// file, empty when there is none or the process has ended. A process of another user, or
// one run as administrator by another, may not be examined at all.
struct ProcessFacts {
  bool reachable = false;
  std::string productName;
};

// The answer of a running copy asked to come forward.
enum class ForwardAnswer {
  CameForward,
  Closing,   // a close was waiting in its queue: it closes instead
  NoAnswer,  // the window went, or the copy does not answer in time
  Refused,   // it takes no message from this process (it runs as administrator)
};

// The calls a start is made of. The program's are the system's; tests script them.
class RunningCopySystem {
 public:
  virtual ~RunningCopySystem() = default;
  // Makes or opens the running name and waits for it at most waitMs. Once taken it is held
  // until the process ends.
  virtual NameResult takeName(uint32_t waitMs) = 0;
  virtual PublishedCopy readBlock() = 0;
  // Writes into the block that this process is starting.
  virtual void publishStarting() = 0;
  virtual std::vector<WindowRef> topLevelWindows() = 0;
  virtual WindowFacts describeWindow(WindowRef window) = 0;
  virtual ProcessFacts describeProcess(uint32_t processId) = 0;
  virtual uint32_t ownProcessId() = 0;
  virtual ForwardAnswer askToComeForward(WindowRef window) = 0;
  // Waits, with no limit, until the process has ended; false when it cannot be waited for.
  virtual bool waitForEnd(uint32_t processId) = 0;
  virtual void pause(uint32_t ms) = 0;
  virtual uint32_t nowMs() = 0;
  // Tells the user why this start ends, and returns once they have read it.
  virtual void tell(const char* text) = 0;
};

// How long a later start waits for a running copy that shows no main window (it is still
// starting, or what holds the name is not Quorvane at all), and how often it looks.
constexpr uint32_t WAIT_FOR_RUNNING_COPY_MS = 5000;
constexpr uint32_t LOOK_AGAIN_MS = 50;

// The program's product name, which every Quorvane carries whatever its file is called.
extern const char* const QUORVANE_PRODUCT_NAME;
extern const char* const TEXT_OTHER_RIGHTS;
extern const char* const TEXT_NOT_ANSWERING;

// Decides, before anything is read, written or shown, whether this process is the one
// Quorvane of this user's session; a start that ends sets exitCode.
StartDecision DecideStart(RunningCopySystem& system, unsigned& exitCode);
