// The one boundary between the responder engine and the chat client's windows. The
// Win32 implementation talks to the real conversation windows; tests use an in-memory
// double.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A window handle taken as an opaque value; 0 is no window.
using WindowId = std::uintptr_t;

class ImWindows {
 public:
  virtual ~ImWindows() = default;

  // Called on the guard thread when it starts and when it ends (COM for the thread).
  virtual void threadStarted() {}
  virtual void threadEnding() {}

  // The first top-level conversation window ("IMClass") in Z order, or 0.
  virtual WindowId findTopConversation() = 0;
  // Every top-level conversation window in Z order, the topmost first.
  virtual std::vector<WindowId> listConversations() = 0;
  // Every top-level window on the desktop in Z order, starting from the first.
  virtual std::vector<WindowId> listTopLevelWindows(WindowId anyTopLevel) = 0;
  // The window's title as a buffer of maxCount characters holds it: at most maxCount - 1
  // whole characters, in the program's text.
  virtual std::string readTitle(WindowId window, int maxCount) = 0;
  // The plain text of the conversation's history view, in the program's text.
  virtual bool readConversationText(WindowId conversation, std::string& text) = 0;

  // The conversation's entry field ("YIMInputWindow") and Send button ("Button" titled
  // "&Send"), or 0.
  virtual WindowId findEntryField(WindowId conversation) = 0;
  virtual WindowId findSendButton(WindowId conversation) = 0;

  virtual void setFocus(WindowId window) = 0;
  // Posted messages: a character (one UTF-16 unit; a character beyond the first 65536 is
  // two posts), a click, a close request. False when the post failed.
  virtual bool postChar(WindowId entryField, char16_t unit) = 0;
  virtual bool postClick(WindowId button) = 0;
  virtual bool postClose(WindowId conversation) = 0;
};
