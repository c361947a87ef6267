// What the notification-area icon, its tooltip and menu, and the taskbar badge show.
#include "app/tray_view.h"

#include <gtest/gtest.h>

#include "resources/resource.h"

namespace {

TEST(TrayView, PictureTipBadgeAndMenuForEachState) {
  const std::string guard = "Quorvane is on guard", away = guard + " by itself while you are away";
  // Facts: active, by itself, high contrast, dialog open, received, replied. The menu's
  // items: "-" after a grey one, "*" after the default one.
  const std::string plain = "[ &Activate ]*|[ &DeActivate ]||&Show Quorvane||E&xit";
  const std::string guarding = "[ &Activate ]|[ &DeActivate ]*||&Show Quorvane||E&xit";
  // clang-format off
  const std::tuple<TrayFacts, TrayView, std::string> rows[] = {
    {{},                                 {IDI_TRAY_INACTIVE,     "Quorvane: inactive, 0 received, 0 answered", 0, ""}, plain},
    {{false, true, true, false, 7, 5},   {IDI_TRAY_INACTIVE_HC,  "Quorvane: inactive, 7 received, 5 answered", 0, ""}, plain},
    {{true, false, false, false, 3, 2},  {IDI_TRAY_ON_GUARD,     "Quorvane: on guard, 3 received, 2 answered", IDI_BADGE_ON_GUARD, guard}, guarding},
    {{true, false, true, true, 1, 1},    {IDI_TRAY_ON_GUARD_HC,  "Quorvane: on guard, 1 received, 1 answered", IDI_BADGE_ON_GUARD, guard},
                                         "[ &Activate ]-|[ &DeActivate ]-*||&Show Quorvane||E&xit-"},
    {{true, true, false, false, 12, 10}, {IDI_TRAY_BY_ITSELF,    "Quorvane: on guard by itself, 12 received, 10 answered", IDI_BADGE_BY_ITSELF, away}, guarding},
    {{true, true, true, false, 0, 0},    {IDI_TRAY_BY_ITSELF_HC, "Quorvane: on guard by itself, 0 received, 0 answered", IDI_BADGE_BY_ITSELF, away}, guarding},
  };
  // clang-format on
  for (const auto& [facts, expected, menu] : rows) {
    const TrayView view = trayViewFor(facts);
    EXPECT_TRUE(view == expected) << expected.tip << ": " << view.icon << " " << view.tip << " "
                                  << view.badge << " " << view.badgeText;
    std::string items;
    std::vector<int> ids;
    for (const TrayMenuItem& item : trayMenuFor(facts)) {
      items += (ids.empty() ? "" : "|") + item.text + (item.enabled ? "" : "-") +
               (item.isDefault ? "*" : "");
      ids.push_back(item.id);
    }
    EXPECT_EQ(items, menu) << expected.tip;
    EXPECT_EQ(ids, (std::vector<int>{IDC_ACTIVATE, IDC_DEACTIVATE, 0, IDM_TRAY_SHOW, 0,
                                     IDC_CLOSE_BUTTON}));
  }
  // A window leaves the taskbar only with the icon there to bring it back.
  EXPECT_TRUE(leavesTaskbarWhenMinimised(true, true));
  EXPECT_FALSE(leavesTaskbarWhenMinimised(true, false) || leavesTaskbarWhenMinimised(false, true));
}

}  // namespace
