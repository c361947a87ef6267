// The guard thread's loop and its one pass over the topmost conversation window.
#include "responder/guard.h"

#include <chrono>
#include <future>
#include <memory>
#include <system_error>
#include <vector>

#include "responder/conversation.h"
#include "responder/delivery.h"

const char* const STATUS_ON_GUARD = "Autoresponse is on guard";
const char* const STATUS_INACTIVE = "Autoresponse is Currently Inactive...";
const char* const STATUS_NOT_STARTED = "Autoresponse could not be started";

namespace {

// The new window gets a second to fill before its sender and text are read.
constexpr uint32_t SETTLE_DELAY_MS = 1000;

const char* const STATUS_OUTGOING = "OutGoing IM Detected...";
const char* const STATUS_RESPONDED = "IM Autoresponded...";

// Said each time the echo rule stops answering a contact.
std::string automaticRepliesText(const std::string& senderId) {
  return "Replies from " + senderId + " look automatic: no answers until they write something new";
}

void wait(GuardParams& params, uint32_t ms) {
  if (params.sleep)
    params.sleep(ms);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint64_t now(const GuardParams& params) {
  if (params.clock) return params.clock();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The status line is the newest activation's: a thread whose activation has been followed
// by another finishes its pass without a word there, as its text would cover the newer
// "on guard".
void showStatus(GuardParams& params, const std::string& text) {
  if (!params.mainWindow) return;
  auto write = [&] { params.mainWindow->setItemText(IDC_STATUS, text); };
  if (params.activations)
    params.activations->writeIfNewest(params.activation, write);
  else
    write();
}

bool isNewest(const GuardParams& params) {
  return !params.activations || params.activations->isNewest(params.activation);
}

bool keepGuarding(const GuardParams& params) {
  return AutoresponseActive && isNewest(params);
}

// What became of one conversation window in a pass.
enum class WindowOutcome {
  Processed,   // answered or not, closed, counted and logged
  PassedOver,  // left alone, the pass goes on below it
  Failed,      // not read this time: tried again at the next pass, the pass goes on
  NotClosed,   // handled but not closed: the pass ends, the next one reads it anew
};

// Reads who wrote and what into the responder. Whatever goes wrong here (memory exhausted,
// say) concerns this window alone.
WindowOutcome readConversation(GuardParams& params, WindowId window, std::string& senderId) {
  Responder& responder = *params.responder;
  ImWindows& windows = responder.windows;
  try {
    if (!ParseSenderId(windows.readTitle(window, LONG_TITLE_COUNT), senderId))
      return WindowOutcome::Failed;
    responder.senderKey = MakeSenderKey(senderId);
    if (IsPlaceholderSender(responder.senderKey)) return WindowOutcome::Failed;

    std::string conversationText;
    if (!windows.readConversationText(window, conversationText)) return WindowOutcome::Failed;
    if (!responder.extractor.ExtractMessage(':', conversationText, responder.messageText)) {
      // A window the user opened to write to somebody: leave it alone until the next
      // activation.
      showStatus(params, STATUS_OUTGOING);
      responder.messageText.clear();
      responder.ignoredWindows.Add(window);
      return WindowOutcome::Failed;
    }
    return WindowOutcome::Processed;
  } catch (...) {
    return WindowOutcome::Failed;
  }
}

// The window has settled: read it, answer it if it may be answered, close it, count it.
WindowOutcome processWindow(GuardParams& params, WindowId window, const std::string& replyText) {
  std::string senderId;
  const WindowOutcome read = readConversation(params, window, senderId);
  if (read != WindowOutcome::Processed) return read;
  Responder& responder = *params.responder;
  ImWindows& windows = responder.windows;

  // The echo rule comes first, so a contact it holds back does not move on the counter.
  ReplyPolicy& policy = *params.policy;
  const EchoGuard::Verdict verdict =
      policy.echoes.take(responder.senderKey, window, responder.messageText, now(params));
  if (verdict == EchoGuard::Verdict::AlreadyTaken) {
    // Answered, counted and logged already; it goes once the client handles its close.
    responder.senderKey.clear();
    responder.messageText.clear();
    return WindowOutcome::PassedOver;
  }
  // Told at once: should the window not close, the next pass finds the contact silenced.
  if (verdict == EchoGuard::Verdict::SilencedNow)
    PostNote(NOTE_INFO, automaticRepliesText(senderId));
  bool replied = false;
  if (verdict == EchoGuard::Verdict::Answer && policy.ShouldReply(responder.senderKey)) {
    std::string reply = replyText;
    if (params.groups) params.groups->findGroupMessage(responder.senderKey, &reply, true);
    replied = TypeReply(windows, window, responder.senderKey, reply) && PressSend(windows, window);
    if (replied) {
      ++RepliedCount;
      policy.echoes.answered(responder.senderKey, now(params));
    }
  }

  // A window that could not be closed is read anew by the next pass, so it is neither
  // counted nor logged now.
  if (!CloseConversation(windows, window)) return WindowOutcome::NotClosed;
  policy.echoes.closing(responder.senderKey);

  ++ReceivedCount;
  if (params.tally) params.tally->add(params.activation, responder.senderKey, replied);
  if (params.messageLog) params.messageLog->AddMessage(responder.senderKey, responder.messageText);
  responder.logFile.LogReceivedMessage(responder.senderKey, responder.messageText);
  // The statistics are refreshed whether or not the message went to the log file.
  if (params.mainWindow) RefreshStatistics(*params.mainWindow, TitleVariant::Replied);
  responder.senderKey.clear();
  responder.messageText.clear();
  showStatus(params, verdict == EchoGuard::Verdict::SilencedNow ? automaticRepliesText(senderId)
                                                                : STATUS_RESPONDED);
  return WindowOutcome::Processed;
}

PassOutcome processTop(GuardParams& params, const std::string& replyText) {
  Responder& responder = *params.responder;
  ImWindows& windows = responder.windows;

  const std::vector<WindowId> conversations = windows.listConversations();
  if (conversations.empty()) return PassOutcome::Failed;
  // From the top down, the first window that can be answered is the pass's one. Windows
  // above it that are left alone or cannot be read now do not hold it back.
  PassOutcome outcome = PassOutcome::PassedOver;
  bool settled = false;
  for (WindowId window : conversations) {
    if (responder.ignoredWindows.Contains(window)) continue;
    if (IsGroupChatTitle(windows.readTitle(window, SHORT_TITLE_COUNT))) continue;
    // Every window listed has had its second to fill once the first one has.
    if (!settled) wait(params, SETTLE_DELAY_MS);
    settled = true;
    switch (processWindow(params, window, replyText)) {
      case WindowOutcome::Processed:
        return PassOutcome::Processed;
      case WindowOutcome::NotClosed:
        return PassOutcome::Failed;
      case WindowOutcome::Failed:
        outcome = PassOutcome::Failed;
        break;
      case WindowOutcome::PassedOver:
        break;
    }
  }
  return outcome;
}

}  // namespace

PassOutcome ProcessTopConversation(GuardParams& params, const std::string& replyText) {
  // Whatever goes wrong inside one pass (memory exhausted, say) ends only that pass; the
  // loop sleeps and tries again.
  try {
    return processTop(params, replyText);
  } catch (...) {
    return PassOutcome::Failed;
  }
}

namespace {

// The windows that exist at activation: the topmost conversation window and, if there is
// one, every top-level window in Z order.
struct WindowSnapshot {
  WindowId top = 0;
  std::vector<WindowId> all;
};

WindowSnapshot takeSnapshot(ImWindows& windows) {
  WindowSnapshot snapshot;
  snapshot.top = windows.findTopConversation();
  if (snapshot.top != 0) snapshot.all = windows.listTopLevelWindows(snapshot.top);
  return snapshot;
}

void guard(GuardParams& params, const WindowSnapshot& snapshot) {
  Responder& responder = *params.responder;
  // Every conversation that was open at activation belongs to the user, not to the
  // responder.
  responder.ignoredWindows.Clear();
  params.policy->ResetPolicy();
  if (params.tally) params.tally->begin(params.activation);
  responder.ignoredWindows.Snapshot(snapshot.top, snapshot.all);

  wait(params, params.pollInterval);
  while (keepGuarding(params)) {
    ProcessTopConversation(params, params.replyText);
    // A newer activation's thread is waiting for this one: no reason to sleep first.
    if (!isNewest(params)) break;
    wait(params, params.pollInterval);
  }
}

// Runs `action` unless a newer activation has begun, with no newer one beginning
// meanwhile; true if it ran.
bool endIfNewest(GuardParams& params, const std::function<void()>& action) {
  if (!params.activations) {
    action();
    return true;
  }
  return params.activations->endIfNewest(params.activation, action);
}

}  // namespace

int GuardThreadMain(GuardParams& params) {
  ImWindows& windows = params.responder->windows;
  windows.threadStarted();
  // The snapshot is taken at once, so that a conversation arriving while the previous
  // thread finishes its pass is answered; the previous thread may still be closing
  // conversations in it, which it does not answer twice.
  WindowSnapshot snapshot;
  bool started = true;
  try {
    snapshot = takeSnapshot(windows);
  } catch (...) {
    // Without the snapshot the conversations that were open at activation would be
    // answered, so the thread ends instead.
    started = false;
  }
  // Only now: a conversation that arrives once the status line or the popup says so is
  // answered, never taken for one the user had open at activation. An activation that has
  // already ended or been followed by another says nothing. The previous thread, should it
  // still be in its pass, writes no more status lines to cover this one.
  if (started && keepGuarding(params)) {
    showStatus(params, STATUS_ON_GUARD);
    PostNote(NOTE_INFO, STATUS_ON_GUARD);
  }
  if (params.waitForPrevious) params.waitForPrevious();
  if (started && isNewest(params)) guard(params, snapshot);

  // Only the newest activation tells that guarding has ended: an older thread that ends
  // after a newer Activate must not say "inactive" after the newer "on guard". A thread
  // that could not start leaves autoresponse plainly inactive, not active with no thread
  // guarding. The status line is the interface thread's to write: by the time it handles
  // the message, an activation may have begun that this thread cannot know of.
  const bool newest = endIfNewest(params, [&] {
    if (!started) AutoresponseActive = false;
    PostNote(NOTE_INFO, STATUS_INACTIVE);
  });
  if (newest && params.mainWindow) params.mainWindow->postMessage(UM_GUARD_ENDED);
  windows.threadEnding();
  return 0;
}

uint64_t ActivationOrder::newActivation() {
  std::lock_guard<std::mutex> lock(mutex_);
  AutoresponseActive = true;
  newestEnded_ = false;
  return ++newest_;
}

bool ActivationOrder::isNewest(uint64_t activation) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return activation == newest_;
}

bool ActivationOrder::endIfNewest(uint64_t activation, const std::function<void()>& action) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (activation != newest_) return false;
  action();
  newestEnded_ = true;
  return true;
}

