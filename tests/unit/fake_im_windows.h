// An in-memory stand-in for the chat client's windows: conversation windows with a
// title, a history text (or a read that fails), an entry field and a Send button, other
// top-level windows, the Z order, and a record of everything posted, in order. Safe to
// change from a test thread while a guard thread reads it.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "responder/im_windows.h"

class FakeImWindows : public ImWindows {
 public:
  struct Conversation {
    std::string title;
    std::string text;
    bool readFails = false;
    bool throwsOnRead = false;  // as if memory ran out while reading
    bool hasEntryField = true;
    bool hasSendButton = true;
    bool closeFails = false;
    bool staysOpen = false;  // its close is posted but not handled (yet)
  };

  enum class EventKind { Focus, Char, Click, Close, Sleep };
  struct Event {
    EventKind kind;
    WindowId window;
    unsigned value;  // the UTF-16 unit, or the sleep in milliseconds
  };

  // Entry field and Send button of a conversation get ids derived from its own.
  static WindowId entryOf(WindowId conversation) { return conversation + 1; }
  static WindowId buttonOf(WindowId conversation) { return conversation + 2; }

  // Opens a conversation window on top of every other window; returns its id.
  WindowId openConversation(const Conversation& c) {
    std::lock_guard<std::mutex> lock(mutex_);
    WindowId id = nextId_;
    nextId_ += 16;
    conversations_[id] = c;
    zOrder_.insert(zOrder_.begin(), id);
    return id;
  }

  // Opens a conversation window below every other window.
  WindowId openConversationAtBottom(const Conversation& c) {
    std::lock_guard<std::mutex> lock(mutex_);
    WindowId id = nextId_;
    nextId_ += 16;
    conversations_[id] = c;
    zOrder_.push_back(id);
    return id;
  }

  // A top-level window of another program, on top.
  WindowId openOtherWindow() {
    std::lock_guard<std::mutex> lock(mutex_);
    WindowId id = nextId_;
    nextId_ += 16;
    zOrder_.insert(zOrder_.begin(), id);
    return id;
  }

  void setText(WindowId window, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    conversations_.at(window).text = text;
  }

