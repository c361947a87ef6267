// Drives the stand-in messenger from a test: starts it with a transcript file, opens
// conversation windows in it, reads back what those windows received, and stops it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/app_driver.h"
#include "standin_messenger/messenger_protocol.h"

// One conversation window to open. The defaults make a contact's message in a complete
// window titled "<sender> - chat" (or the given title).
struct StandInConversation {
  std::string title;   // ANSI (UTF-8 when unicode); empty with a sender: "<sender> - chat"
  std::string sender;  // the contact's ID, written before the message (ANSI or UTF-8)
  std::wstring text;   // the message, or the whole document text in STANDIN_TEXT_RAW
  std::uint32_t textMode = STANDIN_TEXT_MESSAGE;
  std::uint32_t options = 0;  // StandInOpenOption bits
  std::uint32_t hangMilliseconds = 0;
  // A title given exactly, even an empty one (otherwise an empty title is made from the
  // sender).
  bool titleExact = false;
  // A Unicode window (STANDIN_UNICODE): title and sender are UTF-8 here.
  bool unicode = false;
};

// One line of the transcript.
struct StandInEvent {
  std::uint64_t ms = 0;
  std::string kind;  // "start", "open", "char", "click", "close", "quit"
  HWND window = nullptr;
  std::string text;      // open: the title; click: the entry text; char: the character
  unsigned code = 0;     // char: the code; start: the process id
  bool unicode = false;  // open: a Unicode window, its texts in UTF-8
};

// What one conversation window received, gathered from the transcript.
struct StandInWindowRecord {
  HWND window = nullptr;
  bool unicode = false;  // a Unicode window: title, typed and sent hold UTF-8
  std::string title;
  std::uint64_t openedMs = 0;
  std::string typed;              // every character posted to the entry field, in order
  std::wstring typedUnits;        // the same as the codes that arrived, one per WM_CHAR
  std::vector<std::string> sent;  // the entry field's text at each Send click
  std::vector<std::uint64_t> clickMs;
  bool closed = false;
  std::uint64_t closedMs = 0;
  std::uint64_t firstCharMs = 0;  // 0 when nothing was typed
};

class StandInMessenger {
 public:
  StandInMessenger() = default;
  ~StandInMessenger();  // stops the stand-in if it still runs
  StandInMessenger(const StandInMessenger&) = delete;
  StandInMessenger& operator=(const StandInMessenger&) = delete;

  // Starts the stand-in writing to transcriptPath (a Windows path; an old file is
  // replaced) and waits until its control window answers. It is the 32-bit build when the
  // environment has QV_STANDIN=32 (and start fails unless that runs as a 32-bit process),
  // otherwise the 64-bit one.
  bool start(const std::string& transcriptPath, DWORD timeoutMs = 10000);
  // Asks it to quit and waits for the process to end; kills it after timeoutMs.
  void stop(DWORD timeoutMs = 5000);
  // Ends it at once, as a crash or the task manager would: no windows closed, nothing said.
  void kill();
  bool running() const;

  // Opens a conversation window; the result is its handle, or null on failure.
  HWND openConversation(const StandInConversation& conversation);
  // The usual case: a contact's message in a complete window titled "<title>".
  HWND openMessage(const std::string& title, const std::string& sender,
                   const std::wstring& message);
  // A conversation the user started: only the 34-character empty-window text.
  HWND openEmpty(const std::string& title);
  // A contact's message in a Unicode window; every text in UTF-8.
  HWND openUnicodeMessage(const std::string& title, const std::string& sender,
                          const std::string& message);
  // A contact writes again into an open window: a new line "<sender>: <message>".
  bool appendMessage(HWND window, const std::string& sender, const std::wstring& message);
  bool raise(HWND window);
  // Destroys every conversation window without recording close events.
  int closeAll();

  // The transcript as it stands now.
  std::vector<StandInEvent> events() const;
  // One window's record (an empty record with window null if the transcript has none).
  StandInWindowRecord record(HWND window) const;
  std::vector<StandInWindowRecord> records() const;

  // Waits until the transcript records a close request for the window and the window is
  // gone. Pumps this thread's messages meanwhile.
  bool waitForClose(HWND window, DWORD timeoutMs);
  // Waits until the window's entry field has received at least count characters (UTF-16
  // units in a Unicode window).
  bool waitForChars(HWND window, size_t count, DWORD timeoutMs);
  // Waits until the window's Send button has been clicked at least count times.
  bool waitForClicks(HWND window, size_t count, DWORD timeoutMs);

  HWND controlWindow() const { return control_; }
  DWORD processId() const { return pi_.dwProcessId; }
  const std::string& transcriptPath() const { return transcript_; }

 private:
  LRESULT command(std::uint32_t code, const std::vector<char>& payload);
  bool waitFor(HWND window, DWORD timeoutMs, bool (*done)(const StandInWindowRecord&, size_t),
               size_t count);

  PROCESS_INFORMATION pi_{};
  HWND control_ = nullptr;
  HANDLE job_ = nullptr;
  std::string transcript_;
};

// Parses one transcript line; false for a line that is not an event.
bool parseStandInEvent(const std::string& line, StandInEvent& event);
// Gathers per-window records, in the order the windows were opened.
std::vector<StandInWindowRecord> gatherStandInRecords(const std::vector<StandInEvent>& events);
// "Name (id) - chat" as the chat client titles a one-to-one conversation.
std::string standInChatTitle(const std::string& name, const std::string& id);
// The text in a conversation's entry field (WM_GETTEXT: GetWindowTextA does not ask a
// control of another process for its text). Empty when there is no entry field.
std::string standInEntryText(HWND conversation);
// Reads a conversation's document text the way the responder does (WM_HTML_GETOBJECT,
// ObjectFromLresult, get_body, get_innerText), as UTF-16. False when any step fails.
bool readStandInDocumentText(HWND conversation, std::wstring& text, DWORD timeoutMs = 1000);

// Starts the stand-in, its transcript in the program's folder, then the program; true
// when both run. Inline, so programs that never start Quorvane need no app driver.
inline bool StartWithMessenger(QuorvaneApp& app, StandInMessenger& messenger) {
  return messenger.start(app.path("standin_transcript.txt")) && app.start();
}
