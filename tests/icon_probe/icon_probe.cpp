// The icon probe: runs inside quorvane.exe as a WH_GETMESSAGE hook.
#include "icon_probe/icon_probe.h"

namespace {

LONG iconWidth(HWND window, WPARAM which) {
  HICON icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, which, 0));
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  BITMAP image{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof image, &image);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return image.bmWidth;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    IconProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE &&
      message->message == RegisterWindowMessageA(ICON_PROBE_MESSAGE)) {
    HANDLE memory = OpenFileMappingA(FILE_MAP_WRITE, FALSE, ICON_PROBE_MEMORY);
    auto* answer = memory ? static_cast<IconProbeAnswer*>(MapViewOfFile(memory, FILE_MAP_WRITE, 0,
                                                                        0, sizeof(IconProbeAnswer)))
                          : nullptr;
    if (answer) {
      answer->bigWidth = iconWidth(message->hwnd, ICON_BIG);
      answer->smallWidth = iconWidth(message->hwnd, ICON_SMALL);
      InterlockedExchange(&answer->answered, 1);
      UnmapViewOfFile(answer);
    }
    if (memory) CloseHandle(memory);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
