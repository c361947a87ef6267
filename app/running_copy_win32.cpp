// Finding the running Quorvane of this session: its mutex tells that it runs, a small
// named block of shared memory holds its main window.
#include "app/running_copy_win32.h"

#include "resources/resource.h"

namespace {

// Session-local, like the mutex: each signed-in user has a Quorvane of their own.
const char* const MAIN_WINDOW_BLOCK_NAME = "Quorvane.MainWindow";
// How long a later start waits for a running copy that has no main window yet (it is
// still starting, or it is closing and this start may take its place).
constexpr DWORD WAIT_FOR_RUNNING_COPY_MS = 5000;
constexpr DWORD LOOK_AGAIN_MS = 50;

// Written by the running copy only; 64-bit fields whatever the bitness of the reader.
struct MainWindowBlock {
  volatile LONG64 window;
  volatile LONG64 processId;
};

MainWindowBlock* mainWindowBlock() {
  static MainWindowBlock* block = [] {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(MainWindowBlock), MAIN_WINDOW_BLOCK_NAME);
    if (!mapping) return static_cast<MainWindowBlock*>(nullptr);
    // The mapping stays open as long as the process runs.
    return static_cast<MainWindowBlock*>(
        MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(MainWindowBlock)));
  }();
  return block;
}

// The published main window, if it is still a window of the process that published it (a
// copy that was killed leaves its last handle behind, and handles are reused).
HWND publishedMainWindow() {
  MainWindowBlock* block = mainWindowBlock();
  if (!block) return nullptr;
  HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(InterlockedOr64(&block->window, 0)));
  if (!window) return nullptr;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner != 0 && owner == static_cast<DWORD>(block->processId) ? window : nullptr;
}

void askToComeForward(HWND window) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  // This start was just made by the user, so it may hand the right to take the
  // foreground on to the running copy.
  AllowSetForegroundWindow(owner);
  PostMessageA(window, UM_COME_FORWARD, 0, 0);
}

}  // namespace

bool BecomeTheRunningCopy(const char* runningMutexName) {
  // Without the mutex nothing can tell whether another copy runs: run as before.
  HANDLE running = CreateMutexA(nullptr, FALSE, runningMutexName);
  if (!running) return true;
  const DWORD began = GetTickCount();
  DWORD wait = 0;
  for (;;) {
    // Owned until the process ends, never released: of two starts at once only one gets
    // it, and a copy that ends, however it ends, leaves it to the next start.
    DWORD taken = WaitForSingleObject(running, wait);
    if (taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED) {
      PublishMainWindow(nullptr);
      return true;
    }
    if (HWND window = publishedMainWindow()) {
      askToComeForward(window);
      return false;
    }
    if (GetTickCount() - began >= WAIT_FOR_RUNNING_COPY_MS) return false;
    wait = LOOK_AGAIN_MS;
  }
}

void PublishMainWindow(HWND window) {
  MainWindowBlock* block = mainWindowBlock();
  if (!block) return;
  // The process first, then the window: a reader that sees the window sees its process.
  InterlockedExchange64(&block->processId, static_cast<LONG64>(GetCurrentProcessId()));
  InterlockedExchange64(&block->window, static_cast<LONG64>(reinterpret_cast<ULONG_PTR>(window)));
}

void ComeForward(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  // While a dialog of its own is open (the configuration, say) the main window takes no
  // input: that dialog comes to the front instead.
  SetForegroundWindow(IsWindowEnabled(window) ? window : GetLastActivePopup(window));
}
