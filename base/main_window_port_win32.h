// The main window's status line, statistics, title and message queue for the guard
// thread and the message log, written straight to the dialog.
#pragma once

#include <windows.h>

#include <atomic>

#include "base/shared_state.h"

class Win32MainWindowPort : public MainWindowPort {
 public:
  explicit Win32MainWindowPort(HWND window = nullptr) : window_(window) {}
  void setWindow(HWND window) { window_ = window; }
  HWND window() const { return window_; }

  // SetDlgItemTextA and SetWindowTextA from another thread are sent to the window's own
  // thread, which must therefore keep handling messages.
  void setItemText(int controlId, const std::string& text) override;
  void setTitle(const std::string& text) override;
  bool postMessage(unsigned message) override;

 private:
  std::atomic<HWND> window_;
};
