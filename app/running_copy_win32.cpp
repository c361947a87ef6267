// The calls behind a start's decision and a running copy's side of it: the running mutex, a
// small named block of shared memory in which copies tell their state and main window, the
// mark on every Quorvane main window, the windows and processes of the desktop, and the
// request to come forward. Only Quorvane's own objects are trusted: anyone of this user can
// create names like these.
#include "app/running_copy_win32.h"

#include <sddl.h>

#include <string>
#include <vector>

#include "base/companion_window_win32.h"
#include "resources/resource.h"

namespace {

const char* const CAPTION = "Quorvane";

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

// The block holds one 64-bit entry, so that it changes in one step: the state in the high
// half, and in the low half the main window, or the process of a copy that has no window
// yet. Only the low 32 bits of a window handle count, in 32-bit and 64-bit programs alike.
LONG64 entryOf(const PublishedCopy& copy) {
  const uint32_t low =
      copy.state == COPY_STARTING ? copy.processId : static_cast<uint32_t>(copy.window);
  return static_cast<LONG64>((static_cast<uint64_t>(copy.state) << 32) | low);
}

PublishedCopy copyOf(LONG64 entry) {
  PublishedCopy copy;
  copy.state = entry >> 32;
  const uint32_t low = static_cast<uint32_t>(entry);
  if (copy.state == COPY_STARTING)
    copy.processId = low;
  else
    copy.window = static_cast<WindowRef>(static_cast<LONG_PTR>(static_cast<LONG>(low)));
  return copy;
}

HWND windowOf(WindowRef window) {
  return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(window));
}

WindowRef refOf(HWND window) {
  return static_cast<WindowRef>(reinterpret_cast<ULONG_PTR>(window));
}

// Every Quorvane main window carries its process id under this name: what tells it from a
// window of another program built the same way, without asking the copy anything or reading
// its program file.
const wchar_t* const MAIN_WINDOW_MARK = L"Quorvane.MainWindow";

bool markedBy(HWND window, DWORD processId) {
  return reinterpret_cast<ULONG_PTR>(GetPropW(window, MAIN_WINDOW_MARK)) == processId;
}

BOOL CALLBACK collectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<WindowRef>*>(windows)->push_back(refOf(window));
  return TRUE;
}

// This session's Windows, as a start and the running copy ask it.
class Win32RunningCopy : public RunningCopySystem {
 public:
  explicit Win32RunningCopy(const char* mutexName) : mutexName_(mutexName) {}
  bool holdsName() const { return taken_; }

  NameResult takeName() override {
    if (taken_) return NameResult::Taken;
    if (!mutex_) {
      mutex_ = createOwnObject([this](SECURITY_ATTRIBUTES* security) {
        return CreateMutexA(security, FALSE, mutexName_);
      });
      // Another user's copy holds it, one this start may not reach.
      if (!mutex_)
        return GetLastError() == ERROR_ACCESS_DENIED ? NameResult::Refused
                                                     : NameResult::Unavailable;
    }
    // Owned until the process ends, never released: of two starts at once only one gets
    // it, and a copy that ends, however it ends, leaves it to the next start.
    const DWORD answer = WaitForSingleObject(mutex_, 0);
    taken_ = answer == WAIT_OBJECT_0 || answer == WAIT_ABANDONED;
    return taken_ ? NameResult::Taken : NameResult::HeldElsewhere;
  }

  PublishedCopy readBlock() override {
    RunningCopyBlock* block = runningCopyBlock();
    return block ? copyOf(InterlockedOr64(&block->entry, 0)) : PublishedCopy{};
  }

  bool replaceBlock(const PublishedCopy& seen, const PublishedCopy& next) override {
    RunningCopyBlock* block = runningCopyBlock();
    if (!block) return true;  // nobody can read it either
    const LONG64 expected = entryOf(seen);
    return InterlockedCompareExchange64(&block->entry, entryOf(next), expected) == expected;
  }

  std::vector<WindowRef> topLevelWindows() override {
    std::vector<WindowRef> windows;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
  }

