// The in-memory record of every processed message, listed per sender, and the statistics
// shown in the main window.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "base/shared_state.h"

struct IncomingMessage {
  std::string Text;
  std::string Time;  // ctime layout with its line feed
  std::string Sender;
};

enum class TitleVariant { Replied, AutoReplied };

// Counts into IDC_RECEIVED_COUNT and IDC_REPLIED_COUNT and the statistics line into the window
// title.
void RefreshStatistics(MainWindowPort& window, TitleVariant variant);

// The lists are shared by the guard thread (AddMessage) and the interface thread (the
// log window); one mutex makes every access to them exclusive.
class MessageLog {
 public:
  void AddMessage(const std::string& sender, const std::string& text);
  void Clear();
  std::vector<std::string> Senders() const;
  std::vector<IncomingMessage> MessagesOf(const std::string& sender) const;
  std::size_t messageCount() const;

 private:
  mutable std::mutex mutex_;
  std::vector<IncomingMessage> messages_;
  std::vector<std::string> senders_;
};
