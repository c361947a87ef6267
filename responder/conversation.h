// Reading one conversation window: is it a group chat, who wrote, what did they write,
// and which windows the responder must leave alone.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "responder/im_windows.h"

// Typing a text stops at its first '>'; every text handed to typing ends with one.
constexpr char REPLY_END_MARK = '>';
// Length in characters of the text a conversation window shows before any message was
// written.
constexpr std::size_t EMPTY_WINDOW_TEXT_LENGTH = 34;
// Title buffer lengths in characters for the group-chat test and for the sender ID.
constexpr int SHORT_TITLE_COUNT = 30;
constexpr int LONG_TITLE_COUNT = 75;

bool IsGroupChatTitle(const std::string& title);
// False for an empty title; otherwise the ID as the title shows it.
bool ParseSenderId(const std::string& title, std::string& senderId);
std::string MakeSenderKey(const std::string& senderId);
bool IsPlaceholderSender(const std::string& senderKey);

class MessageExtractor {
 public:
  // Characters, the terminator included; a UTF-8 character takes up to four bytes.
  static constexpr std::size_t BUFFER_SIZE = 1024;
  static constexpr std::size_t BUFFER_BYTES = 4 * (BUFFER_SIZE - 1) + 1;
  MessageExtractor();
  // True with the message after the first marker; false (outgoing) with an empty one.
  bool ExtractMessage(char marker, const std::string& conversationText, std::string& message);

 private:
  std::vector<char> textBuffer_;
  std::vector<char> messageBuffer_;
};

class IgnoredWindowList {
 public:
  void Clear();
  void Add(WindowId window);
  bool Contains(WindowId window) const;
  // Fills the list at activation: the topmost conversation window (0 if none), then, if
  // there was one, every top-level window in Z order.
  void Snapshot(WindowId topConversation, const std::vector<WindowId>& topLevelWindows);
  const std::vector<WindowId>& windows() const { return windows_; }

 private:
  std::vector<WindowId> windows_;
};
