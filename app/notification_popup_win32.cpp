// Notification popups: created and faded on the interface thread, closed by a click or by
// a window timer of their own.
#include "app/notification_popup_win32.h"

#include <windows.h>

#include "resources/resource.h"
#include "app/app_win32.h"
#include "base/dialog_controls_win32.h"
#include "base/display_scale_win32.h"
#include "base/effects_win32.h"
#include "base/free_text_font_win32.h"

namespace {

constexpr UINT NOTE_LIFETIME_MS = 3000;

struct NotificationPopup {
  NoteKind kind;
  std::string text;
  bool closing = false;
};

int bitmapOf(NoteKind kind) {
  switch (kind) {
    case NOTE_CAUTION:
      return IDB_NOTE_CAUTION;
    case NOTE_ERROR:
      return IDB_NOTE_ERROR;
    case NOTE_MESSAGE:
      return IDB_NOTE_MESSAGE;
    case NOTE_INFO:
      break;
  }
  return IDB_NOTE_INFO;
}

// White on the dark blue of a message note, black on the others. Without its picture
// (lite look) a note keeps the system's text colour: white on the plain dialog
// background could not be read.
COLORREF textColourOf(NoteKind kind, HWND window) {
  if (kind == NOTE_MESSAGE && BackgroundBrush(bitmapOf(kind), window)) return RGB(255, 255, 255);
  return RGB(0, 0, 0);
}

void closeNote(HWND window, NotificationPopup* note) {
  if (!note || note->closing) return;
  note->closing = true;
  if (!LiteMode()) FadeOut(window);
  DestroyWindow(window);
}

// The bottom-right corner of the work area, whatever the window system did with the
// template's far-off position.
void placeInCorner(HWND window) {
  RECT work{}, frame{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(window, &frame);
  SetWindowPos(window, HWND_TOPMOST, work.right - (frame.right - frame.left),
               work.bottom - (frame.bottom - frame.top), 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

INT_PTR CALLBACK NoteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* note = reinterpret_cast<NotificationPopup*>(GetWindowLongPtrA(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(window, DWLP_USER, lParam);
      UseFreeTextFont(window, {IDC_NOTE_TEXT});
      FitLabels(window);
      return FALSE;  // no focus for the text: focusing it would activate the popup
    case WM_CTLCOLORDLG: {
      HBRUSH brush = note ? BackgroundBrush(bitmapOf(note->kind), window) : nullptr;
      return reinterpret_cast<INT_PTR>(brush);
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, note ? textColourOf(note->kind, window) : RGB(0, 0, 0));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
    }
    case WM_DPICHANGED:
      // Moved to the corner of a monitor of another scale: the new size, and back into
      // the corner once the dialog manager has placed it as suggested.
      TakeSuggestedRect(window, lParam);
      PostMessageA(window, UM_NOTE_TO_CORNER, 0, 0);
      return FALSE;
    case UM_NOTE_TO_CORNER:
      placeInCorner(window);
      return TRUE;
    case UM_FIT_LABELS:
      RescaleFreeTextFonts(window);
      FitLabels(window);
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_CLOSE:
      closeNote(window, note);
      return TRUE;
    case WM_TIMER:
      if (wParam != IDT_NOTE_CLOSE) return FALSE;
      KillTimer(window, IDT_NOTE_CLOSE);
      closeNote(window, note);
      return TRUE;
    case WM_NCDESTROY:
      delete note;
      SetWindowLongPtrA(window, DWLP_USER, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowNote(NoteKind kind, const std::string& text) {
  auto* note = new NotificationPopup{kind, text};
  HWND window = CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_NOTE), MainWindowHandle,
                                   NoteProc, reinterpret_cast<LPARAM>(note));
  if (!window) {
    delete note;
    return;
  }
  // Shown on top without taking the keyboard from whatever the user is typing into.
  SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_NOACTIVATE);
  placeInCorner(window);
  if (LiteMode()) {
    ShowWindow(window, SW_SHOWNOACTIVATE);
  } else {
    FadeIn(window);
  }
  SetDlgItemTextA(window, IDC_NOTE_TEXT, text.c_str());
  // The timer ends with the window, so it never touches one that is gone.
  SetTimer(window, IDT_NOTE_CLOSE, NOTE_LIFETIME_MS, nullptr);
}
