// The guard thread: while autoresponse is active it looks at the topmost conversation
// window once a second, answers it, closes it, counts and logs it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "groups/group_store.h"
#include "msglog/message_log.h"
#include "responder/reply_policy.h"
#include "responder/responder.h"
#include "base/shared_state.h"

// The status line while the guard watches, and once it has stopped; the main window shows
// the same texts when it starts the guard and when it finds it stopped.
extern const char* const STATUS_ON_GUARD;
extern const char* const STATUS_INACTIVE;

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
  // Set by GuardThread when a newer activation wants this thread gone even if
  // AutoresponseActive is already true again; the loop tests it with the flag.
  const std::atomic<bool>* stopRequest = nullptr;
};

enum class PassOutcome { Processed, PassedOver, Failed };

// One pass over the topmost conversation window.
PassOutcome ProcessTopConversation(GuardParams& params, const std::string& replyText);

// The thread's routine; returns 0.
int GuardThreadMain(GuardParams& params);

class GuardThread {
 public:
  GuardThread(Responder& responder, ReplyPolicy& policy, GroupStore& groups,
              MessageLog& messageLog);
  ~GuardThread();

  // Fills the parameters and starts the thread. If the thread of an earlier activation
  // is still finishing its last pass, this first waits for it to end, calling
  // whileWaiting repeatedly (the interface thread handles its messages there), so that
  // two guard threads never run at once.
  void StartGuard(uint32_t pollInterval, const std::string& defaultReplyText,
                  MainWindowPort& mainWindow, const std::function<void()>& whileWaiting = {});
  bool running() const;

  GuardParams params;

 private:
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequest_{false};
};