  bool isOpen(WindowId window) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::find(zOrder_.begin(), zOrder_.end(), window) != zOrder_.end();
  }

  // These character posts fail (counting from 1 over the whole run).
  void failCharPosts(const std::set<int>& which) {
    std::lock_guard<std::mutex> lock(mutex_);
    failingChars_ = which;
  }

  std::vector<Event> events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }
  // The events in order as words, characters in a row to one window joined into one
  // typing: "sleep 1000, focus, type \" Hey \", click, close"; what a test compares whole.
  std::string eventLog() const {
    std::lock_guard<std::mutex> lock(mutex_);
    static const char* const NAMES[] = {"focus", "type", "click", "close", "sleep"};
    std::string log;
    std::u16string typed;
    for (std::size_t i = 0; i < events_.size(); ++i) {
      const Event& e = events_[i];
      if (e.kind == EventKind::Char) typed += static_cast<char16_t>(e.value);
      const bool more = e.kind == EventKind::Char && i + 1 < events_.size() &&
                        events_[i + 1].kind == EventKind::Char && events_[i + 1].window == e.window;
      if (more) continue;
      log += (log.empty() ? "" : ", ") + std::string(NAMES[static_cast<int>(e.kind)]);
      if (e.kind == EventKind::Char) log += " \"" + Utf8FromUtf16(typed) + '"';
      if (e.kind == EventKind::Sleep) log += " " + std::to_string(e.value);
      typed.clear();
    }
    return log;
  }
  void clearEvents() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
  }
  // The characters posted to one conversation's entry field, as UTF-16 units and as text.
  std::u16string unitsTypedInto(WindowId conversation) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::u16string typed;
    for (const Event& e : events_)
      if (e.kind == EventKind::Char && e.window == entryOf(conversation))
        typed += static_cast<char16_t>(e.value);
    return typed;
  }
  std::string typedInto(WindowId conversation) const {
    return Utf8FromUtf16(unitsTypedInto(conversation));
  }
  int count(EventKind kind, WindowId window) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(std::count_if(events_.begin(), events_.end(), [&](const Event& e) {
      return e.kind == kind && e.window == window;
    }));
  }
  // Passed as the guard's sleep so that waits appear in the event record in order.
  // Listing the Z order runs out of memory from now on (or no longer).
  void failListings(bool fail = true) {
    std::lock_guard<std::mutex> lock(mutex_);
    listingsFail_ = fail;
  }

  void recordSleep(uint32_t ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({EventKind::Sleep, 0, ms});
  }

  // How often the whole Z order was listed (once per activation that found a
  // conversation window).
  int listings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return listings_;
  }
  int threadsStarted() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return started_;
  }
  int threadsEnded() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ended_;
  }

  void threadStarted() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++started_;
  }
  void threadEnding() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++ended_;
  }

  WindowId findTopConversation() override {
    std::lock_guard<std::mutex> lock(mutex_);
    for (WindowId id : zOrder_)
      if (conversations_.count(id)) return id;
    return 0;
  }
  std::vector<WindowId> listConversations() override {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<WindowId> ids;
    for (WindowId id : zOrder_)
      if (conversations_.count(id)) ids.push_back(id);
    return ids;
  }
  std::vector<WindowId> listTopLevelWindows(WindowId anyTopLevel) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++listings_;
    if (listingsFail_) throw std::bad_alloc();
    if (std::find(zOrder_.begin(), zOrder_.end(), anyTopLevel) == zOrder_.end()) return {};
    return zOrder_;
  }
  std::string readTitle(WindowId window, int maxCount) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = conversations_.find(window);
    if (it == conversations_.end() || !open(window) || maxCount <= 0) return "";
    return std::string(Utf8Prefix(it->second.title, static_cast<std::size_t>(maxCount - 1)));
  }
  bool readConversationText(WindowId conversation, std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = conversations_.find(conversation);
    if (it == conversations_.end() || !open(conversation)) return false;
    if (it->second.throwsOnRead) throw std::bad_alloc();
    if (it->second.readFails) return false;
    text = it->second.text;
    return true;
  }
  WindowId findEntryField(WindowId conversation) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = conversations_.find(conversation);
    return it != conversations_.end() && it->second.hasEntryField && open(conversation)
               ? entryOf(conversation)
               : 0;
  }
  WindowId findSendButton(WindowId conversation) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = conversations_.find(conversation);
    return it != conversations_.end() && it->second.hasSendButton && open(conversation)
               ? buttonOf(conversation)
               : 0;
  }
  void setFocus(WindowId window) override {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({EventKind::Focus, window, 0});
  }
  bool postChar(WindowId entryField, char16_t code) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++charPosts_;
    if (failingChars_.count(charPosts_)) return false;
    events_.push_back({EventKind::Char, entryField, code});
    return true;
  }
  bool postClick(WindowId button) override {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({EventKind::Click, button, 0});
    return true;
  }
  bool postClose(WindowId conversation) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = conversations_.find(conversation);
    if (it == conversations_.end() || !open(conversation) || it->second.closeFails) return false;
    events_.push_back({EventKind::Close, conversation, 0});
    if (!it->second.staysOpen)
      zOrder_.erase(std::find(zOrder_.begin(), zOrder_.end(), conversation));
    return true;
  }

 private:
  bool open(WindowId window) const {
    return std::find(zOrder_.begin(), zOrder_.end(), window) != zOrder_.end();
  }

  mutable std::mutex mutex_;
  WindowId nextId_ = 0x100;
  std::map<WindowId, Conversation> conversations_;
  std::vector<WindowId> zOrder_;  // front is the top
  std::vector<Event> events_;
  std::set<int> failingChars_;
  int charPosts_ = 0;
  int listings_ = 0;
  bool listingsFail_ = false;
  int started_ = 0;
  int ended_ = 0;
};
