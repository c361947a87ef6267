// The notification-area icon's and the taskbar button's looks for each state.
#include "app/tray_view.h"

#include "resources/resource.h"

namespace {

struct StateLook {
  const char* words;
  int icon, highContrastIcon, badge;
  const char* badgeText;
};

const StateLook& lookOf(const TrayFacts& facts) {
  static const StateLook inactive{"inactive", IDI_TRAY_INACTIVE, IDI_TRAY_INACTIVE_HC, 0, ""};
  static const StateLook onGuard{"on guard", IDI_TRAY_ON_GUARD, IDI_TRAY_ON_GUARD_HC,
                                 IDI_BADGE_ON_GUARD, "Quorvane is on guard"};
  static const StateLook byItself{"on guard by itself", IDI_TRAY_BY_ITSELF, IDI_TRAY_BY_ITSELF_HC,
                                  IDI_BADGE_BY_ITSELF,
                                  "Quorvane is on guard by itself while you are away"};
  if (!facts.active) return inactive;
  return facts.byItself ? byItself : onGuard;
}

}  // namespace

TrayView trayViewFor(const TrayFacts& facts) {
  const StateLook& look = lookOf(facts);
  TrayView view;
  view.icon = facts.highContrast ? look.highContrastIcon : look.icon;
  view.tip = std::string("Quorvane: ") + look.words + ", " + std::to_string(facts.received) +
             " received, " + std::to_string(facts.replied) + " answered";
  view.badge = look.badge;
  view.badgeText = look.badgeText;
  return view;
}

std::vector<TrayMenuItem> trayMenuFor(const TrayFacts& facts) {
  // While a dialog of the main window's is open its buttons cannot be pressed either; the
  // window comes forward with that dialog in front.
  const bool free = !facts.dialogOpen;
  return {
      {IDC_ACTIVATE, "[ &Activate ]", free, !facts.active},
      {IDC_DEACTIVATE, "[ &DeActivate ]", free, facts.active},
      {},
      {IDM_TRAY_SHOW, "&Show Quorvane", true, false},
      {},
      {IDC_CLOSE_BUTTON, "E&xit", free, false},
  };
}

bool leavesTaskbarWhenMinimised(bool hideWhenMinimised, bool iconShown) {
  return hideWhenMinimised && iconShown;
}