  WindowFacts describeWindow(WindowRef ref) override {
    WindowFacts facts;
    HWND window = windowOf(ref);
    DWORD owner = 0;
    if (!GetWindowThreadProcessId(window, &owner)) return facts;
    facts.processId = owner;
    facts.quorvane = markedBy(window, owner);
    if (!facts.quorvane) return facts;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, owner);
    facts.reachable = process || GetLastError() != ERROR_ACCESS_DENIED;
    if (process) CloseHandle(process);
    return facts;
  }

  bool processAlive(uint32_t processId) override {
    if (processId == 0) return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    const bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return alive;
  }

  uint32_t ownProcessId() override { return GetCurrentProcessId(); }

  // This start was just made by the user (or this copy, giving way, holds the foreground),
  // so it may hand the right to take the foreground on to the running copy. Sent, not
  // posted: it returns once the copy has handled it.
  ForwardAnswer askToComeForward(WindowRef ref) override {
    HWND window = windowOf(ref);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    AllowSetForegroundWindow(owner);
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, UM_COME_FORWARD, 0, 0, SMTO_ABORTIFHUNG,
                             WAIT_FOR_RUNNING_COPY_MS, &answer))
      // A copy run as administrator takes no message from a normal start.
      return GetLastError() == ERROR_ACCESS_DENIED ? ForwardAnswer::Refused
                                                   : ForwardAnswer::NoAnswer;
    return answer == static_cast<DWORD_PTR>(COME_FORWARD_CLOSING) ? ForwardAnswer::Closing
                                                                  : ForwardAnswer::CameForward;
  }

  // The window is checked again once its process is held: if it is still there, marked by
  // that process, the handle is that process and no other that took over its id.
  bool waitForEnd(WindowRef ref) override {
    HWND window = windowOf(ref);
    DWORD owner = 0, stillOwner = 0;
    if (!GetWindowThreadProcessId(window, &owner)) return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, owner);
    if (!process) return false;
    const bool checked = GetWindowThreadProcessId(window, &stillOwner) && stillOwner == owner &&
                         markedBy(window, owner);
    if (checked) WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
    return checked;
  }

  void pause(uint32_t ms) override { Sleep(ms); }
  uint32_t nowMs() override { return GetTickCount(); }
  void tell(const char* text) override {
    MessageBoxA(nullptr, text, CAPTION, MB_OK | MB_ICONEXCLAMATION);
  }

 private:
  const char* mutexName_;
  HANDLE mutex_ = nullptr;  // open until the process ends
  bool taken_ = false;
};

Win32RunningCopy* runningCopy = nullptr;
HWND mainWindow = nullptr;
// Set once this copy has begun to close.
bool closing = false;

// A close waits in the queue: posted, or a system command (the taskbar's Close, Alt+F4).
// Only the first message of a kind can be looked at in place, so the system commands are
// taken out and put back in their order.
bool closeWaiting(HWND window) {
  MSG message;
  if (PeekMessageW(&message, window, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) return true;
  std::vector<MSG> commands;
  bool close = false;
  while (PeekMessageW(&message, window, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) {
    close = close || (message.wParam & 0xFFF0) == SC_CLOSE;
    commands.push_back(message);
  }
  for (const MSG& command : commands)
    PostMessageW(window, command.message, command.wParam, command.lParam);
  return close;
}

}  // namespace

StartDecision BecomeTheRunningCopy(const char* runningMutexName, UINT& exitCode) {
  runningCopy = new Win32RunningCopy(runningMutexName);  // lives until the process ends
  unsigned code = EXIT_DONE;
  const StartDecision decision = DecideStart(*runningCopy, code);
  exitCode = code;
  return decision;
}

void PublishMainWindow(HWND window) {
  mainWindow = window;
  SetPropW(window, MAIN_WINDOW_MARK,
           reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentProcessId())));
  if (runningCopy) PublishRunning(*runningCopy, refOf(window), runningCopy->holdsName());
}

void PublishClosing() {
  closing = true;
  if (runningCopy) PublishClosing(*runningCopy, refOf(mainWindow));
}

void UnmarkMainWindow(HWND window) {
  RemovePropW(window, MAIN_WINDOW_MARK);
}

bool TakeRunningName(HWND window) {
  if (!runningCopy || closing) return true;
  WindowRef stays = 0;
  switch (LookForRunningName(*runningCopy, refOf(window), stays)) {
    case WithoutName::TookIt:
      return true;
    case WithoutName::TryAgain:
      return false;
    case WithoutName::GiveWay:
      break;
  }
  // A dialog the user has open here is theirs to finish, and what they save in it is kept:
  // this copy gives way once it is closed.
  if (!IsWindowEnabled(window) || OpenInputDialogs() > 0) return false;
  // Asked and answered before this window goes: with the request posted, this window
  // could close first, and the foreground went elsewhere (under Wine to the desktop)
  // before the other copy came forward.
  if (runningCopy->askToComeForward(stays) == ForwardAnswer::Closing) return false;
  PostMessageW(window, WM_CLOSE, 0, 0);
  return true;
}

LRESULT ComeForward(HWND window) {
  // A close the user asked for before this start may still wait in the queue, since the
  // start's request, being sent, overtakes it: the close goes on, and the start runs in
  // this copy's place once it has ended.
  if (closing || closeWaiting(window)) return COME_FORWARD_CLOSING;
  // Minimised, perhaps hidden in the notification area: shown and restored.
  if (IsIconic(window) || !IsWindowVisible(window)) ShowWindow(window, SW_RESTORE);
  // While a dialog of its own is open (the configuration, say) the main window takes no
  // input: that dialog comes to the front instead.
  SetForegroundWindow(IsWindowEnabled(window) ? window : GetLastActivePopup(window));
  return 0;
}
