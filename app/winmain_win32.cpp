// The program's entry point: the main window's background, then the main window itself.
#include <windows.h>

#include "resources/resource.h"
#include "app/app_win32.h"
#include "app/main_window_win32.h"
#include "app/running_copy_win32.h"
#include "app/working_folder_win32.h"
#include "base/effects_win32.h"

namespace {

// Libraries loaded later by name come from the system folder only, never from the
// program's folder or the working folder. Older systems lack the setting; there the
// engine's own loading still names the system folder.
void restrictLibrarySearch() {
  using SetDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  auto setDirectories = reinterpret_cast<SetDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  restrictLibrarySearch();
  // A second start ends here, before it reads or writes any file: the running copy comes
  // forward instead, or the user is told why not. The mutex stays held until the process
  // ends; the installer asks the user to close Quorvane while it exists.
  UINT exitCode = EXIT_DONE;
  const StartDecision decision = BecomeTheRunningCopy(QV_RUNNING_MUTEX, exitCode);
  if (decision == StartDecision::End) ExitProcess(exitCode);
  app().runningNameHeldElsewhere = decision == StartDecision::RunThoughNameHeldElsewhere;
  app().folderNotice = SettleWorkingFolder();  // before any file is read
  app().instance = instance;
  responder();  // the engine is built before any window exists
  LoadMainBackground();
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainWindowProc, 0);
  // Nothing is saved at exit. Ending here, rather than through the C library's exit,
  // stops a guard thread in the middle of a pass before any static object goes away.
  ExitProcess(EXIT_DONE);
}
