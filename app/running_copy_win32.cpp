// The calls behind a start's decision: the running mutex, a small named block of shared
// memory in which the running copy tells its state, its process and its main window, the
// windows and processes of the desktop, and the request to come forward. Only Quorvane's
// own objects are trusted: anyone of this user can create names like these.
#include "app/running_copy_win32.h"

#include <sddl.h>

#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

const char* const DIALOG_CLASS = "#32770";
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

HWND windowOf(WindowRef window) {
  return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(window));
}

// The product name in the version information of a program file; empty when it has none.
std::string productNameOf(const wchar_t* file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  if (size == 0) return "";
  std::vector<BYTE> info(size);
  if (!GetFileVersionInfoW(file, 0, size, info.data())) return "";
  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(Translation))
    return "";
  wchar_t key[64];
  wsprintfW(key, L"\\StringFileInfo\\%04x%04x\\ProductName", translation->language,
            translation->codePage);
  wchar_t* name = nullptr;
  if (!VerQueryValueW(info.data(), key, reinterpret_cast<void**>(&name), &length) || !name)
    return "";
  std::string text;
  for (const wchar_t* c = name; *c; ++c) text += *c < 0x80 ? static_cast<char>(*c) : '?';
  return text;
}

BOOL CALLBACK collectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<WindowRef>*>(windows)->push_back(
      static_cast<WindowRef>(reinterpret_cast<ULONG_PTR>(window)));
  return TRUE;
}

// This session's Windows, as a start asks it.
class Win32RunningCopy : public RunningCopySystem {
 public:
  explicit Win32RunningCopy(const char* mutexName) : mutexName_(mutexName) {}

  NameResult takeName(uint32_t waitMs) override {
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
    const DWORD answer = WaitForSingleObject(mutex_, waitMs);
    taken_ = answer == WAIT_OBJECT_0 || answer == WAIT_ABANDONED;
    return taken_ ? NameResult::Taken : NameResult::HeldElsewhere;
  }

  PublishedCopy readBlock() override {
    PublishedCopy published;
    RunningCopyBlock* block = runningCopyBlock();
    if (!block) return published;
    published.window = static_cast<WindowRef>(InterlockedOr64(&block->window, 0));
    const LONG64 copy = InterlockedOr64(&block->copy, 0);
    published.processId = static_cast<uint32_t>(copy);
    published.state = copy >> 32;
    return published;
  }

  void publishStarting() override { publish(COPY_STARTING, nullptr); }

  std::vector<WindowRef> topLevelWindows() override {
    std::vector<WindowRef> windows;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
  }

  WindowFacts describeWindow(WindowRef ref) override {
    WindowFacts facts;
    HWND window = windowOf(ref);
    char className[16] = {};
    DWORD owner = 0;
    if (!GetWindowThreadProcessId(window, &owner)) return facts;
    facts.processId = owner;
    facts.mainWindowShape = GetClassNameA(window, className, sizeof className) &&
                            lstrcmpA(className, DIALOG_CLASS) == 0 &&
                            GetDlgItem(window, IDC_STATUS) && GetDlgItem(window, IDC_DEFAULT_REPLY);
    return facts;
  }

  ProcessFacts describeProcess(uint32_t processId) override {
    ProcessFacts facts;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    // A process that has gone can be examined: it is no Quorvane.
    facts.reachable = process || GetLastError() != ERROR_ACCESS_DENIED;
    if (!process) return facts;
    // One that has ended is no Quorvane, though a handle still held elsewhere keeps it.
    DWORD exitCode = 0;
    wchar_t image[MAX_PATH * 2];
    DWORD length = MAX_PATH * 2;
    if (GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE &&
        QueryFullProcessImageNameW(process, 0, image, &length))
      facts.productName = productNameOf(image);
    CloseHandle(process);
    return facts;
  }

  uint32_t ownProcessId() override { return GetCurrentProcessId(); }

  // This start was just made by the user, so it may hand the right to take the foreground
  // on to the running copy. Sent, not posted: it returns once the copy has handled it.
  ForwardAnswer askToComeForward(WindowRef ref) override {
    HWND window = windowOf(ref);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    AllowSetForegroundWindow(owner);
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, UM_COME_FORWARD, 0, 0, SMTO_ABORTIFHUNG,
                             WAIT_FOR_RUNNING_COPY_MS, &answer))
      // A copy run as administrator takes no message from a normal start.
      return GetLastError() == ERROR_ACCESS_DENIED ? ForwardAnswer::Refused
                                                   : ForwardAnswer::NoAnswer;
    return answer == static_cast<DWORD_PTR>(COME_FORWARD_CLOSING) ? ForwardAnswer::Closing
                                                                  : ForwardAnswer::CameForward;
  }

  bool waitForEnd(uint32_t processId) override {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) return false;
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
    return true;
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
// Set once this copy has begun to close.
bool closing = false;

}  // namespace

StartDecision BecomeTheRunningCopy(const char* runningMutexName, UINT& exitCode) {
  runningCopy = new Win32RunningCopy(runningMutexName);  // lives until the process ends
  unsigned code = EXIT_DONE;
  const StartDecision decision = DecideStart(*runningCopy, code);
  exitCode = code;
  return decision;
}

void PublishMainWindow(HWND window) {
  publish(COPY_RUNNING, window);
}

void PublishClosing() {
  closing = true;
  publish(COPY_CLOSING, nullptr);
}

bool TakeRunningName(HWND mainWindow) {
  if (!runningCopy || runningCopy->takeName(0) != NameResult::Taken) return false;
  if (!closing) PublishMainWindow(mainWindow);
  return true;
}

LRESULT ComeForward(HWND window) {
  // A close the user asked for before this start may still wait in the queue, since the
  // start's request, being sent, overtakes it: the close goes on, and the start runs in
  // this copy's place once it has ended.
  MSG waiting;
  if (closing || PeekMessageA(&waiting, window, WM_CLOSE, WM_CLOSE, PM_NOREMOVE))
    return COME_FORWARD_CLOSING;
  // Minimised, perhaps hidden in the notification area: shown and restored.
  if (IsIconic(window) || !IsWindowVisible(window)) ShowWindow(window, SW_RESTORE);
  // While a dialog of its own is open (the configuration, say) the main window takes no
  // input: that dialog comes to the front instead.
  SetForegroundWindow(IsWindowEnabled(window) ? window : GetLastActivePopup(window));
  return 0;
}
