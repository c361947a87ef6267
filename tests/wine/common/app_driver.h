// Drives quorvane.exe from a test as a user would: starts it in a fresh working folder,
// finds its windows, clicks controls by id, reads texts, and closes it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The status line of a Quorvane that is not on guard.
inline const char* const INACTIVE_TEXT = "Autoresponse is Currently Inactive...";

// The folder <build folder>\<name>, or in it the folder of this group of tests when groups
// run side by side (QV_TEST_GROUP), so that no two groups share files; made if missing.
std::string GroupFolder(const std::string& name);

// waitUntil with this thread's messages handled between the checks, every 20 ms.
bool WaitUntil(const std::function<bool()>& check, DWORD timeoutMs);

// Texts of another process's windows (WM_GETTEXT crosses process boundaries).
std::string WindowText(HWND window);

// The same as UTF-8, through the UTF-16 messages, and a text set that way.
std::string Utf8WindowText(HWND window);
bool SetUtf8WindowText(HWND window, const std::string& text);

// Holds a mutex of this name that this user may not open, as another user's program would.
HANDLE HoldUnreachableMutex(const char* name);

// A visible top-level window of the program with the text it shows.
struct ProgramWindow {
  HWND window = nullptr;
  RECT frame{};
};

// A notification popup as a user sees it.
struct PopupWindow {
  HWND window = nullptr;
  RECT frame{};
  std::string text;
};

class QuorvaneApp;

// Every popup the program shows while it is watched, once each, in the order shown: call
// look() more often than a popup lives.
class PopupRecord {
 public:
  explicit PopupRecord(const QuorvaneApp& app) : app_(app) {}
  void look();
  std::vector<std::string> texts() const;
  int count(const std::string& text) const;

 private:
  const QuorvaneApp& app_;
  std::vector<PopupWindow> seen_;
};

class QuorvaneApp {
 public:
  // The working folder QV_BUILD_DIR\apprun\<caseName>, emptied of files.
  explicit QuorvaneApp(const std::string& caseName);
  // Runs the program in a folder of the caller's choice, leaving its files as they are.
  struct ExistingFolder {
    std::string path;
  };
  explicit QuorvaneApp(const ExistingFolder& folder);
  // The same for a folder named in UTF-16, beyond the ANSI code page; path() and the file
  // helpers do not reach into it.
  struct WideFolder {
    std::wstring path;
  };
  explicit QuorvaneApp(const WideFolder& folder);
  ~QuorvaneApp();  // ends the program if it still runs
  QuorvaneApp(const QuorvaneApp&) = delete;
  QuorvaneApp& operator=(const QuorvaneApp&) = delete;

  const std::string& folder() const { return folder_; }
  std::string path(const std::string& fileName) const { return folder_ + "\\" + fileName; }
  bool writeFile(const std::string& fileName, const std::string& bytes) const;
  bool readFile(const std::string& fileName, std::string& bytes) const;
  // Names of the files in the working folder that match a wildcard pattern.
  std::vector<std::string> files(const std::string& pattern) const;

  // Starts the program (QV_BUILD_DIR\quorvane.exe unless another was set) in the working
  // folder and waits until its main window is visible and start-up has filled in the
  // status line.
  bool start(DWORD timeoutMs = 15000);
  // The two halves of start: the process started, then its main window found.
  bool launch();
  // Start-up ends with the feedback line in the status line, or with the status given.
  bool waitForMainWindow(DWORD timeoutMs = 15000, const std::string& status = "");
  void setProgram(const std::string& exe) { program_ = exe; }
  bool running() const;
  DWORD processId() const { return process_.dwProcessId; }
  HANDLE process() const { return process_.hProcess; }
  HWND mainWindow() const { return main_; }

  HWND control(int id) const { return GetDlgItem(main_, id); }
  std::string text(int id) const { return WindowText(control(id)); }
  std::string title() const { return WindowText(main_); }
  bool setText(int id, const std::string& text) const;
  bool checked(int id) const;
  bool readOnly(int id) const;
  // Clicks a button of the main window (posted, so it returns at once).
  void click(int id) const;
  void post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // Waits until the control shows this text.
  bool waitForText(int id, const std::string& expected, DWORD timeoutMs = 5000) const;

  // The program's visible top-level windows other than the main window.
  std::vector<ProgramWindow> otherWindows() const;
  // The visible companion window holding a control with this id (not a popup), or null.
  HWND companion(int controlId) const;
  // Clicks [ About :) ] and waits for the About box; its window, or null.
  HWND openAbout() const;
  // The open notification popups, newest first (top of the stacking order first).
  std::vector<PopupWindow> popups() const;
  // Waits for a popup showing this text; its window, or null.
  HWND waitForPopup(const std::string& text, DWORD timeoutMs = 5000) const;
  // Waits until no popup is open.
  bool waitForNoPopups(DWORD timeoutMs) const;

  // How long a message posted to the main window waits before it is handled, in ms: an
  // EM_SETSEL posted to the reply box, read back with sent EM_GETSELs (sent messages
  // overtake posted ones, so only the posted one can show a stall) until it shows. The box
  // must hold at least two characters.
  double postedMessageDelayMs() const;

  // Asks the main window to close and waits for the process to end; its exit code, or
  // STILL_ACTIVE when it did not end in time.
  DWORD close(DWORD timeoutMs = 10000);
  // Waits for the process to end by itself; its exit code or STILL_ACTIVE.
  DWORD waitForExit(DWORD timeoutMs);

 private:
  std::string folder_;
  std::wstring wideFolder_;
  std::string program_ = std::string(QV_BUILD_DIR) + "\\quorvane.exe";
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
};
