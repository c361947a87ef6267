// The user guide's pictures: Quorvane at work with the stand-in messenger, each window
// opened as a user would and shot once it has painted, into BMP files that
// scripts/pictures.sh turns into docs/*.png.
#include "pictures_win32.h"

#include <cstdio>
#include <initializer_list>
#include <string>

#include "common/app_driver.h"
#include "common/messenger_client.h"
#include "common/screenshot.h"
#include "companions/companion_driver.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

const char* const REPLY = "Out for lunch, back at two. I will answer then!";
const DWORD PAINTED_MS = 400;  // a window that came up, or slid, has painted by then

bool report(const char* text) {
  std::printf("pictures: %s\n", text);
  std::fflush(stdout);
  return true;
}

bool failed(const char* what) {
  std::printf("pictures: FAILED: %s\n", what);
  std::fflush(stdout);
  return false;
}

void rest(DWORD ms) {
  WaitUntil([] { return false; }, ms);
}

bool saved(const char* name, bool written) {
  std::printf("pictures: %s %s\n", written ? "shot" : "COULD NOT WRITE", name);
  std::fflush(stdout);
  return written;
}

// The icon in Wine's own tray window, which it opens where no desktop offers one.
HWND TrayIcon() {
  HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
  HWND icon = tray ? FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr) : nullptr;
  return icon && IsWindowVisible(icon) ? icon : nullptr;
}

HWND VisibleWindow(const char* className, const std::string& text = "") {
  HWND w = nullptr;
  while ((w = FindWindowExA(nullptr, w, className, nullptr)))
    if (IsWindowVisible(w) && (text.empty() || WindowText(w) == text)) return w;
  return nullptr;
}

// The screen around these windows, as ShotOf takes it, with more room around them.
bool ShotAround(const char* name, std::initializer_list<HWND> windows, int margin) {
  RECT all{};
  bool first = true;
  for (HWND w : windows) {
    if (!w) continue;
    RECT r = Frame(w);
    if (first) all = r;
    UnionRect(&all, &all, &r);
    first = false;
  }
  InflateRect(&all, margin, margin);
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  IntersectRect(&all, &all, &screen);
  return saved(name, !first && SaveScreenArea(name, all));
}

// Three contacts write and are answered.
bool Conversations(StandInMessenger& messenger) {
  struct Contact {
    const char* name;
    const char* id;
    const wchar_t* message;
  };
  const Contact contacts[] = {{"Alice Wong", "alice_w", L"Hi, are you there?"},
                              {"Bob Stone", "bob_stone", L"Lunch today?"},
                              {"Zed Park", "zed", L"Call me when you are back"}};
  for (const Contact& c : contacts) {
    HWND chat = messenger.openMessage(standInChatTitle(c.name, c.id), c.id, c.message);
    if (!chat || !messenger.waitForClose(chat, 10000)) return failed("a contact was not answered");
  }
  return true;
}

