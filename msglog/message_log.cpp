// The in-memory message log shared by the guard thread and the message log window, and
// the statistics it shows in the main window.
#include "msglog/message_log.h"

#include <algorithm>

#include "base/time_text.h"

void RefreshStatistics(MainWindowPort& window, TitleVariant variant) {
  // Each counter is read once so that the controls and the title show the same numbers.
  const int32_t received = ReceivedCount.load();
  const int32_t replied = RepliedCount.load();
  window.setItemText(IDC_RECEIVED_COUNT, std::to_string(received));
  window.setItemText(IDC_REPLIED_COUNT, std::to_string(replied));
  const char* const middle = variant == TitleVariant::Replied ? ", Repl. " : ", Auto-Repl. ";
  window.setTitle("Recv :" + std::to_string(received) + middle + std::to_string(replied) +
                  " [Quorvane V3.0] ");
}

void MessageLog::AddMessage(const std::string& sender, const std::string& text) {
  PostNote(NOTE_MESSAGE, "Msg from : " + sender + "--" + text);
  IncomingMessage record{text, CtimeText(std::time(nullptr)), sender};

  std::lock_guard<std::mutex> lock(mutex_);
  messages_.push_back(std::move(record));
  if (std::find(senders_.begin(), senders_.end(), sender) == senders_.end()) {
    senders_.push_back(sender);
  }
}

void MessageLog::Clear() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
    senders_.clear();
  }
  ReceivedCount = 0;
  RepliedCount = 0;
  RefreshStatistics(mainWindow(), TitleVariant::AutoReplied);
}

std::vector<std::string> MessageLog::Senders() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return senders_;
}

std::vector<IncomingMessage> MessageLog::MessagesOf(const std::string& sender) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<IncomingMessage> selected;
  for (const IncomingMessage& message : messages_) {
    if (message.Sender == sender) selected.push_back(message);
  }
  return selected;
}

std::size_t MessageLog::messageCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_.size();
}
