// Typing and sending the reply through posted messages.
#include "responder/delivery.h"

#include "responder/conversation.h"

bool TypeFragment(ImWindows& windows, WindowId entryField, const std::string& text) {
  if (entryField == 0) return false;
  // Focus on another program's window may be refused; the posted characters reach the
  // entry field either way, so the result does not matter.
  windows.setFocus(entryField);
  for (char c : text) {
    if (c == REPLY_END_MARK) break;
    // Characters above 127 must arrive as their code page value, not sign-extended.
    if (!windows.postChar(entryField, static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool TypeReply(ImWindows& windows, WindowId conversation, const std::string& senderKey,
               const std::string& replyText) {
  if (conversation == 0) return false;
  WindowId entryField = windows.findEntryField(conversation);
  if (entryField == 0) return false;
  // A lost character in the greeting or the ID still leaves a reply worth sending.
  TypeFragment(windows, entryField, REPLY_GREETING);
  TypeFragment(windows, entryField, senderKey);
  return TypeFragment(windows, entryField, replyText);
}

bool PressSend(ImWindows& windows, WindowId conversation) {
  if (conversation == 0) return false;
  WindowId button = windows.findSendButton(conversation);
  if (button == 0) return false;
  return windows.postClick(button);
}

bool CloseConversation(ImWindows& windows, WindowId conversation) {
  if (conversation == 0) return false;
  return windows.postClose(conversation);
}
