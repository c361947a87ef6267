// The About box: the program's picture, its version and an OK button.
#include "app/main_window_win32.h"
#include "base/dialog_controls_win32.h"
#include "base/display_scale_win32.h"
#include "base/effects_win32.h"
#include "resources/resource.h"

namespace {

// The picture is centred across the box and starts at its top, so its mark shows once
// whatever width the box has at the display scale.
void centrePicture(HDC dc, HWND dialog, HWND control, const WindowBackground& picture) {
  RECT client{};
  GetClientRect(dialog, &client);
  AlignBrushOrigin(dc, control, dialog, (client.right - picture.size.width) / 2);
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      FitLabels(window);
      return TRUE;
    case WM_CTLCOLORDLG: {
      WindowBackground picture = BackgroundFor(IDB_ABOUT, window);
      if (picture.brush) centrePicture(reinterpret_cast<HDC>(wParam), window, nullptr, picture);
      return reinterpret_cast<INT_PTR>(picture.brush);
    }
    case WM_CTLCOLORSTATIC: {
      WindowBackground picture = BackgroundFor(IDB_ABOUT, window);
      // Without the dark picture (lite look) the text keeps the system's colours.
      if (!picture.brush) return FALSE;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, RGB(255, 255, 255));
      SetBkMode(dc, TRANSPARENT);
      centrePicture(dc, window, reinterpret_cast<HWND>(lParam), picture);
      return reinterpret_cast<INT_PTR>(picture.brush);
    }
    case WM_DPICHANGED:
      TakeSuggestedRect(window, lParam);
      return FALSE;
    case UM_FIT_LABELS:
      FitLabels(window);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}
