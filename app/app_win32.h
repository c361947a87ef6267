// The program's process-wide objects and the main window's handle.
#pragma once

#include <windows.h>

#include "app/working_folder.h"
#include "config/away_settings.h"
#include "config/settings_store.h"
#include "groups/group_store.h"
#include "msglog/message_log.h"
#include "responder/reply_policy.h"

// Built before the main window opens and living until the process ends.
struct App {
  HINSTANCE instance = nullptr;
  // Something that is not Quorvane holds the running copy's mutex; this copy runs anyway.
  bool runningNameHeldElsewhere = false;
  // What the start found about the folder it keeps its files in, for the main window to tell.
  FolderNotice folderNotice = FolderNotice::None;
  SettingsStore settingsStore;
  AwaySettingsStore awayStore;
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

// The main window, set by its dialog procedure on every message it receives; the
// notification popups belong to it.
extern HWND MainWindowHandle;
