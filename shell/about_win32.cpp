// The About box: the program's picture, its version and an OK button.
#include "resources/resource.h"
#include "shell/effects_win32.h"
#include "shell/main_window_win32.h"

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(BackgroundBrush(IDB_ABOUT));
    case WM_CTLCOLORSTATIC: {
      HBRUSH brush = BackgroundBrush(IDB_ABOUT);
      // Without the dark picture (lite look) the text keeps the system's colours.
      if (!brush) return FALSE;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, RGB(255, 255, 255));
      SetBkMode(dc, TRANSPARENT);
      AlignBrushOrigin(dc, reinterpret_cast<HWND>(lParam));
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
