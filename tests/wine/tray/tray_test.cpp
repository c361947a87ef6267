// The notification-area icon as Wine shows it: a window in Wine's tray window, which passes
// clicks on to the program and shows the tooltip.
#include <gtest/gtest.h>

#include "common/messenger_client.h"
#include "common/screenshot.h"
#include "companions/companion_driver.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

// The icon in Wine's tray, where no other program puts one; null when there is none.
HWND TrayIcon() {
  HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
  HWND icon = tray ? FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr) : nullptr;
  return icon && IsWindowVisible(icon) ? icon : nullptr;
}

// Whether the shell's tooltip for the icon comes to say `expected`. The pointer comes from
// elsewhere, again every 2.5 s and to another spot each time: Wine takes no notice of a
// pointer moved away and back at once, and the tooltip shows only after the pointer came.
bool TipSays(HWND icon, const std::string& expected) {
  RECT r{};
  GetWindowRect(icon, &r);
  POINT before{};
  GetCursorPos(&before);  // where no window opens, for the tests that follow
  bool said = false;
  for (int spot = 0; spot < 12 && !said; spot += 4) {
    SetCursorPos(r.right + 300, r.bottom + 300);
    WaitUntil([] { return false; }, 150);
    SetCursorPos(r.left + 4 + spot, r.top + 4 + spot);
    said = WaitUntil(
        [&] {
          HWND tip = nullptr;
          while ((tip = FindWindowExA(nullptr, tip, "tooltips_class32", nullptr)))
            if (IsWindowVisible(tip) && WindowText(tip) == expected) return true;
          return false;
        },
        2500);
  }
  SetCursorPos(before.x, before.y);
  return said;
}

TEST(Tray, IconShowsStateAndCountsItsMenuDeactivatesAndItBringsAHiddenWindowBack) {
  QuorvaneApp app("tray");
  ASSERT_TRUE(app.writeFile("conf.qvr", confFile("Away", "0", "1", "0")));
  StandInMessenger messenger;
  ASSERT_TRUE(StartWithMessenger(app, messenger));
  const HWND main = app.mainWindow();
  HWND icon = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (icon = TrayIcon()) != nullptr; }, 5000)) << "at start";
  EXPECT_TRUE(TipSays(icon, "Quorvane: inactive, 0 received, 0 answered"));

  app.click(IDC_ACTIVATE);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));
  HWND chat = messenger.openMessage(standInChatTitle("ann", "ann"), "ann", L"there?");
  ASSERT_TRUE(chat && messenger.waitForClose(chat, 10000));
  EXPECT_TRUE(TipSays(icon, "Quorvane: on guard, 1 received, 1 answered"));
  SaveWindowShot("tray_tip", GetParent(icon), 100);

  PostMessageA(icon, WM_RBUTTONDOWN, 0, 0);  // as the X server passes on a right click
  PostMessageA(icon, WM_RBUTTONUP, 0, 0);
  HWND menu = nullptr;  // Quorvane's: Wine's shell opens none
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowVisible(menu = FindWindowA("#32768", nullptr)); }, 5000));
  WaitUntil([] { return false; }, 300);  // drawn on the X server, for the picture
  SaveScreenShot("tray_menu");
  PostMessageA(menu, WM_CHAR, 'd', 0);  // [ &DeActivate ] by its key
  EXPECT_TRUE(app.waitForPopup("Attempting to stop ..."));
  EXPECT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is Currently Inactive...", 10000));
  EXPECT_TRUE(TipSays(icon, "Quorvane: inactive, 1 received, 1 answered"));

  app.click(IDC_CONFIG_BUTTON);
  HWND dialog = WaitForDialogWith(app, {IDC_CONFIG_TRAY_ICON, IDC_CONFIG_HIDE_MINIMISED});
  ASSERT_TRUE(dialog);
  Click(dialog, IDC_CONFIG_HIDE_MINIMISED);
  Click(dialog, IDOK);
  EXPECT_TRUE(WaitForFile(
      app, "away.qvr",
      CrLfLines({"IdleMinutes=0", "WhenLocked=0", "TrayIcon=1", "HideWhenMinimised=1"})));
  // Under Wine without a window manager a popup that closes while the main window is
  // minimised can restore it (seen with and without the icon), so no popup is left.
  ASSERT_TRUE(app.waitForNoPopups(8000));
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) && !IsWindowVisible(main); }, 5000))
      << "minimised, it leaves the taskbar";
  PostMessageA(icon, WM_LBUTTONDOWN, 0, 0);
  PostMessageA(icon, WM_LBUTTONUP, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main) && IsWindowVisible(main); }, 5000))
      << "a click on the icon brings it back";

  // Explorer started again: the icon is put there anew.
  PostMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return TrayIcon() && TrayIcon() != icon; }, 5000));
  EXPECT_EQ(app.close(), 0u);
  EXPECT_TRUE(WaitUntil([] { return !TrayIcon(); }, 5000)) << "it goes at exit";
  messenger.stop();
}

}  // namespace
