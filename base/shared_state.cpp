// Process-wide values and the note requests that reach the main window.
#include "base/shared_state.h"

std::atomic<bool> AutoresponseActive{false};
std::atomic<bool> NotifyEnabled{false};
std::atomic<bool> LogToFileEnabled{false};
std::atomic<int32_t> ReceivedCount{0};
std::atomic<int32_t> RepliedCount{0};
NoteQueue PendingNotes;
std::string DefaultReplyText;
UiTiming CurrentUiTiming;
bool LiteLook = false;

namespace {

// Until the main window exists, requests and statistics go nowhere.
class NoMainWindow : public MainWindowPort {
 public:
  void setItemText(int, const std::string&) override {}
  void setTitle(const std::string&) override {}
  bool postMessage(unsigned) override { return false; }
};

NoMainWindow noMainWindow;
std::atomic<MainWindowPort*> currentPort{&noMainWindow};

}  // namespace

MainWindowPort& mainWindow() {
  return *currentPort.load();
}

void setMainWindowPort(MainWindowPort* port) {
  currentPort = port ? port : &noMainWindow;
}

unsigned noteRequestMessage(NoteKind kind) {
  switch (kind) {
    case NOTE_CAUTION:
      return UM_SHOW_NOTE_CAUTION;
    case NOTE_ERROR:
      return UM_SHOW_NOTE_ERROR;
    case NOTE_INFO:
      return UM_SHOW_NOTE_INFO;
    case NOTE_MESSAGE:
      return UM_SHOW_NOTE_MESSAGE;
  }
  return UM_SHOW_NOTE_INFO;
}

UiTiming uiTimingForSpeed(int32_t uiSpeed) {
  if (uiSpeed == 0) return UiTiming{1, 1000};
  if (uiSpeed == 2) return UiTiming{25, 100};
  return UiTiming{10, 300};
}

int fadeStepPauseMs(const UiTiming& timing) {
  return (timing.fadeBase / 240) * 16;
}

void NoteQueue::request(NoteKind kind, const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(NoteRequest{kind, text});
  if (!mainWindow().postMessage(noteRequestMessage(kind))) requests_.pop_back();
}

std::optional<NoteRequest> NoteQueue::take(NoteKind kind) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = requests_.begin(); it != requests_.end(); ++it) {
    if (it->kind != kind) continue;
    NoteRequest oldest = std::move(*it);
    requests_.erase(it);
    return oldest;
  }
  return std::nullopt;
}

std::vector<NoteRequest> NoteQueue::pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::vector<NoteRequest>(requests_.begin(), requests_.end());
}

void NoteQueue::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

void RequestNote(NoteKind kind, const std::string& text) {
  PendingNotes.request(kind, text);
}

void PostNote(NoteKind kind, const std::string& text) {
  if (NotifyEnabled) RequestNote(kind, text);
}

void TellSaveFailed(const std::string& fileName, const std::string& reason,
                    const std::string& noteText) {
  mainWindow().setItemText(IDC_STATUS, "Could not save " + fileName + ": " + reason);
  RequestNote(NOTE_ERROR, noteText);
}
