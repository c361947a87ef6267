// The procedure that companion windows and input dialogs share.
#include "base/companion_window_win32.h"

#include <map>
#include <set>

#include "base/dialog_controls_win32.h"
#include "base/display_scale_win32.h"
#include "base/effects_win32.h"
#include "base/free_text_font_win32.h"
#include "base/shared_state.h"

namespace {

HWND anchorOf(const CompanionStyle& style) {
  return style.anchor ? style.anchor() : nullptr;
}

// The button offers what the user can do next: close an open window, open a closed one.
void setButtonText(const CompanionStyle& style, bool windowOpen) {
  HWND anchor = anchorOf(style);
  const CompanionButton& button = style.button;
  if (!button.id || !anchor) return;
  SetDlgItemTextA(anchor, button.id, windowOpen ? button.closeText : button.openText);
  FitLabel(GetDlgItem(anchor, button.id));
}

// What each open companion window knows about its changes of display scale.
std::map<HWND, DockAfterScaleChange>& dockings() {
  static std::map<HWND, DockAfterScaleChange> open;
  return open;
}

// Only the interface thread opens and closes them.
int openInputDialogs = 0;

void redock(HWND window, HWND anchor, DockSide side) {
  auto docking = dockings().find(window);
  if (docking != dockings().end()) docking->second.docking(WindowScreenRect(anchor));
  Redock(window, anchor, side);
}

// The open companion windows. They are modeless, and the program's one message loop is
// the main window's modal one, whose dialog manager serves the main window alone.
std::set<HWND>& keyboardWindows() {
  static std::set<HWND> open;
  return open;
}

// The modal loop asks this hook about every message before its dialog manager sees it: a
// key meant for an open companion window goes to that window's dialog manager instead, so
// Tab, Shift+Tab, Enter, Esc and Alt+letter work there as in any dialog. Characters are
// left to the loop, which translates them as it always does.
LRESULT CALLBACK companionKeys(int code, WPARAM wParam, LPARAM lParam) {
  static bool asking = false;  // the dialog manager calls this hook again
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && !asking && msg &&
      (msg->message == WM_KEYDOWN || msg->message == WM_SYSCHAR)) {
    HWND window = GetAncestor(msg->hwnd, GA_ROOT);
    if (keyboardWindows().count(window)) {
      asking = true;
      const BOOL handled = IsDialogMessageW(window, msg);
      asking = false;
      if (handled) return TRUE;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void takeKeyboard(HWND window) {
  static HHOOK hook = SetWindowsHookExA(WH_MSGFILTER, companionKeys, nullptr, GetCurrentThreadId());
  (void)hook;  // set once, for the interface thread's life
  keyboardWindows().insert(window);
}

bool docksAfterScaleChange(HWND window, int dpi) {
  auto docking = dockings().find(window);
  return docking == dockings().end() || docking->second.scaleChanged(dpi);
}

// True when the message is answered alike for every window, with the answer in `result`.
bool handleCommon(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                  const CompanionStyle& style, INT_PTR& result) {
  switch (message) {
    case WM_CTLCOLORDLG:
      result = DialogBackground(BackgroundBrush(style.bitmapId, window));
      return true;
    case WM_CTLCOLORSTATIC:
      result = StaticColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), window,
                            BackgroundBrush(style.bitmapId, window), style.textColour);
      return true;
    case UM_MAIN_WINDOW_MOVED:
      if (!style.anchor) return false;
      if (HWND anchor = style.anchor()) redock(window, anchor, style.side);
      result = TRUE;
      return true;
    case WM_DPICHANGED:
      // Moved to a monitor of another scale: re-dock once the dialog manager has resized
      // it, which the posted message waits for, unless docking would only take it back.
      TakeSuggestedRect(window, lParam);
      if (style.anchor && docksAfterScaleChange(window, LOWORD(wParam)))
        PostMessageA(window, UM_MAIN_WINDOW_MOVED, 0, 0);
      return false;
    case UM_FIT_LABELS:
      RescaleFreeTextFonts(window);
      FitLabels(window);
      result = TRUE;
      return true;
    case WM_DESTROY:
      if (!style.handle) --openInputDialogs;
      dockings().erase(window);
      keyboardWindows().erase(window);
      if (style.handle && *style.handle == window) {
        *style.handle = nullptr;
        setButtonText(style, false);
      }
      return false;
  }
  return false;
}

void openCompanion(HWND window, const CompanionStyle& style) {
  setButtonText(style, true);
  *style.handle = window;
  takeKeyboard(window);
  if (HWND anchor = anchorOf(style)) {
    dockings().insert_or_assign(window,
                                DockAfterScaleChange(WindowDpi(window), WindowScreenRect(anchor)));
    SlideOut(window, anchor, style.side);
  }
}

void closeCompanion(HWND window, const CompanionStyle& style) {
  setButtonText(style, false);
  if (HWND anchor = anchorOf(style)) SlideBack(window, anchor, style.side);
  *style.handle = nullptr;
  if (IsWindow(window)) DestroyWindow(window);
}

}  // namespace

INT_PTR CompanionProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           const CompanionStyle& style) {
  INT_PTR answer = 0;
  if (handleCommon(window, message, wParam, lParam, style, answer)) return answer;
  const CompanionSteps& steps = style.steps;
  switch (message) {
    case WM_INITDIALOG:
      if (!style.handle) ++openInputDialogs;
      FitLabels(window);
      if (style.handle) openCompanion(window, style);
      if (steps.open) steps.open(window, lParam);
      return style.handle && !style.takesFocus ? FALSE : TRUE;
    case WM_COMMAND:
      // Esc in a companion window does what its close button does.
      if (style.handle && LOWORD(wParam) == IDCANCEL) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return TRUE;
      }
      if (steps.command) steps.command(window, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      if (!style.handle) return FALSE;
      if (!steps.mayClose || steps.mayClose(window)) closeCompanion(window, style);
      return TRUE;
  }
  return FALSE;
}

int OpenInputDialogs() {
  return openInputDialogs;
}

bool CloseCompanionIfOpen(const CompanionStyle& style) {
  if (!*style.handle) return false;
  PostMessageA(*style.handle, WM_CLOSE, 0, 0);
  return true;
}
