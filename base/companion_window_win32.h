// What every companion window and input dialog answers alike: its background picture
// with the static texts over it and re-docking when the main window moves; and the life
// of a companion window that the user opens and closes: the button on its anchor that
// says which, the slide and the kept handle.
#pragma once

#include <windows.h>

#include "base/effects.h"  // DockSide

// A window's own steps, which CompanionProcedure calls; any may be null.
struct CompanionSteps {
  void (*open)(HWND window, LPARAM data) = nullptr;  // WM_INITDIALOG, after the common opening
  void (*command)(HWND window, int id, int code) = nullptr;  // WM_COMMAND
  bool (*mayClose)(HWND window) = nullptr;  // a close request; false keeps the window open
};

// The anchor's button that opens and closes a companion window, and its two texts.
struct CompanionButton {
  int id = 0;  // 0: no button
  const char* openText = nullptr;
  const char* closeText = nullptr;
};

struct CompanionStyle {
  int bitmapId = 0;                    // the background picture
  COLORREF textColour = RGB(0, 0, 0);  // static texts over it
  CompanionSteps steps{};
  HWND* handle = nullptr;      // where a companion window's handle is kept; null for dialogs
  HWND (*anchor)() = nullptr;  // the window it docks beside; null when it never docks
  DockSide side = DockSide::Right;
  CompanionButton button{};
  // A companion window the user opened with its button takes the keyboard focus, on its
  // first control; one that opens by itself leaves the focus where it was.
  bool takesFocus = false;
};

// The whole procedure of a companion window (a style with a kept handle) or of an input
// dialog (without one): the background and static text colours, labels widened to their
// texts and re-docking for both, and on a change of display scale the suggested size, the
// labels widened again and a re-dock (unless it would only take the window back to the
// scale it came from, see DockAfterScaleChange).
// A companion window opens with its button offering to close, its handle kept and a
// slide out from behind its anchor, and takes the keyboard focus or not as its style says;
// its keys go to the dialog manager like a modal dialog's, and Esc (IDCANCEL) asks it to
// close. A close request, unless its step says no, sets the button back, slides it behind
// the anchor, clears the handle and destroys it. When its owner goes first and takes it
// along, the handle is cleared and the button set back all the same. A dialog puts the
// focus on its first control and leaves a close request to the system. WM_COMMAND goes to
// the window's own step.
INT_PTR CompanionProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           const CompanionStyle& style);

// How many input dialogs (styles without a kept handle: configuration, group information,
// user ID) are open now; each is modal over the window that opened it.
int OpenInputDialogs();

// Asks the companion window to close when it is open (true), so that a toggle only opens
// a closed one.
bool CloseCompanionIfOpen(const CompanionStyle& style);
