// The program's entry point: the main window's background, then the main window itself.
#include <windows.h>

#include "resources/resource.h"
#include "shell/app_win32.h"
#include "shell/effects_win32.h"
#include "shell/main_window_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  app().instance = instance;
  // Held until the process ends: the installer asks the user to close Quorvane while it
  // exists.
  CreateMutexA(nullptr, FALSE, QV_RUNNING_MUTEX);
  responder();  // the engine is built before any window exists
  LoadMainBackground();
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainWindowProc, 0);
  // Nothing is saved at exit. Ending here, rather than through the C library's exit,
  // stops a guard thread in the middle of a pass before any static object goes away.
  ExitProcess(0);
}
