// Finding the running Quorvane of this session: its mutex tells that it runs, a small
// named block of shared memory tells its state, its process and its main window. Only
// Quorvane's own objects are trusted: anyone of this user can create names like these.
#include "app/running_copy_win32.h"

#include <sddl.h>

#include <string>

#include "resources/resource.h"

namespace {

// How long a later start waits for a running copy that shows no main window (it is still
// starting, or what holds the mutex is not Quorvane at all).
constexpr DWORD WAIT_FOR_RUNNING_COPY_MS = 5000;
constexpr DWORD LOOK_AGAIN_MS = 50;
const wchar_t* const PROGRAM_FILE = L"quorvane.exe";
const char* const DIALOG_CLASS = "#32770";
const char* const CAPTION = "Quorvane";
const char* const TEXT_OTHER_RIGHTS =
    "Quorvane is already running with other rights (as administrator, or as another user). "
    "Close it first.";
const char* const TEXT_NOT_ANSWERING =
    "Quorvane is already running, but its window did not come up. Wait a moment, then start "
    "Quorvane again.";

std::wstring userSid() {
  std::wstring text;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return text;
  alignas(TOKEN_USER) BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  wchar_t* sid = nullptr;
  if (GetTokenInformation(token, TokenUser, user, sizeof user, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid)) {
    text = sid;
    LocalFree(sid);
  }
  CloseHandle(token);
  return text;
}

// Security attributes from their text, kept until the process ends; null when the system
// does not understand the text.
SECURITY_ATTRIBUTES* securityFrom(const std::wstring& sddl, SECURITY_ATTRIBUTES& attributes) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr))
    return nullptr;
  attributes = SECURITY_ATTRIBUTES{sizeof attributes, descriptor, FALSE};
  return &attributes;
}

// The mutex and the block belong to this user alone: another user's start is refused (and
// so learns that a copy runs) and cannot take or forge them. The user is named rather than
// left to the token's default, which for a process run as administrator names the
// administrators instead. The medium label keeps what a copy run as administrator creates
// within reach of a normal start, which could not open it under the high label it would
// get by default.
struct OwnSecurity {
  SECURITY_ATTRIBUTES* labelled;
  SECURITY_ATTRIBUTES* unlabelled;
};
const OwnSecurity& ownSecurity() {
  static SECURITY_ATTRIBUTES labelled{}, unlabelled{};
  static const OwnSecurity security = [] {
    const std::wstring sid = userSid();
    if (sid.empty()) return OwnSecurity{nullptr, nullptr};
    const std::wstring userOnly = L"D:P(A;;GA;;;" + sid + L")";
    return OwnSecurity{securityFrom(userOnly + L"S:(ML;;NW;;;ME)", labelled),
                       securityFrom(userOnly, unlabelled)};
  }();
  return security;
}

// Creates (or opens) one of the running copy's named objects. The label can be refused (a
// process running below medium may not label anything medium) or not be understood: the
// user-only DACL alone still keeps other users out, and without even that the object has
// the default security, as named objects always had. A refusal to open an object that
// exists is the caller's to handle.
template <typename Create>
HANDLE createOwnObject(Create create) {
  const OwnSecurity& security = ownSecurity();
  HANDLE object = security.labelled ? create(security.labelled) : nullptr;
  if (!object && (!security.labelled || GetLastError() != ERROR_ACCESS_DENIED))
    object = create(security.unlabelled);
  return object;
}

RunningCopyBlock* runningCopyBlock() {
  static RunningCopyBlock* block = [] {
    HANDLE mapping = createOwnObject([](SECURITY_ATTRIBUTES* security) {
      return CreateFileMappingA(INVALID_HANDLE_VALUE, security, PAGE_READWRITE, 0,
                                sizeof(RunningCopyBlock), RUNNING_COPY_BLOCK_NAME);
    });
    if (!mapping) return static_cast<RunningCopyBlock*>(nullptr);
    // The mapping stays open as long as the process runs.
    return static_cast<RunningCopyBlock*>(
        MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(RunningCopyBlock)));
  }();
  return block;
}

