// What the notification-area icon, its tooltip and menu, and the taskbar badge show in
// each state.
#include "app/tray_view.h"

#include <gtest/gtest.h>

#include "resources/resource.h"

namespace {

TEST(TrayView, PictureTipAndBadgeForEachState) {
  struct Case {
    const char* name;
    TrayFacts facts;
    int icon;
    const char* tip;
    int badge;
    const char* badgeText;
  } cases[] = {
      {"inactive",
       {false, false, false, false, 0, 0},
       IDI_TRAY_INACTIVE,
       "Quorvane: inactive, 0 received, 0 answered",
       0,
       ""},
      // an activation by the away watch that has ended leaves no trace
      {"inactive after away",
       {false, true, true, false, 7, 5},
       IDI_TRAY_INACTIVE_HC,
       "Quorvane: inactive, 7 received, 5 answered",
       0,
       ""},
      {"on guard",
       {true, false, false, false, 3, 2},
       IDI_TRAY_ON_GUARD,
       "Quorvane: on guard, 3 received, 2 answered",
       IDI_BADGE_ON_GUARD,
       "Quorvane is on guard"},
      {"on guard, high contrast",
       {true, false, true, true, 3, 2},
       IDI_TRAY_ON_GUARD_HC,
       "Quorvane: on guard, 3 received, 2 answered",
       IDI_BADGE_ON_GUARD,
       "Quorvane is on guard"},
      {"by itself",
       {true, true, false, false, 2147483647, 0},
       IDI_TRAY_BY_ITSELF,
       "Quorvane: on guard by itself, 2147483647 received, 0 answered",
       IDI_BADGE_BY_ITSELF,
       "Quorvane is on guard by itself while you are away"},
      {"by itself, high contrast",
       {true, true, true, false, 1, 1},
       IDI_TRAY_BY_ITSELF_HC,
       "Quorvane: on guard by itself, 1 received, 1 answered",
       IDI_BADGE_BY_ITSELF,
       "Quorvane is on guard by itself while you are away"},
  };
  for (const Case& c : cases) {
    const TrayView view = trayViewFor(c.facts);
    EXPECT_EQ(view.icon, c.icon) << c.name;
    EXPECT_EQ(view.tip, c.tip) << c.name;
    EXPECT_LT(view.tip.size(), 128u) << c.name << ": the shell keeps 127 characters";
    EXPECT_EQ(view.badge, c.badge) << c.name;
    EXPECT_EQ(view.badgeText, c.badgeText) << c.name;
  }
}

TEST(TrayView, MenuOffersTheButtonsAndLocksThemWhileADialogIsOpen) {
  // Each item's text, with "-" when grey and "*" when the default; "" for a separator.
  auto shown = [](const TrayFacts& facts) {
    std::vector<std::string> items;
    for (const TrayMenuItem& item : trayMenuFor(facts))
      items.push_back(item.text + (item.enabled ? "" : "-") + (item.isDefault ? "*" : ""));
    return items;
  };
  struct Case {
    const char* name;
    TrayFacts facts;
    std::vector<std::string> items;
  } cases[] = {
      {"inactive", {}, {"[ &Activate ]*", "[ &DeActivate ]", "", "&Show Quorvane", "", "E&xit"}},
      {"by itself",
       {true, true},
       {"[ &Activate ]", "[ &DeActivate ]*", "", "&Show Quorvane", "", "E&xit"}},
      {"configuring",
       {false, false, false, true},
       {"[ &Activate ]-*", "[ &DeActivate ]-", "", "&Show Quorvane", "", "E&xit-"}},
  };
  for (const Case& c : cases) EXPECT_EQ(shown(c.facts), c.items) << c.name;
  // The buttons' items run the buttons' commands.
  std::vector<int> ids;
  for (const TrayMenuItem& item : trayMenuFor({})) ids.push_back(item.id);
  EXPECT_EQ(
      ids, (std::vector<int>{IDC_ACTIVATE, IDC_DEACTIVATE, 0, IDM_TRAY_SHOW, 0, IDC_CLOSE_BUTTON}));
  // A window hidden from the taskbar must have the icon to come back through.
  EXPECT_TRUE(leavesTaskbarWhenMinimised(true, true));
  EXPECT_FALSE(leavesTaskbarWhenMinimised(true, false)) << "no icon: it stays on the taskbar";
  EXPECT_FALSE(leavesTaskbarWhenMinimised(false, true));
}

}  // namespace
