// The icon and label probe: runs inside quorvane.exe as a WH_GETMESSAGE hook.
#include "icon_probe/icon_probe.h"

#include <cstdio>
#include <cstring>

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

// Counts the window's statics and buttons with a text and lists in `cut` those whose text,
// measured with the control's own font, does not fit where Wine draws it: a static's wrapped
// at its width (one line when centred in its height) within its height; a push button's
// within its edges, a check box's beside its box, gap and focus frame, a group box's inside
// its frame.
LONG measureLabels(HWND window, char* cut, size_t size) {
  LONG count = 0;
  for (HWND control = GetWindow(window, GW_CHILD); control;
       control = GetWindow(control, GW_HWNDNEXT)) {
    char kind[16] = "", text[256] = "";
    GetClassNameA(control, kind, sizeof kind);
    const LONG style = GetWindowLongA(control, GWL_STYLE), type = style & BS_TYPEMASK;
    const bool isStatic = !lstrcmpiA(kind, "Static") && (style & SS_TYPEMASK) <= SS_RIGHT;
    if (!GetWindowTextA(control, text, sizeof text) || (!isStatic && lstrcmpiA(kind, "Button")))
      continue;
    const UINT format = !isStatic || (style & SS_CENTERIMAGE)
                            ? DT_SINGLELINE
                            : DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    RECT box{};
    GetClientRect(control, &box);
    HDC dc = GetDC(control);
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    const LONG room =
        box.right - (isStatic                   ? 0
                     : type <= BS_DEFPUSHBUTTON ? 6
                     : type == BS_GROUPBOX      ? 16
                                                : MulDiv(18, GetDeviceCaps(dc, LOGPIXELSX), 96));
    RECT drawn{0, 0, room, 0};
    DrawTextA(dc, text, -1, &drawn, DT_CALCRECT | format);
    SelectObject(dc, oldFont);
    ReleaseDC(control, dc);
    ++count;
    if (drawn.right > room || ((format & DT_WORDBREAK) && drawn.bottom > box.bottom)) {
      const size_t used = strlen(cut);
      snprintf(cut + used, size - used, "\"%s\" takes %ldx%ld of %ldx%ld; ", text, drawn.right,
               drawn.bottom, room, box.bottom);
    }
  }
  return count;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    IconProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  const UINT asked = code == HC_ACTION && wParam == PM_REMOVE ? message->message : 0;
  const bool icons = asked == RegisterWindowMessageA(ICON_PROBE_MESSAGE);
  if (icons || asked == RegisterWindowMessageA(LABEL_PROBE_MESSAGE)) {
    HANDLE memory = OpenFileMappingA(FILE_MAP_WRITE, FALSE, ICON_PROBE_MEMORY);
    auto* answer = memory ? static_cast<IconProbeAnswer*>(MapViewOfFile(memory, FILE_MAP_WRITE, 0,
                                                                        0, sizeof(IconProbeAnswer)))
                          : nullptr;
    if (answer && icons) {
      answer->bigWidth = iconWidth(message->hwnd, ICON_BIG);
      answer->smallWidth = iconWidth(message->hwnd, ICON_SMALL);
    } else if (answer) {
      answer->labels = measureLabels(message->hwnd, answer->cut, sizeof answer->cut);
    }
    if (answer) {
      InterlockedExchange(&answer->answered, 1);
      UnmapViewOfFile(answer);
    }
    if (memory) CloseHandle(memory);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
