// The configuration dialog, run modally over the main window.
#pragma once

#include <windows.h>

class AwaySettingsStore;
class SettingsStore;

// Runs the configuration dialog on `store` and `away` (refused while the autoresponse is
// active). On OK the stores' records hold the new values, the owner gets
// UM_SETTINGS_CHANGED and "conf.qvr" is written; "away.qvr" only when its settings changed.
void OpenConfigDialog(HWND owner, SettingsStore& store, AwaySettingsStore& away);
