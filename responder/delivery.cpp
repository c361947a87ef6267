// Typing and sending the reply through posted messages.
#include "responder/delivery.h"

#include "base/program_text.h"
#include "responder/conversation.h"

bool TypeFragment(ImWindows& windows, WindowId entryField, const std::string& text) {
  if (entryField == 0) return false;
  // Focus on another program's window may be refused; the posted characters reach the
  // entry field either way, so the result does not matter.
  windows.setFocus(entryField);
  // The end mark is looked for among characters, not bytes: in a double-byte code page
  // its byte can be the second half of another character.
  for (char16_t unit : Utf16FromProgramText(text)) {
    if (unit == static_cast<char16_t>(REPLY_END_MARK)) break;
    if (!windows.postChar(entryField, unit)) return false;
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
