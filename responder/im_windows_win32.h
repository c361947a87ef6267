// The chat client's real windows: found by class and title, read through the hosted
// HTML view's document, driven by posted messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "responder/im_windows.h"

class Win32ImWindows : public ImWindows {
 public:
  // Initialises COM on the constructing thread (undone by the destructor, which must run
  // on that thread) and loads the accessibility library at run time, from the system
  // folder only. A missing library or entry does not stop anything: every conversation
  // read then fails.
  explicit Win32ImWindows(const char* accessibilityLibrary = "OLEACC.DLL");
  ~Win32ImWindows() override;
  Win32ImWindows(const Win32ImWindows&) = delete;
  Win32ImWindows& operator=(const Win32ImWindows&) = delete;

  // COM for the guard thread itself; the threads of two activations overlap for a while,
  // so each keeps its own result.
  void threadStarted() override;
  void threadEnding() override;

  WindowId findTopConversation() override;
  std::vector<WindowId> listConversations() override;
  std::vector<WindowId> listTopLevelWindows(WindowId anyTopLevel) override;
  std::string readTitle(WindowId window, int maxCount) override;
  bool readConversationText(WindowId conversation, std::string& text) override;

  WindowId findEntryField(WindowId conversation) override;
  WindowId findSendButton(WindowId conversation) override;

  void setFocus(WindowId window) override;
  bool postChar(WindowId entryField, char16_t unit) override;
  bool postClick(WindowId button) override;
  bool postClose(WindowId conversation) override;

  bool hasDocumentEntry() const { return objectFromLresult_ != nullptr; }

 private:
  using ObjectFromLresultFn = HRESULT(WINAPI*)(LRESULT, REFIID, WPARAM, void**);

  HRESULT comResult_ = E_FAIL;
  HMODULE accessibility_ = nullptr;
  ObjectFromLresultFn objectFromLresult_ = nullptr;
};
