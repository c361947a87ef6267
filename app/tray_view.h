// What the notification-area icon, its tooltip and menu, and the taskbar button's badge show
// for the program's state; tray_icon_win32.cpp makes the calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the icon is shown for, gathered by the main window.
struct TrayFacts {
  bool active = false;        // autoresponse is active
  bool byItself = false;      // and the away watch activated it
  bool highContrast = false;  // the system draws in high contrast
  bool dialogOpen = false;    // a modal dialog of the main window's is open
  int32_t received = 0;
  int32_t replied = 0;
};

struct TrayView {
  int icon = 0;           // IDI_TRAY_*
  std::string tip;        // "Quorvane: on guard, 3 received, 2 answered"
  int badge = 0;          // IDI_BADGE_*, or 0 for no badge on the taskbar button
  std::string badgeText;  // the badge's description for screen readers
  bool operator==(const TrayView& other) const {
    return icon == other.icon && tip == other.tip && badge == other.badge &&
           badgeText == other.badgeText;
  }
  bool operator!=(const TrayView& other) const { return !(*this == other); }
};

TrayView trayViewFor(const TrayFacts& facts);

// One line of the icon's menu; id 0 is a separator. The buttons' items carry the buttons'
// ids, so choosing one does what the button does.
struct TrayMenuItem {
  int id = 0;
  std::string text;
  bool enabled = true;
  bool isDefault = false;  // drawn bold: the item that changes the state
};

std::vector<TrayMenuItem> trayMenuFor(const TrayFacts& facts);

// Whether a minimised main window leaves the taskbar: only when the user asked for it and
// the icon is there to bring the window back.
bool leavesTaskbarWhenMinimised(bool hideWhenMinimised, bool iconShown);
