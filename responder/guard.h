// The guard thread: while autoresponse is active it looks at the conversation windows once
// a second, answers the topmost one that may be answered, closes it, counts and logs it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "groups/group_store.h"
#include "msglog/message_log.h"
#include "responder/activation_tally.h"
#include "responder/reply_policy.h"
#include "responder/responder.h"
#include "base/shared_state.h"

// The status line while the guard watches, and once it has stopped; the main window shows
// the same texts when it starts the guard and when it finds it stopped.
extern const char* const STATUS_ON_GUARD;
extern const char* const STATUS_INACTIVE;

// The order of activations. Each guard thread belongs to one; once a newer one has begun,
// the active flag and the news that guarding has ended belong to the newer one, so an
// older thread finishes its pass and ends without a word.
class ActivationOrder {
 public:
  // A new activation: autoresponse is active from now on, under the number returned.
  uint64_t newActivation();
  bool isNewest(uint64_t activation) const;
  // The activation's thread ends: if the activation is still the newest, `action` runs
  // while no newer one can begin, and the newest activation counts as ended. True if so.
  bool endIfNewest(uint64_t activation, const std::function<void()>& action);
  // `write` runs if the activation is the newest, and before any write of a newer one.
  void writeIfNewest(uint64_t activation, const std::function<void()>& write);
  // Whether the thread of the newest activation has ended.
  bool newestEnded() const;
  uint64_t newest() const;

 private:
  mutable std::mutex mutex_;
  std::mutex writeMutex_;
  uint64_t newest_ = 0;
  bool newestEnded_ = false;
};

struct GuardParams {
  std::string replyText;  // DefaultReplyText followed by " > "
  Responder* responder = nullptr;
  uint32_t pollInterval = 1000;
  MainWindowPort* mainWindow = nullptr;
  ReplyPolicy* policy = nullptr;
  GroupStore* groups = nullptr;
  MessageLog* messageLog = nullptr;
  // Every wait of the thread goes through here: a real sleep in the program; tests may
  // shorten it.
  std::function<void(uint32_t ms)> sleep;
  // Milliseconds on a steady clock, for the echo rule; tests may keep their own time.
  std::function<uint64_t()> clock;
  // Where the activation's messages are counted, for the note that welcomes the user back.
  ActivationTally* tally = nullptr;
  // The activation the thread belongs to; without an order it is always the newest.
  ActivationOrder* activations = nullptr;
  uint64_t activation = 0;
  // Returns once the previous activation's thread has ended: the thread calls it after
  // taking its snapshot and before it touches the responder, the policy or the counters.
  std::function<void()> waitForPrevious;
};

enum class PassOutcome { Processed, PassedOver, Failed };

// One pass: the topmost conversation window that may be answered, if any, is answered.
PassOutcome ProcessTopConversation(GuardParams& params, const std::string& replyText);

// The thread's routine; returns 0. As the newest activation's thread ends, it posts
// UM_GUARD_ENDED to the main window, whose thread then writes the status line.
int GuardThreadMain(GuardParams& params);

// What the status line says when a guard thread could not be started.
extern const char* const STATUS_NOT_STARTED;

class GuardThread {
 public:
  GuardThread(Responder& responder, ReplyPolicy& policy, GroupStore& groups,
              MessageLog& messageLog);
  ~GuardThread();

  // Starts the thread of a new activation, then makes autoresponse active; returns at
  // once. The thread itself says "on guard", in the status line and a popup, once it knows
  // which conversations were open at activation. A thread of an earlier activation that is
  // still in its last pass finishes it, writing no more status lines, while the new thread
  // takes its snapshot; the new thread then waits for it to end before its own first pass,
  // so two passes never run at once. A thread that cannot
  // be started changes nothing (autoresponse stays inactive, the previous thread stays this
  // object's): the status line and an error popup say so, and the answer is false.
  bool StartGuard(uint32_t pollInterval, const std::string& defaultReplyText,
                  MainWindowPort& mainWindow);
  // True while the thread of any activation still runs.
  bool running() const;
  // The interface thread's part of UM_GUARD_ENDED: the status line says that guarding has
  // ended, unless an activation has begun since. Only the interface thread begins them,
  // so none can begin meanwhile.
  void ShowGuardEnded(MainWindowPort& mainWindow) const;
  // What the newest activation has done so far.
  ActivationSummary newestSummary() const;

  // What every activation's thread starts from; StartGuard fills in the rest.
  GuardParams params;
  // Starts a thread that runs `routine`; a std::thread in the program. Tests may make it
  // fail the way std::thread does, with std::system_error.
  std::function<std::thread(std::function<void()> routine)> startThread;

 private:
  ActivationOrder activations_;
  ActivationTally tally_;
  std::thread thread_;  // the newest activation's thread; it joins the one before it
  std::atomic<int> live_{0};
};
