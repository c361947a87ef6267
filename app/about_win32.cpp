// The About box: the program's picture, its version and an OK button.
#include "app/main_window_win32.h"
#include "base/dialog_controls_win32.h"
#include "base/effects_win32.h"
#include "resources/resource.h"

namespace {

// The picture is drawn for a box of its own width; where the system makes the box wider
// (other font metrics), the picture is centred rather than cut off on one side.
constexpr int ABOUT_PICTURE_WIDTH = 273;

void centrePicture(HDC dc, HWND dialog, HWND control) {
  RECT client{};
  GetClientRect(dialog, &client);
  AlignBrushOrigin(dc, control, dialog, (client.right - ABOUT_PICTURE_WIDTH) / 2);
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_CTLCOLORDLG: {
      HBRUSH brush = BackgroundBrush(IDB_ABOUT);
      if (brush) centrePicture(reinterpret_cast<HDC>(wParam), window, nullptr);
      return reinterpret_cast<INT_PTR>(brush);
    }
    case WM_CTLCOLORSTATIC: {
      HBRUSH brush = BackgroundBrush(IDB_ABOUT);
      // Without the dark picture (lite look) the text keeps the system's colours.
      if (!brush) return FALSE;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, RGB(255, 255, 255));
      SetBkMode(dc, TRANSPARENT);
      centrePicture(dc, window, reinterpret_cast<HWND>(lParam));
      return reinterpret_cast<INT_PTR>(brush);
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}
