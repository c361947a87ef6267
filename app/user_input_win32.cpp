// Low-level keyboard and mouse hooks on a thread that does nothing but take their calls,
// so that the system never waits on a busy interface thread (it drops hooks that answer
// late). Each event passes UserInputFilter before it counts.
#include "app/user_input_win32.h"

#include <windows.h>

#include <atomic>

#include "app/user_input.h"

namespace {

struct HookThread {
  HANDLE thread = nullptr;
  DWORD id = 0;
  bool hooked = false;
  HANDLE ready = nullptr;
};

HookThread hooks;  // the interface thread's
// Written by the hooks' thread, read by the interface thread.
std::atomic<uint32_t> stamp{0};
std::atomic<uint64_t> lastMs{0};
UserInputFilter filter;  // the hooks' thread's

void seen(InputKind kind, POINT at) {
  if (!filter.isUsers(kind, at.x, at.y)) return;
  lastMs = GetTickCount64();
  ++stamp;
}

LRESULT CALLBACK mouseHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    seen(message == WM_MOUSEMOVE ? InputKind::Move : InputKind::Button, mouse->pt);
  }
  return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK keyboardHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) seen(InputKind::Key, POINT{0, 0});
  return CallNextHookEx(nullptr, code, message, data);
}

DWORD WINAPI hookThreadMain(void*) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, mouseHook, module, 0);
  HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHook, module, 0);
  hooks.hooked = mouse && keyboard;
  SetEvent(hooks.ready);
  if (hooks.hooked) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  }
  if (mouse) UnhookWindowsHookEx(mouse);
  if (keyboard) UnhookWindowsHookEx(keyboard);
  return 0;
}

}  // namespace

bool WatchUserInput() {
  if (hooks.thread) return hooks.hooked;
  lastMs = GetTickCount64();
  filter = UserInputFilter{};  // where the pointer is, the first move tells again
  hooks.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!hooks.ready) return false;
  hooks.thread = CreateThread(nullptr, 0, hookThreadMain, nullptr, 0, &hooks.id);
  if (hooks.thread) WaitForSingleObject(hooks.ready, INFINITE);
  CloseHandle(hooks.ready);
  hooks.ready = nullptr;
  return hooks.hooked;
}

void StopWatchingUserInput() {
  if (!hooks.thread) return;
  PostThreadMessageW(hooks.id, WM_QUIT, 0, 0);
  WaitForSingleObject(hooks.thread, 1000);
  CloseHandle(hooks.thread);
  hooks = HookThread{};
}

bool WatchingUserInput() {
  return hooks.hooked;
}

UserInputSeen LastUserInput() {
  return UserInputSeen{stamp, lastMs};
}
