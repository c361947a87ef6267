// The main window as a test sees it: every control text, title and posted message the
// engine, the message log and the note requests write to it. The guard thread may write
// while the test reads.
#pragma once

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/shared_state.h"

class RecordingWindow : public MainWindowPort {
 public:
  void setItemText(int id, const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    items_[id] = text;
    if (id == IDC_STATUS) statuses_.push_back(text);
  }
  void setTitle(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    title_ = text;
  }
  bool postMessage(unsigned message) override {
    std::lock_guard<std::mutex> lock(mutex_);
    posted_.push_back(message);
    return true;
  }

  // The control's last text, empty if it was never written.
  std::string item(int id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = items_.find(id);
    return found == items_.end() ? "" : found->second;
  }
  std::string title() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return title_;
  }
  std::vector<unsigned> posted() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return posted_;
  }
  // Every status line text in the order written.
  std::vector<std::string> statuses() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return statuses_;
  }
  int countStatus(const std::string& text) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(std::count(statuses_.begin(), statuses_.end(), text));
  }

 private:
  mutable std::mutex mutex_;
  std::map<int, std::string> items_;
  std::vector<std::string> statuses_;
  std::string title_;
  std::vector<unsigned> posted_;
};

// Installs a recording window and puts the shared switches and counters back afterwards.
class SharedStateGuard {
 public:
  SharedStateGuard() { setMainWindowPort(&window); }
  ~SharedStateGuard() {
    setMainWindowPort(nullptr);
    AutoresponseActive = false;
    NotifyEnabled = false;
    LogToFileEnabled = false;
    ReceivedCount = 0;
    RepliedCount = 0;
    PendingNotes.clear();
  }
  RecordingWindow window;
};
