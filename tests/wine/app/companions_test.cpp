// The main window with its companion windows: they dock at its sides, follow it when it
// moves, and close with it.
#include <gtest/gtest.h>

#include <string>

#include "common/app_driver.h"
#include "common/screenshot.h"
#include "resources/resource.h"

namespace {

RECT frameOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// Touching the main window's side; after a move also level with its top edge (a slide
// keeps the height at which the window came out).
bool dockedRight(HWND window, HWND main, bool level = false) {
  RECT w = frameOf(window), m = frameOf(main);
  return w.left == m.right && (!level || w.top == m.top);
}
bool dockedLeft(HWND window, HWND main, bool level = false) {
  RECT w = frameOf(window), m = frameOf(main);
  return w.right == m.left && (!level || w.top == m.top);
}

ULONGLONG cpuMs(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return ((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
  };
  return ms(kernel) + ms(user);
}

TEST(Companions, DockFollowTheMainWindowAndCloseWithIt) {
  QuorvaneApp app("companions");
  ASSERT_TRUE(app.start());
  ASSERT_TRUE(app.waitForNoPopups(6000));
  const HWND main = app.mainWindow();

  app.click(IDC_GROUPS_BUTTON);
  HWND groups = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (groups = app.companion(IDC_GROUP_LIST)) != nullptr; }, 5000));
  EXPECT_TRUE(WaitUntil([&] { return dockedRight(groups, main); }, 5000));

  app.click(IDC_MESSAGE_LOG_BUTTON);
  EXPECT_TRUE(app.waitForText(IDC_STATUS, "Message Log Openend..."));
  HWND log = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (log = app.companion(IDC_LOG_SENDERS)) != nullptr; }, 5000));
  EXPECT_TRUE(WaitUntil([&] { return dockedLeft(log, main); }, 5000));

  // Notes marked always appear even with notifications switched off.
  app.click(IDC_NOTIFY_CHECK);
  EXPECT_TRUE(app.waitForText(IDC_STATUS, "Message notification disabled..."));
  PostMessageA(GetDlgItem(groups, IDC_GROUP_EDIT), BM_CLICK, 0, 0);
  EXPECT_TRUE(
      app.waitForPopup("Select a Group from the list to  edit\n if no Group Exists Create One"));
  app.click(IDC_DEACTIVATE);  // obeys the switch: no popup
  EXPECT_TRUE(app.waitForText(IDC_STATUS, INACTIVE_TEXT));
  EXPECT_TRUE(app.waitForNoPopups(6000));

  // Moving the main window brings both companions along.
  RECT before = frameOf(main);
  SetWindowPos(main, nullptr, before.left + 60, before.top + 40, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil([&] { return frameOf(main).left == before.left + 60; }, 3000));
  EXPECT_TRUE(WaitUntil(
      [&] { return dockedRight(groups, main, true) && dockedLeft(log, main, true); }, 3000));

  // Re-docking settles: the program is idle afterwards, not re-docking back and forth.
  Sleep(300);
  ULONGLONG busy = cpuMs(app.process());
  Sleep(1000);
  EXPECT_LT(cpuMs(app.process()) - busy, 300u);
  SaveWindowShot("main_with_companions", main, 250);

  // Minimised, the main window takes both out of sight; restored, it brings them back.
  EXPECT_TRUE(GetWindowLongA(main, GWL_STYLE) & WS_MINIMIZEBOX);
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  auto hidden = [&] { return IsIconic(main) && !IsWindowVisible(groups) && !IsWindowVisible(log); };
  EXPECT_TRUE(WaitUntil(hidden, 3000));
  app.click(IDC_NOTIFY_CHECK);  // popups still show
  app.click(IDC_LOG_TO_FILE_CHECK);
  EXPECT_TRUE(app.waitForPopup("Logging to File Enabled..."));
  EXPECT_TRUE(hidden()) << "shown again while minimised";
  PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(WaitUntil(
      [&] {
        return IsWindowVisible(groups) && IsWindowVisible(log) && dockedRight(groups, main, true) &&
               dockedLeft(log, main, true);
      },
      3000));

  // The log button closes an open log window and still says it opened one.
  app.click(IDC_MESSAGE_LOG_BUTTON);
  EXPECT_TRUE(app.waitForText(IDC_STATUS, "Message Log Openend..."));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(log); }, 5000));

  // Closing the program closes the groups window with it.
  EXPECT_EQ(app.close(), 0u);
  EXPECT_FALSE(IsWindow(groups));
}

}  // namespace
