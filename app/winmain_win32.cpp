// The program's entry point: the main window's background, then the main window itself.
#include <windows.h>

#include "resources/resource.h"
#include "app/app_win32.h"
#include "base/effects_win32.h"
#include "app/main_window_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  app().instance = instance;
  responder();  // the engine is built before any window exists
  LoadMainBackground();
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainWindowProc, 0);
  // Nothing is saved at exit. Ending here, rather than through the C library's exit,
  // stops a guard thread in the middle of a pass before any static object goes away.
  ExitProcess(0);
}
