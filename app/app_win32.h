// The program's process-wide objects and window handles, as the Win32 windows share them.
#pragma once

#include <windows.h>

#include "config/settings_store.h"
#include "groups/group_store.h"
#include "msglog/message_log.h"
#include "responder/reply_policy.h"

// Built before the main window opens and living until the process ends.
struct App {
  HINSTANCE instance = nullptr;
  SettingsStore settingsStore;
  GroupStore groupStore;
  ReplyPolicy replyPolicy;
  MessageLog messageLog;
};
App& app();

// The engine beside them: the responder with its log file and the chat client's windows,
// the guard thread, and the main window as the guard thread and message log write to it.
struct Responder;
class GuardThread;
class Win32MainWindowPort;
Responder& responder();
GuardThread& guardThread();
Win32MainWindowPort& mainWindowPort();

// The main window, set by its dialog procedure on every message it receives.
extern HWND MainWindowHandle;

// The companion windows while they are open, null while closed.
extern HWND GroupsWindowHandle;
extern HWND MembersWindowHandle;
extern HWND MessageLogWindowHandle;

// The main window's buttons that open the companion windows and the configuration.
void ToggleGroupsWindow(HWND mainWindow);      // button 11
void ToggleMessageLogWindow(HWND mainWindow);  // button 3
void OpenConfigDialog(HWND mainWindow);        // button 44
