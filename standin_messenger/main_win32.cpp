// The stand-in messenger: conversation windows shaped like the chat client's, driven by
// a person from the control window or by tests through the scripted commands.
#include <windows.h>
#include <ole2.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "standin_messenger/control_window_win32.h"
#include "standin_messenger/conversation_window_win32.h"

namespace {

std::string transcriptPathFromArguments() {
  for (int i = 1; i + 1 < __argc; ++i)
    if (std::strcmp(__argv[i], STANDIN_TRANSCRIPT_SWITCH) == 0) return __argv[i + 1];
  return std::string();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  static Transcript transcript;
  std::string path = transcriptPathFromArguments();
  if (!path.empty() && !transcript.open(path)) return 2;
  // The views hand out COM objects; readers call into this thread's apartment.
  if (FAILED(OleInitialize(nullptr))) return 3;
  if (!registerConversationClasses(instance, transcript)) return 4;
  HWND control = createControlWindow(instance);
  if (!control) return 5;
  transcript.write(transcriptClock(), "start", 0, std::to_string(GetCurrentProcessId()));

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(control, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  destroyAllConversationWindows();
  if (IsWindow(control)) DestroyWindow(control);
  transcript.write(transcriptClock(), "quit", 0);
  OleUninitialize();
  return 0;
}