// The icon with its tooltip, then its menu, opened where the pointer is.
bool TrayPictures(const QuorvaneApp& app) {
  HWND icon = nullptr;
  if (!WaitUntil([&] { return (icon = TrayIcon()) != nullptr; }, 5000))
    return failed("no icon in Wine's tray window");
  // Wine puts its tray window in the screen's top left corner; lower down, the menu opens
  // above the icon as it does above a taskbar.
  SetWindowPos(GetParent(icon), nullptr, 40, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  rest(PAINTED_MS);
  const std::string tip = "Quorvane: on guard, 3 received, 3 answered";
  RECT r = Frame(icon);
  HWND tooltip = nullptr;
  // Wine shows the tooltip once the pointer has come over the icon from elsewhere.
  for (int spot = 0; spot < 12 && !tooltip; spot += 4) {
    SetCursorPos(r.right + 300, r.bottom + 300);
    rest(150);
    SetCursorPos(r.left + 4 + spot, r.top + 4 + spot);
    WaitUntil([&] { return (tooltip = VisibleWindow("tooltips_class32", tip)) != nullptr; }, 2500);
  }
  if (!tooltip) return failed("the icon's tooltip did not show");
  rest(PAINTED_MS);
  bool ok = ShotAround("tray_tooltip", {GetParent(icon), tooltip}, 24);

  PostMessageA(icon, WM_RBUTTONDOWN, 0, 0);  // as the X server passes on a right click
  PostMessageA(icon, WM_RBUTTONUP, 0, 0);
  HWND menu = nullptr;
  if (!WaitUntil([&] { return (menu = VisibleWindow("#32768")) != nullptr; }, 5000))
    return failed("the icon's menu did not open");
  rest(PAINTED_MS);
  ok = ShotAround("tray_menu", {GetParent(icon), menu}, 24) && ok;
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  WaitGone(menu, 3000);
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
  return app.running() && ok;
}

bool MessageLogPicture(const QuorvaneApp& app) {
  app.click(IDC_MESSAGE_LOG_BUTTON);
  HWND log = WaitForDialogWith(app, {IDC_LOG_VIEW, IDC_LOG_CLEAR});
  if (!log) return failed("the message log did not open");
  WaitUntil([&] { return Frame(log).right == Frame(app.mainWindow()).left; }, 5000);
  SelectRow(log, IDC_LOG_SENDERS, 0);
  rest(PAINTED_MS);
  ShotOf("message_log", {log, app.mainWindow()});
  saved("message_log", true);
  app.click(IDC_MESSAGE_LOG_BUTTON);
  return WaitGone(log) || failed("the message log did not close");
}

// The groups window with the first group's members beside it; the members panel closes
// by itself after five seconds, so it is shot as soon as it has docked.
bool GroupsPicture(const QuorvaneApp& app) {
  app.click(IDC_GROUPS_BUTTON);
  HWND groups = WaitForDialogWith(app, {IDC_GROUP_CREATE, IDC_GROUP_LIST});
  if (!groups) return failed("the groups window did not open");
  WaitUntil([&] { return Frame(groups).left == Frame(app.mainWindow()).right; }, 5000);
  SelectRow(groups, IDC_GROUP_LIST, 0);
  HWND members = WaitForDialogWith(app, {IDC_MEMBER_CREATE, IDC_MEMBER_LIST});
  if (!members) return failed("the members panel did not open");
  WaitUntil([&] { return Frame(members).left == Frame(groups).right; }, 3000);
  rest(PAINTED_MS);
  ShotOf("groups", {app.mainWindow(), groups, members});
  saved("groups", true);
  app.click(IDC_GROUPS_BUTTON);
  return WaitGone(groups) || failed("the groups window did not close");
}

bool ConfigurationPicture(const QuorvaneApp& app) {
  app.click(IDC_CONFIG_BUTTON);
  HWND dialog = WaitForDialogWith(app, {IDC_CONFIG_MESSAGE, IDC_CONFIG_TRAY_ICON});
  if (!dialog) return failed("the configuration did not open");
  rest(PAINTED_MS);
  bool ok = saved("configuration", SaveWindowShot("configuration", dialog));
  Click(dialog, IDCANCEL);
  return (WaitGone(dialog) || failed("the configuration did not close")) && ok;
}

bool Pictures(QuorvaneApp& app, StandInMessenger& messenger) {
  if (!app.writeFile("conf.qvr", confFile(REPLY, "0", "1", "0")) ||
      !app.writeFile("Groups.lst",
                     CrLfLines({"Group---", "Friends", "Back soon, have fun!", "User---", "alice_w",
                                "User---", "bob_stone", "---", "Group---", "Work",
                                "In a meeting until three.", "User---", "carol_k", "---"})))
    return failed("the settings and groups files");
  report("starting the stand-in messenger and Quorvane");
  if (!StartWithMessenger(app, messenger)) return failed("the start");
  app.waitForNoPopups(8000);
  app.click(IDC_LOG_TO_FILE_CHECK);
  app.click(IDC_ACTIVATE);
  if (!app.waitForText(IDC_STATUS, "Autoresponse is on guard", 5000))
    return failed("autoresponse did not start");
  report("three contacts write");
  if (!Conversations(messenger)) return false;
  app.waitForText(IDC_STATUS, "IM Autoresponded...", 5000);
  app.waitForNoPopups(10000);
  rest(PAINTED_MS);
  bool ok = saved("main_window", SaveWindowShot("main_window", app.mainWindow()));
  ok = TrayPictures(app) && ok;
  ok = MessageLogPicture(app) && ok;
  ok = GroupsPicture(app) && ok;
  app.click(IDC_DEACTIVATE);
  if (!app.waitForText(IDC_STATUS, "Autoresponse is Currently Inactive...", 10000))
    return failed("autoresponse did not stop");
  app.waitForNoPopups(10000);
  return ConfigurationPicture(app) && ok;
}

}  // namespace

int TakePictures(const std::string& pictureFolder) {
  SetScreenshotFolder(pictureFolder);
  StandInMessenger messenger;
  QuorvaneApp app("pictures");
  bool ok = Pictures(app, messenger);
  DWORD code = app.running() ? app.close() : 1;
  messenger.stop();
  if (code != 0) std::printf("pictures: Quorvane ended with exit code %lu\n", code);
  return ok && code == 0 ? 0 : 1;
}
