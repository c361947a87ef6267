// Typing and sending the reply inside the chat client's own conversation window, as if
// the user typed it: character messages to the entry field, a click on Send, a close
// request. Everything is posted; nothing waits for the chat client to act on it.
#pragma once

#include <string>

#include "responder/im_windows.h"

// The greeting typed before the sender's ID; it ends with the end mark like every text
// handed to typing.
constexpr const char* REPLY_GREETING = " Hey >";

// Posts every character before the first '>' (or up to the end of the text) to the
// entry field, as its UTF-16 units. False for no entry field or when a post failed (typing stops
// there).
bool TypeFragment(ImWindows& windows, WindowId entryField, const std::string& text);

// The greeting, the sender ID with its comma, then the reply up to its end mark. True
// when the entry field was found and the reply itself was posted completely; failures
// while typing the greeting or the ID do not count.
bool TypeReply(ImWindows& windows, WindowId conversation, const std::string& senderKey,
               const std::string& replyText);

// True when the Send button was found and the click was posted.
bool PressSend(ImWindows& windows, WindowId conversation);

// True when the close request was posted.
bool CloseConversation(ImWindows& windows, WindowId conversation);