void publish(RunningCopyState state, HWND window) {
  RunningCopyBlock* block = runningCopyBlock();
  if (!block) return;
  const LONG64 copy = (state << 32) | static_cast<LONG64>(GetCurrentProcessId());
  const LONG64 handle = static_cast<LONG64>(reinterpret_cast<ULONG_PTR>(window));
  // A reader takes the window first and then the state: the window is there before the state
  // says running, and the state says closing before the window goes.
  if (state == COPY_RUNNING) InterlockedExchange64(&block->window, handle);
  InterlockedExchange64(&block->copy, copy);
  if (state != COPY_RUNNING) InterlockedExchange64(&block->window, handle);
}

struct PublishedCopy {
  HWND window = nullptr;
  DWORD processId = 0;
  LONG64 state = 0;
};

PublishedCopy publishedCopy() {
  PublishedCopy published;
  RunningCopyBlock* block = runningCopyBlock();
  if (!block) return published;
  published.window =
      reinterpret_cast<HWND>(static_cast<ULONG_PTR>(InterlockedOr64(&block->window, 0)));
  const LONG64 copy = InterlockedOr64(&block->copy, 0);
  published.processId = static_cast<DWORD>(copy);
  published.state = copy >> 32;
  return published;
}

// Another process whose program file is quorvane.exe, wherever it lies, opened with the
// access asked for; null for any other process (or none).
HANDLE openOtherQuorvane(DWORD processId, DWORD access) {
  if (processId == 0 || processId == GetCurrentProcessId()) return nullptr;
  HANDLE process = OpenProcess(access | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return nullptr;
  wchar_t image[MAX_PATH * 2];
  DWORD length = MAX_PATH * 2;
  if (QueryFullProcessImageNameW(process, 0, image, &length)) {
    const wchar_t* name = image + length;
    while (name > image && name[-1] != L'\\') --name;
    if (lstrcmpiW(name, PROGRAM_FILE) == 0) return process;
  }
  CloseHandle(process);
  return nullptr;
}

bool isOtherQuorvane(DWORD processId) {
  HANDLE process = openOtherQuorvane(processId, 0);
  if (process) CloseHandle(process);
  return process != nullptr;
}

// Whether a window is the main window of another Quorvane: a dialog with the main window's
// status line and reply box, in a process of quorvane.exe. Its owner goes to owner.
bool isQuorvaneMainWindow(HWND window, DWORD& owner) {
  char className[16] = {};
  if (!window || !GetClassNameA(window, className, sizeof className) ||
      lstrcmpA(className, DIALOG_CLASS) != 0 || !GetDlgItem(window, IDC_STATUS) ||
      !GetDlgItem(window, IDC_DEFAULT_REPLY))
    return false;
  GetWindowThreadProcessId(window, &owner);
  return isOtherQuorvane(owner);
}

// The published main window, if the block's copy is not closing and the window is that
// copy's and a Quorvane main window (a copy that was killed leaves its last handle behind,
// handles are reused, and anyone of this user can write the block).
HWND publishedMainWindow(const PublishedCopy& published) {
  DWORD owner = 0;
  return published.state != COPY_CLOSING && isQuorvaneMainWindow(published.window, owner) &&
                 owner == published.processId
             ? published.window
             : nullptr;
}

BOOL CALLBACK keepQuorvaneMainWindow(HWND window, LPARAM found) {
  DWORD owner = 0;
  if (!isQuorvaneMainWindow(window, owner)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Any Quorvane main window on this desktop: the block may have been written by someone else
// after the running copy published itself.
HWND anyQuorvaneMainWindow() {
  HWND found = nullptr;
  EnumWindows(keepQuorvaneMainWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Waits, with no limit, until a closing copy has ended; false when the process is no
// Quorvane (or gone).
bool waitForTheEndOf(DWORD processId) {
  HANDLE process = openOtherQuorvane(processId, SYNCHRONIZE);
  if (!process) return false;
  WaitForSingleObject(process, INFINITE);
  CloseHandle(process);
  return true;
}

StartDecision giveUp(const char* text, ExitCode code, UINT& exitCode) {
  MessageBoxA(nullptr, text, CAPTION, MB_OK | MB_ICONEXCLAMATION);
  exitCode = code;
  return StartDecision::End;
}

// This start was just made by the user, so it may hand the right to take the foreground on
// to the running copy. Sent, not posted: once it has been handled, the block tells whether
// the copy had begun to close. False when it was not handled: the window went, the copy
// does not answer, or it takes no message from this process (ERROR_ACCESS_DENIED: a copy
// run as administrator refuses those of a normal start).
bool askToComeForward(HWND window) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  AllowSetForegroundWindow(owner);
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, UM_COME_FORWARD, 0, 0, SMTO_ABORTIFHUNG,
                             WAIT_FOR_RUNNING_COPY_MS, &ignored) != 0;
}

}  // namespace

StartDecision BecomeTheRunningCopy(const char* runningMutexName, UINT& exitCode) {
  HANDLE running = createOwnObject([runningMutexName](SECURITY_ATTRIBUTES* security) {
    return CreateMutexA(security, FALSE, runningMutexName);
  });
  if (!running) {
    // A copy of another user holds it, one this start may not reach; running beside it, both
    // would answer every conversation and write the same files.
    if (GetLastError() == ERROR_ACCESS_DENIED)
      return giveUp(TEXT_OTHER_RIGHTS, EXIT_OTHER_RIGHTS, exitCode);
    // Without the mutex nothing can tell whether another copy runs: run as before.
    return StartDecision::Run;
  }
  DWORD began = GetTickCount();
  DWORD wait = 0;
  for (;;) {
    // Owned until the process ends, never released: of two starts at once only one gets
    // it, and a copy that ends, however it ends, leaves it to the next start.
    const DWORD taken = WaitForSingleObject(running, wait);
    if (taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED) {
      publish(COPY_STARTING, nullptr);
      return StartDecision::Run;
    }
    PublishedCopy published = publishedCopy();
    const bool waitedEnough = GetTickCount() - began >= WAIT_FOR_RUNNING_COPY_MS;
    HWND window = publishedMainWindow(published);
    if (!window && waitedEnough) window = anyQuorvaneMainWindow();
    if (window && askToComeForward(window)) {
      // A copy that came forward while closing is waited for below, like any closing copy.
      published = publishedCopy();
      if (published.state != COPY_CLOSING) {
        exitCode = EXIT_DONE;
        return StartDecision::End;
      }
    } else if (window && GetLastError() == ERROR_ACCESS_DENIED) {
      return giveUp(TEXT_OTHER_RIGHTS, EXIT_OTHER_RIGHTS, exitCode);
    }
    if (published.state == COPY_CLOSING && waitForTheEndOf(published.processId)) {
      // Its mutex is free now, unless another start took it first: that one gets the
      // usual wait.
      began = GetTickCount();
      wait = 0;
      continue;
    }
    if (!waitedEnough) {
      wait = LOOK_AGAIN_MS;
      continue;
    }
    if (isOtherQuorvane(published.processId))
      return giveUp(TEXT_NOT_ANSWERING, EXIT_NOT_ANSWERING, exitCode);
    // No Quorvane holds the mutex, and nothing else may keep Quorvane from running.
    publish(COPY_STARTING, nullptr);
    return StartDecision::RunThoughNameHeldElsewhere;
  }
}

void PublishMainWindow(HWND window) {
  publish(COPY_RUNNING, window);
}

void PublishClosing() {
  publish(COPY_CLOSING, nullptr);
}

void ComeForward(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  // While a dialog of its own is open (the configuration, say) the main window takes no
  // input: that dialog comes to the front instead.
  SetForegroundWindow(IsWindowEnabled(window) ? window : GetLastActivePopup(window));
}
