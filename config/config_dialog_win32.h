// The configuration dialog, run modally over the main window.
#pragma once

#include <windows.h>

class SettingsStore;

// Runs the configuration dialog on `store` (refused while the autoresponse is active).
// On OK the store's record holds the new values, the owner gets UM_SETTINGS_CHANGED and
// the file is written.
void OpenConfigDialog(HWND owner, SettingsStore& store);
