// The notification-area icon as Wine's shell shows it: a window of its own inside the
// standalone tray window, which relays clicks to the program and shows the tooltip.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/messenger_client.h"
#include "common/screenshot.h"
#include "companions/companion_driver.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The icons in Wine's tray; Wine's shell runs no other program's here.
std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
  for (HWND icon = tray ? GetWindow(tray, GW_CHILD) : nullptr; icon;
       icon = GetWindow(icon, GW_HWNDNEXT))
    if (ClassOf(icon) == "__winex11_tray_icon" && IsWindowVisible(icon)) icons.push_back(icon);
  return icons;
}

// The one icon in the tray, other than `old` if given.
HWND WaitForTrayIcon(HWND old = nullptr) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> icons = TrayIcons();
        found = icons.size() == 1 && icons[0] != old ? icons[0] : nullptr;
        return found != nullptr;
      },
      5000);
  return found;
}

// The tooltip the shell shows with the pointer on the icon, once it says `expected`. The
// pointer comes from elsewhere every 2 s, to another spot each time, so that the tooltip
// shows again: Wine takes no notice of a pointer moved away and back at once.
bool WaitForTip(HWND icon, const std::string& expected, std::string& seen) {
  RECT r{};
  GetWindowRect(icon, &r);
  POINT before{};
  GetCursorPos(&before);  // where no window opens, for the tests that follow
  ULONGLONG pointed = 0;
  int spot = 0;
  const bool shown = WaitUntil(
      [&] {
        if (GetTickCount64() - pointed > 2000) {
          SetCursorPos(r.right + 300, r.bottom + 300);
          WaitUntil([] { return false; }, 150);
          spot = (spot + 1) % 3;
          SetCursorPos(r.left + 4 + 5 * spot, r.top + 4 + 5 * spot);
          pointed = GetTickCount64();
        }
        for (HWND tip = FindWindowA("tooltips_class32", nullptr); tip;
             tip = FindWindowExA(nullptr, tip, "tooltips_class32", nullptr))
          if (IsWindowVisible(tip) && (seen = WindowText(tip)) == expected) return true;
        return false;
      },
      8000);
  SetCursorPos(before.x, before.y);
  return shown;
}

// A click as the shell's icon window receives it from the X server.
void ClickIcon(HWND icon, UINT down, UINT up) {
  PostMessageA(icon, down, 0, MAKELPARAM(4, 4));
  PostMessageA(icon, up, 0, MAKELPARAM(4, 4));
}

HWND WaitForMenu(const QuorvaneApp& app) {
  HWND menu = nullptr;
  WaitUntil(
      [&] {
        DWORD owner = 0;
        menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu) && GetWindowThreadProcessId(menu, &owner) &&
               owner == app.processId();
      },
      5000);
  return menu;
}

TEST(Tray, IconShowsTheStateAndCountsAndItsMenuDeactivatesByKeyboard) {
  QuorvaneApp app("tray_menu");
  ASSERT_TRUE(app.writeFile("conf.qvr", confFile("Away", "0", "1", "0")));
  StandInMessenger messenger;
  ASSERT_TRUE(StartWithMessenger(app, messenger));
  HWND icon = WaitForTrayIcon();
  ASSERT_TRUE(icon) << "an icon at start";
  std::string tip;
  EXPECT_TRUE(WaitForTip(icon, "Quorvane: inactive, 0 received, 0 answered", tip)) << tip;

  app.click(IDC_ACTIVATE);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));
  // Wine makes no taskbar button; its stand-in of the taskbar takes the badge all the same.
  PostMessageA(app.mainWindow(), RegisterWindowMessageA("TaskbarButtonCreated"), 0, 0);
  HWND chat = messenger.openMessage(standInChatTitle("ann", "ann"), "ann", L"there?");
  ASSERT_TRUE(chat && messenger.waitForClose(chat, 10000));
  EXPECT_TRUE(WaitForTip(icon, "Quorvane: on guard, 1 received, 1 answered", tip)) << tip;
  RECT tray{};
  GetWindowRect(GetParent(icon), &tray);
  SaveScreenArea("tray_tip", {tray.left, tray.top, tray.right + 200, tray.bottom + 60});

  ClickIcon(icon, WM_RBUTTONDOWN, WM_RBUTTONUP);
  HWND menu = WaitForMenu(app);
  ASSERT_TRUE(menu);
  WaitUntil([] { return false; }, 300);  // drawn on the X server, for the picture
  SaveScreenShot("tray_menu");
  PostMessageA(menu, WM_CHAR, 'd', 0);  // [ &DeActivate ]
  EXPECT_TRUE(app.waitForPopup("Attempting to stop ..."));
  EXPECT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is Currently Inactive...", 10000));
  EXPECT_FALSE(app.readOnly(IDC_DEFAULT_REPLY));
  EXPECT_TRUE(WaitForTip(icon, "Quorvane: inactive, 1 received, 1 answered", tip)) << tip;

  // Explorer started again: the icon is put there again, once.
  PostMessageA(app.mainWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(WaitForTrayIcon(icon));

  EXPECT_EQ(app.close(), 0u);
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); }, 5000)) << "the icon goes at exit";
  messenger.stop();
}

TEST(Tray, HideWhenMinimisedIsStoredAndTheIconBringsTheWindowBack) {
  QuorvaneApp app("tray_hide");
  ASSERT_TRUE(app.start());
  const HWND main = app.mainWindow();
  app.click(IDC_CONFIG_BUTTON);
  HWND dialog = WaitForDialogWith(app, {IDC_CONFIG_TRAY_ICON, IDC_CONFIG_HIDE_MINIMISED});
  ASSERT_TRUE(dialog);
  Click(dialog, IDC_CONFIG_HIDE_MINIMISED);
  Click(dialog, IDOK);
  EXPECT_TRUE(WaitForFile(
      app, "away.qvr",
      CrLfLines({"IdleMinutes=0", "WhenLocked=0", "TrayIcon=1", "HideWhenMinimised=1"})))
      << FileBytes(app, "away.qvr");

  // Under Wine without a window manager a popup that closes while the main window is
  // minimised can restore it (seen with and without the icon), so no popup is left.
  ASSERT_TRUE(app.waitForNoPopups(8000));
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) && !IsWindowVisible(main); }, 5000))
      << "minimised, it leaves the taskbar";
  HWND icon = WaitForTrayIcon();
  ASSERT_TRUE(icon);
  ClickIcon(icon, WM_LBUTTONDOWN, WM_LBUTTONUP);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main) && IsWindowVisible(main); }, 5000))
      << "a click on the icon brings it back";

  // Unticking the icon takes the hiding with it.
  app.click(IDC_CONFIG_BUTTON);
  dialog = WaitForDialogWith(app, {IDC_CONFIG_TRAY_ICON, IDC_CONFIG_HIDE_MINIMISED});
  ASSERT_TRUE(dialog);
  Click(dialog, IDC_CONFIG_TRAY_ICON);
  EXPECT_TRUE(WaitUntil(
      [&] { return !IsWindowEnabled(GetDlgItem(dialog, IDC_CONFIG_HIDE_MINIMISED)); }, 2000));
  Click(dialog, IDOK);
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); }, 5000));
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }, 5000));
  EXPECT_TRUE(IsWindowVisible(main)) << "without the icon it stays on the taskbar";
  EXPECT_EQ(app.close(), 0u);
}

}  // namespace
