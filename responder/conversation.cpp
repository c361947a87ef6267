// Who wrote in a conversation window and what they wrote, read from its title and from
// the plain text of its history view.
#include "responder/conversation.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "base/utf8.h"

namespace {

// The title readings: what fits in the title buffers less their terminators.
constexpr std::size_t GROUP_CHAT_TITLE_CHARS = SHORT_TITLE_COUNT - 1;
constexpr std::size_t SENDER_TITLE_CHARS = LONG_TITLE_COUNT - 1;

bool contains(std::string_view text, const char* part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

bool IsGroupChatTitle(const std::string& title) {
  const std::string_view head = Utf8Prefix(title, GROUP_CHAT_TITLE_CHARS);
  return contains(head, "Conference:") || contains(head, "Voice Chat:");
}

bool ParseSenderId(const std::string& title, std::string& senderId) {
  senderId.clear();
  const std::string head(Utf8Prefix(title, SENDER_TITLE_CHARS));
  if (head.empty()) return false;
  const std::size_t open = head.find('(');
  if (open != std::string::npos) {
    const std::size_t close = head.find(')', open + 1);
    senderId =
        head.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
  } else {
    senderId = head.substr(0, head.find_first_of("- "));
  }
  // A title is one line. A line break in one ends the ID too: typed into the entry field
  // it would send the greeting early, and in the log file it would break a record's lines.
  senderId.erase(std::min(senderId.size(), senderId.find_first_of("\r\n")));
  return true;
}

std::string MakeSenderKey(const std::string& senderId) {
  return senderId + ",>";
}

bool IsPlaceholderSender(const std::string& senderKey) {
  // The chat client shows such names while a window is still being filled in.
  return contains(senderKey, "Instant") || contains(senderKey, "F3");
}

MessageExtractor::MessageExtractor() : textBuffer_(BUFFER_BYTES), messageBuffer_(BUFFER_BYTES) {}

bool MessageExtractor::ExtractMessage(char marker, const std::string& conversationText,
                                      std::string& message) {
  message.clear();
  // A window nobody has written in yet shows a fixed text of this length.
  if (Utf8CharCount(conversationText) == EMPTY_WINDOW_TEXT_LENGTH) return false;

  // Only the first BUFFER_SIZE - 1 characters of a longer text are examined, whole ones:
  // the message is the first line that holds the marker, and it lies near the top of the
  // window.
  const std::size_t length = Utf8Prefix(conversationText, BUFFER_SIZE - 1).size();
  std::memcpy(textBuffer_.data(), conversationText.data(), length);
  textBuffer_[length] = '\0';

  const char* const begin = textBuffer_.data();
  const char* const end = begin + length;
  const char* const found = std::find(begin, end, marker);
  if (found == end) return false;

  const char* const from = found + 1;
  const char* const to = std::find(from, end, '\n');
  const std::size_t count = static_cast<std::size_t>(to - from);
  std::memcpy(messageBuffer_.data(), from, count);
  messageBuffer_[count] = '\0';
  message.assign(messageBuffer_.data(), count);
  return true;
}

void IgnoredWindowList::Clear() {
  windows_.clear();
}

void IgnoredWindowList::Add(WindowId window) {
  windows_.push_back(window);
}

bool IgnoredWindowList::Contains(WindowId window) const {
  return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

void IgnoredWindowList::Snapshot(WindowId topConversation,
                                 const std::vector<WindowId>& topLevelWindows) {
  windows_.clear();
  windows_.push_back(topConversation);
  // Every window that exists now, conversation or not, is one the user already has in
  // front of them: none of them is answered during this activity period.
  if (topConversation != 0) {
    windows_.insert(windows_.end(), topLevelWindows.begin(), topLevelWindows.end());
  }
}
