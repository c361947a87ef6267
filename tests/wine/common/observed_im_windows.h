// Wraps the real access to the chat client's windows and observes the guard thread
// through it: how often it has looked for a conversation window (once per pass, plus
// once for the snapshot at activation) and a handle to the thread itself, for its CPU
// times. Lets tests and benchmarks wait for passes instead of guessing times, and hold the
// guard back from looking while they arrange windows.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "responder/im_windows.h"

class ObservedImWindows : public ImWindows {
 public:
  explicit ObservedImWindows(ImWindows& real) : real_(real) {}
  ~ObservedImWindows() override {
    HANDLE h = thread_.exchange(nullptr);
    if (h) CloseHandle(h);
  }

  int looks() const { return looks_; }
  // Held, the guard thread waits before its next look for a conversation window.
  std::mutex& lookGate() { return lookGate_; }
  // The latest guard thread, or null before the first one started.
  HANDLE guardThread() const { return thread_; }

  void threadStarted() override {
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self,
                    THREAD_QUERY_INFORMATION, FALSE, 0);
    HANDLE old = thread_.exchange(self);
    if (old) CloseHandle(old);
    real_.threadStarted();
  }
  void threadEnding() override { real_.threadEnding(); }
  WindowId findTopConversation() override {
    std::lock_guard<std::mutex> gate(lookGate_);
    ++looks_;
    return real_.findTopConversation();
  }
  std::vector<WindowId> listConversations() override {
    std::lock_guard<std::mutex> gate(lookGate_);
    ++looks_;
    return real_.listConversations();
  }
  std::vector<WindowId> listTopLevelWindows(WindowId w) override {
    return real_.listTopLevelWindows(w);
  }
  std::string readTitle(WindowId w, int n) override { return real_.readTitle(w, n); }
  bool readConversationText(WindowId w, std::string& t) override {
    return real_.readConversationText(w, t);
  }
  WindowId findEntryField(WindowId w) override { return real_.findEntryField(w); }
  WindowId findSendButton(WindowId w) override { return real_.findSendButton(w); }
  void setFocus(WindowId w) override { real_.setFocus(w); }
  bool postChar(WindowId w, char16_t c) override { return real_.postChar(w, c); }
  bool postClick(WindowId w) override { return real_.postClick(w); }
  bool postClose(WindowId w) override { return real_.postClose(w); }

 private:
  ImWindows& real_;
  std::atomic<int> looks_{0};
  std::atomic<HANDLE> thread_{nullptr};
  std::mutex lookGate_;
};
