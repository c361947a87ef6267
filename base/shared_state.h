// Process-wide values, notification kinds and the private messages through which the
// guard thread and the companion windows reach the main window.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "resources/resource.h"  // the private messages

// The kind of a notification popup; the numbers are the kinds' stored values.
enum NoteKind : int { NOTE_CAUTION = 0, NOTE_ERROR = 1, NOTE_INFO = 2, NOTE_MESSAGE = 3 };

// The request message that asks the main window for a popup of this kind.
unsigned noteRequestMessage(NoteKind kind);

// Animation speed: pixels per slide step and the base of the pause between fade steps.
struct UiTiming {
  int32_t slideStep = 10;
  int32_t fadeBase = 300;
};

// The pair for a uiSpeed setting: 0 Slow, 2 Fast, anything else Normal.
UiTiming uiTimingForSpeed(int32_t uiSpeed);

// Pause after each fade step: (fadeBase / 240) * 16 ms in integer arithmetic.
int fadeStepPauseMs(const UiTiming& timing);

// The main window as the engine, the message log and the companion windows see it: its
// controls' texts (IDC_STATUS, IDC_RECEIVED_COUNT, IDC_REPLIED_COUNT), its title and its
// message queue. The Win32 implementation writes to the real dialog; tests record.
class MainWindowPort {
 public:
  virtual ~MainWindowPort() = default;
  virtual void setItemText(int controlId, const std::string& text) = 0;
  virtual void setTitle(const std::string& text) = 0;
  // True when the message is on its way.
  virtual bool postMessage(unsigned message) = 0;
};

// The port every note request and statistics refresh goes to; a port that drops
// everything until the main window installs its own.
MainWindowPort& mainWindow();
void setMainWindowPort(MainWindowPort* port);

// One popup asked for: its kind and the text it was asked with.
struct NoteRequest {
  NoteKind kind;
  std::string text;
};

// The note requests that the main window has not shown yet, oldest first. The request
// messages carry no data, so each one stands for the oldest request of its kind here:
// every popup shows the text it was asked with, however many requests come at once and
// from whichever thread.
class NoteQueue {
 public:
  // Keeps the request and posts its message to the main window, both under one lock so
  // that the messages arrive in the order of the requests. A request whose message cannot
  // be posted is not kept.
  void request(NoteKind kind, const std::string& text);
  // The oldest request of this kind, taken out; none if there is none.
  std::optional<NoteRequest> take(NoteKind kind);
  // Every request still waiting, oldest first.
  std::vector<NoteRequest> pending() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::deque<NoteRequest> requests_;
};

// Flags and counters shared by the interface thread and the guard thread. Each flag has
// a single writer; atomics make every read see a whole value without a lock.
extern std::atomic<bool> AutoresponseActive;
extern std::atomic<bool> NotifyEnabled;
extern std::atomic<bool> LogToFileEnabled;
extern std::atomic<int32_t> ReceivedCount;
extern std::atomic<int32_t> RepliedCount;
extern NoteQueue PendingNotes;

// Interface-thread values: the default reply text, the animation timing in force and the
// lite look (no pictures, fades or slides). The main window sets them from the settings
// record at start-up and when the configuration dialog has changed it.
extern std::string DefaultReplyText;
extern UiTiming CurrentUiTiming;
extern bool LiteLook;

// A note request that is made whatever NotifyEnabled says: the request joins
// PendingNotes and the kind's request message is posted to the main window.
void RequestNote(NoteKind kind, const std::string& text);

// A note request made only while NotifyEnabled is true; otherwise nothing happens.
void PostNote(NoteKind kind, const std::string& text);

// A save of fileName failed: the main window's status line says why ("Could not save
// <fileName>: <reason>") and an error popup with the short noteText is requested whatever
// the notification switch says, since the change will be gone at the next start.
void TellSaveFailed(const std::string& fileName, const std::string& reason,
                    const std::string& noteText);
