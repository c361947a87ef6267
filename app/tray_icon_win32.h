// The main window's icon in the notification area, its menu, and the badge on its taskbar
// button: what tray_view.h decides, shown with the shell's calls.
#pragma once

#include <windows.h>

#include "config/away_settings.h"

// Shows or removes the icon as the settings say, at start-up and whenever they change.
void ShowTrayIcon(HWND mainWindow, const AwaySettings& settings);
// Autoresponse was activated: by the away watch, or by the user.
void TrayActivated(bool byItself);
// Brings the icon, its tooltip and the badge up to date with the state and the counts.
void RefreshTray(HWND mainWindow);
// The icon's messages and the shell's: true when the message was the tray's. `command` is
// then the main window's command to run (IDM_TRAY_SHOW for a click, a menu item's id), or 0.
bool TrayMessage(HWND mainWindow, UINT message, WPARAM wParam, LPARAM lParam, int& command);
// The main window was minimised: it leaves the taskbar if the user asked for that.
void TrayMinimised(HWND mainWindow);
// Removes the icon, at exit.
void RemoveTrayIcon(HWND mainWindow);
