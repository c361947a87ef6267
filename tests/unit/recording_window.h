// A main window that records what the message log and the log file write to it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/shared_state.h"

class RecordingWindow : public MainWindowPort {
 public:
  void setItemText(int controlId, const std::string& text) override { items[controlId] = text; }
  void setTitle(const std::string& text) override { title = text; }
  void postMessage(unsigned message) override { posted.push_back(message); }

  std::map<int, std::string> items;
  std::string title;
  std::vector<unsigned> posted;
};

// Installs a recording window and puts the shared switches and counters back afterwards.
class SharedStateGuard {
 public:
  SharedStateGuard() { setMainWindowPort(&window); }
  ~SharedStateGuard() {
    setMainWindowPort(nullptr);
    NotifyEnabled = false;
    LogToFileEnabled = false;
    ReceivedCount = 0;
    RepliedCount = 0;
    NoteText.set("");
  }
  RecordingWindow window;
};
