// The guard thread's loop and its one pass over the topmost conversation window.
#include "responder/guard.h"

#include <chrono>
#include <vector>

#include "responder/conversation.h"
#include "responder/delivery.h"

const char* const STATUS_ON_GUARD = "Autoresponse is on guard";
const char* const STATUS_INACTIVE = "Autoresponse is Currently Inactive...";

namespace {

// The new window gets a second to fill before its sender and text are read.
constexpr uint32_t SETTLE_DELAY_MS = 1000;

const char* const STATUS_OUTGOING = "OutGoing IM Detected...";
const char* const STATUS_RESPONDED = "IM Autoresponded...";

void wait(GuardParams& params, uint32_t ms) {
  if (params.sleep)
    params.sleep(ms);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void showStatus(GuardParams& params, const char* text) {
  if (params.mainWindow) params.mainWindow->setItemText(IDC_STATUS, text);
}

bool keepGuarding(const GuardParams& params) {
  return AutoresponseActive && !(params.stopRequest && *params.stopRequest);
}

PassOutcome processTop(GuardParams& params, const std::string& replyText) {
  Responder& responder = *params.responder;
  ImWindows& windows = responder.windows;

  WindowId window = windows.findTopConversation();
  if (window == 0) return PassOutcome::Failed;
  // Only the topmost conversation window is ever looked at, so an ignored or group-chat
  // window on top holds back every window below it.
  if (responder.ignoredWindows.Contains(window)) return PassOutcome::PassedOver;
  if (IsGroupChatTitle(windows.readTitle(window, SHORT_TITLE_COUNT)))
    return PassOutcome::PassedOver;

  wait(params, SETTLE_DELAY_MS);

  std::string senderId;
  if (!ParseSenderId(windows.readTitle(window, LONG_TITLE_COUNT), senderId))
    return PassOutcome::Failed;
  responder.senderKey = MakeSenderKey(senderId);
  if (IsPlaceholderSender(responder.senderKey)) return PassOutcome::Failed;

  std::string conversationText;
  if (!windows.readConversationText(window, conversationText)) return PassOutcome::Failed;
  if (!responder.extractor.ExtractMessage(':', conversationText, responder.messageText)) {
    // A window the user opened to write to somebody: leave it alone until the next
    // activation.
    showStatus(params, STATUS_OUTGOING);
    responder.messageText.clear();
    responder.ignoredWindows.Add(window);
    return PassOutcome::Failed;
  }

  if (params.policy->ShouldReply(responder.senderKey)) {
    std::string reply = replyText;
    if (params.groups) params.groups->findGroupMessage(responder.senderKey, &reply, true);
    if (TypeReply(windows, window, responder.senderKey, reply) && PressSend(windows, window))
      ++RepliedCount;
  }

  // A window that could not be closed is read anew by the next pass, so it is neither
  // counted nor logged now.
  if (!CloseConversation(windows, window)) return PassOutcome::Failed;

  ++ReceivedCount;
  if (params.messageLog) params.messageLog->AddMessage(responder.senderKey, responder.messageText);
  responder.logFile.LogReceivedMessage(responder.senderKey, responder.messageText);
  // The statistics are refreshed whether or not the message went to the log file.
  if (params.mainWindow) RefreshStatistics(*params.mainWindow, TitleVariant::Replied);
  responder.senderKey.clear();
  responder.messageText.clear();
  showStatus(params, STATUS_RESPONDED);
  return PassOutcome::Processed;
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

void guard(GuardParams& params) {
  Responder& responder = *params.responder;
  ImWindows& windows = responder.windows;
  showStatus(params, STATUS_ON_GUARD);

  // Every conversation that is already open belongs to the user, not to the responder.
  responder.ignoredWindows.Clear();
  params.policy->ResetPolicy();
  WindowId top = windows.findTopConversation();
  std::vector<WindowId> all;
  if (top != 0) all = windows.listTopLevelWindows(top);
  responder.ignoredWindows.Snapshot(top, all);

  wait(params, params.pollInterval);
  while (keepGuarding(params)) {
    ProcessTopConversation(params, params.replyText);
    wait(params, params.pollInterval);
  }
}

}  // namespace

int GuardThreadMain(GuardParams& params) {
  ImWindows& windows = params.responder->windows;
  windows.threadStarted();
  try {
    guard(params);
  } catch (...) {
    // Only the start (the snapshot) can get here; without it the conversations that
    // were open at activation would be answered, so the thread ends instead, and
    // autoresponse must not look active with no thread guarding. A thread that a newer
    // activation has already asked to stop leaves the flag to that activation.
    if (!(params.stopRequest && *params.stopRequest)) AutoresponseActive = false;
  }
  showStatus(params, STATUS_INACTIVE);
  PostNote(NOTE_INFO, STATUS_INACTIVE);
  windows.threadEnding();
  return 0;
}

GuardThread::GuardThread(Responder& responder, ReplyPolicy& policy, GroupStore& groups,
                         MessageLog& messageLog) {
  params.responder = &responder;
  params.policy = &policy;
  params.groups = &groups;
  params.messageLog = &messageLog;
  params.stopRequest = &stopRequest_;
}

GuardThread::~GuardThread() {
  if (!thread_.joinable()) return;
  // A thread still in its last pass ends with the process; waiting here could block the
  // program's exit for seconds.
  if (running_)
    thread_.detach();
  else
    thread_.join();
}

void GuardThread::StartGuard(uint32_t pollInterval, const std::string& defaultReplyText,
                             MainWindowPort& mainWindow,
                             const std::function<void()>& whileWaiting) {
  if (thread_.joinable()) {
    // The previous activation's thread may still be in its last pass; it writes to the
    // main window through sent messages, so the caller keeps handling them meanwhile.
    stopRequest_ = true;
    while (running_) {
      if (whileWaiting) whileWaiting();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    thread_.join();
  }
  stopRequest_ = false;

  params.replyText = defaultReplyText + " > ";
  params.pollInterval = pollInterval;
  params.mainWindow = &mainWindow;
  params.stopRequest = &stopRequest_;

  running_ = true;
  thread_ = std::thread([this] {
    GuardThreadMain(params);
    running_ = false;
  });
}

bool GuardThread::running() const {
  return running_;
}
