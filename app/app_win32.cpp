// The program's process-wide objects, built on first use and never destroyed: they live
// until the process ends, and a guard thread still running then ends with it.
#include "app/app_win32.h"

#include "responder/guard.h"
#include "responder/im_windows_win32.h"
#include "responder/responder.h"
#include "base/main_window_port_win32.h"

HWND MainWindowHandle = nullptr;

namespace {

struct Engine {
  explicit Engine(App& app)
      : responder(imWindows), guard(responder, app.replyPolicy, app.groupStore, app.messageLog) {}
  Win32ImWindows imWindows;
  Responder responder;
  GuardThread guard;
  Win32MainWindowPort port;
};

Engine& engine() {
  static Engine* built = new Engine(app());
  return *built;
}

}  // namespace

App& app() {
  static App* built = new App;
  return *built;
}

Responder& responder() {
  return engine().responder;
}

GuardThread& guardThread() {
  return engine().guard;
}

Win32MainWindowPort& mainWindowPort() {
  return engine().port;
}