void ActivationOrder::writeIfNewest(uint64_t activation, const std::function<void()>& write) {
  // Not under mutex_: the write waits for the interface thread, which takes mutex_ to begin
  // an activation. A newer thread's first write waits here until an older one's is done.
  std::lock_guard<std::mutex> lock(writeMutex_);
  if (isNewest(activation)) write();
}

bool ActivationOrder::newestEnded() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return newestEnded_;
}

uint64_t ActivationOrder::newest() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return newest_;
}

GuardThread::GuardThread(Responder& responder, ReplyPolicy& policy, GroupStore& groups,
                         MessageLog& messageLog) {
  params.responder = &responder;
  params.policy = &policy;
  params.groups = &groups;
  params.messageLog = &messageLog;
  params.tally = &tally_;
}

GuardThread::~GuardThread() {
  if (!thread_.joinable()) return;
  // A thread still in its last pass ends with the process; waiting here could block the
  // program's exit for seconds.
  if (running())
    thread_.detach();
  else
    thread_.join();
}

bool GuardThread::StartGuard(uint32_t pollInterval, const std::string& defaultReplyText,
                             MainWindowPort& mainWindow) {
  GuardParams own = params;
  own.replyText = defaultReplyText + " > ";
  own.pollInterval = pollInterval;
  own.mainWindow = &mainWindow;
  own.activations = &activations_;
  // The new thread is handed its activation once it exists, and with it the previous
  // thread, which it owns and joins: the interface thread never waits.
  auto previous = std::make_shared<std::thread>();
  auto activation = std::make_shared<std::promise<uint64_t>>();
  std::shared_future<uint64_t> handed = activation->get_future().share();
  own.waitForPrevious = [previous] {
    if (previous->joinable()) previous->join();
  };
  std::function<void()> routine = [this, own, handed]() mutable {
    own.activation = handed.get();
    GuardThreadMain(own);
    --live_;
  };

  ++live_;
  std::thread started;
  try {
    started = startThread ? startThread(std::move(routine)) : std::thread(std::move(routine));
  } catch (const std::system_error&) {
    // Nothing has changed: the previous thread is still this object's to keep.
    --live_;
    mainWindow.setItemText(IDC_STATUS, STATUS_NOT_STARTED);
    RequestNote(NOTE_ERROR, STATUS_NOT_STARTED);
    return false;
  }
  *previous = std::move(thread_);
  thread_ = std::move(started);
  activation->set_value(activations_.newActivation());
  return true;
}

bool GuardThread::running() const {
  return live_ > 0;
}

void GuardThread::ShowGuardEnded(MainWindowPort& mainWindow) const {
  if (activations_.newestEnded()) mainWindow.setItemText(IDC_STATUS, STATUS_INACTIVE);
}

ActivationSummary GuardThread::newestSummary() const {
  return tally_.summary(activations_.newest());
}
