// Writes to the main window on behalf of other threads and subsystems.
#include "base/main_window_port_win32.h"

void Win32MainWindowPort::setItemText(int controlId, const std::string& text) {
  HWND w = window_;
  if (w) SetDlgItemTextA(w, controlId, text.c_str());
}

void Win32MainWindowPort::setTitle(const std::string& text) {
  HWND w = window_;
  if (w) SetWindowTextA(w, text.c_str());
}

bool Win32MainWindowPort::postMessage(unsigned message) {
  HWND w = window_;
  return w && PostMessageA(w, message, 0, 0);
}
