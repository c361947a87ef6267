// The notification-area icon with its tooltip and menu, and the taskbar button's badge,
// kept in step with the state on the interface thread.
#include "app/tray_icon_win32.h"

#include <shellapi.h>
#include <shobjidl.h>

#include "app/app_win32.h"
#include "app/tray_view.h"
#include "base/shared_state.h"
#include "base/wide_text_win32.h"
#include "resources/resource.h"

namespace {

// The interface thread's alone.
struct Tray {
  bool wanted = false;  // the settings ask for the icon
  bool hideWhenMinimised = false;
  bool shown = false;        // the shell took the icon
  bool version4 = false;     // and speaks NOTIFYICON_VERSION_4 with it
  bool byItself = false;     // the newest activation was the away watch's
  TrayView view;             // what the icon shows
  HICON icon = nullptr;      // the picture of view.icon at the small icon size
  bool buttonReady = false;  // the taskbar button exists and takes a badge
  int badgeShown = 0;
  ITaskbarList3* taskbar = nullptr;
  // Explorer sends the first when it (re)starts, the second for each new taskbar button.
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  const UINT buttonCreated = RegisterWindowMessageW(L"TaskbarButtonCreated");
};

Tray& tray() {
  static Tray kept;
  return kept;
}

TrayFacts factsNow(HWND window) {
  TrayFacts facts;
  facts.active = AutoresponseActive;
  facts.byItself = tray().byItself;
  HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
  facts.highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                       (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
  facts.dialogOpen = !IsWindowEnabled(window);
  facts.received = ReceivedCount;
  facts.replied = RepliedCount;
  return facts;
}

// At the size the notification area and the badge use at the system's display scale.
HICON loadSmallIcon(int id) {
  return static_cast<HICON>(LoadImageW(app().instance, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                       LR_DEFAULTCOLOR));
}

NOTIFYICONDATAW iconData(HWND window, UINT flags) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = TRAY_ICON_ID;
  data.uFlags = flags;
  return data;
}

// Takes the view over into `data` (the shell copies the picture).
void describe(NOTIFYICONDATAW& data, const TrayView& view, HICON icon) {
  data.uFlags |= NIF_TIP | NIF_SHOWTIP;
  const std::wstring tip = WideFromUtf8(view.tip).substr(0, ARRAYSIZE(data.szTip) - 1);
  tip.copy(data.szTip, tip.size());
  if (data.uFlags & NIF_ICON) data.hIcon = icon;
}

void takePicture(int id) {
  Tray& t = tray();
  if (HICON icon = loadSmallIcon(id)) {
    if (t.icon) DestroyIcon(t.icon);
    t.icon = icon;
  }
}

void addIcon(HWND window) {
  Tray& t = tray();
  t.view = trayViewFor(factsNow(window));
  takePicture(t.view.icon);
  NOTIFYICONDATAW data = iconData(window, NIF_MESSAGE | NIF_ICON);
  data.uCallbackMessage = UM_TRAY_ICON;
  describe(data, t.view, t.icon);
  t.shown = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  data.uVersion = NOTIFYICON_VERSION_4;
  t.version4 = t.shown && Shell_NotifyIconW(NIM_SETVERSION, &data) != FALSE;
}

void removeIcon(HWND window) {
  Tray& t = tray();
  if (!t.shown) return;
  NOTIFYICONDATAW data = iconData(window, 0);
  Shell_NotifyIconW(NIM_DELETE, &data);
  t.shown = false;
}

// A window that has left the taskbar must not be lost when the icon is gone.
void keepReachable(HWND window) {
  if (!tray().shown && IsIconic(window) && !IsWindowVisible(window))
    ShowWindow(window, SW_SHOWMINNOACTIVE);
}

void showBadge(HWND window) {
  Tray& t = tray();
  const int badge = t.wanted ? t.view.badge : 0;
  if (!t.buttonReady || badge == t.badgeShown) return;
  if (!t.taskbar) {
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&t.taskbar))))
      return;
    if (FAILED(t.taskbar->HrInit())) {
      t.taskbar->Release();
      t.taskbar = nullptr;
      return;
    }
  }
  HICON picture = badge ? loadSmallIcon(badge) : nullptr;
  const std::wstring text = WideFromUtf8(badge ? t.view.badgeText : "");
  // The taskbar keeps a copy of the picture.
  if (SUCCEEDED(t.taskbar->SetOverlayIcon(window, picture, badge ? text.c_str() : nullptr)))
    t.badgeShown = badge;
  if (picture) DestroyIcon(picture);
}

// Returns the chosen item's id, or 0.
int openMenu(HWND window, POINT at) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return 0;
  for (const TrayMenuItem& item : trayMenuFor(factsNow(window))) {
    if (item.id == 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    AppendMenuW(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), item.id,
                WideFromUtf8(item.text).c_str());
    if (item.isDefault) SetMenuDefaultItem(menu, item.id, FALSE);
  }
  // As the shell requires: with its owner in front, a click elsewhere closes the menu, and
  // the message afterwards lets the next right click open it again at once.
  SetForegroundWindow(window);
  const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  const int chosen = TrackPopupMenuEx(
      menu, align | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y,
      window, nullptr);
  PostMessageW(window, WM_NULL, 0, 0);
  DestroyMenu(menu);
  return chosen;
}

POINT cursor() {
  POINT at{};
  GetCursorPos(&at);
  return at;
}

// What a click, a key or the menu key on the icon asks for.
int iconEvent(HWND window, WPARAM wParam, LPARAM lParam) {
  const bool version4 = tray().version4;
  switch (version4 ? LOWORD(lParam) : static_cast<UINT>(lParam)) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
      return IDM_TRAY_SHOW;
    case WM_LBUTTONUP:  // the older shells' click
      return version4 ? 0 : IDM_TRAY_SHOW;
    case WM_CONTEXTMENU:  // with version 4 the anchor comes along, from the mouse or the keys
      return openMenu(window, version4 ? POINT{static_cast<short>(LOWORD(wParam)),
                                               static_cast<short>(HIWORD(wParam))}
                                       : cursor());
    case WM_RBUTTONUP:
      return version4 ? 0 : openMenu(window, cursor());
  }
  return 0;
}

}  // namespace

void ShowTrayIcon(HWND mainWindow, const AwaySettings& settings) {
  Tray& t = tray();
  t.wanted = settings.trayIcon;
  t.hideWhenMinimised = settings.hideWhenMinimised;
  if (t.wanted && !t.shown) {
    // Explorer's messages reach a Quorvane run as administrator too.
    for (UINT message : {t.taskbarCreated, t.buttonCreated, static_cast<UINT>(UM_TRAY_ICON)})
      ChangeWindowMessageFilterEx(mainWindow, message, MSGFLT_ALLOW, nullptr);
    addIcon(mainWindow);
  } else if (!t.wanted) {
    removeIcon(mainWindow);
  }
  showBadge(mainWindow);
}

void TrayActivated(bool byItself) {
  tray().byItself = byItself;
}

void RefreshTray(HWND mainWindow) {
  Tray& t = tray();
  const TrayView view = trayViewFor(factsNow(mainWindow));
  bool taken = true;
  if (t.shown && view != t.view) {
    NOTIFYICONDATAW data = iconData(mainWindow, view.icon != t.view.icon ? NIF_ICON : 0);
    if (data.uFlags & NIF_ICON) takePicture(view.icon);
    describe(data, view, t.icon);
    // A busy shell may refuse the change: the next refresh brings it again.
    taken = Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
  }
  if (taken) t.view = view;
  showBadge(mainWindow);
}

bool TrayMessage(HWND mainWindow, UINT message, WPARAM wParam, LPARAM lParam, int& command) {
  Tray& t = tray();
  command = 0;
  if (message == UM_TRAY_ICON) {
    command = iconEvent(mainWindow, wParam, lParam);
  } else if (message == t.taskbarCreated && message != 0) {
    // Explorer started again: the old icon went with it.
    if (t.wanted) {
      removeIcon(mainWindow);
      addIcon(mainWindow);
    }
    keepReachable(mainWindow);
  } else if (message == t.buttonCreated && message != 0) {
    t.buttonReady = true;
    t.badgeShown = 0;  // a new button has none
    showBadge(mainWindow);
  } else {
    return false;
  }
  return true;
}

void TrayMinimised(HWND mainWindow) {
  const Tray& t = tray();
  if (leavesTaskbarWhenMinimised(t.hideWhenMinimised, t.shown)) ShowWindow(mainWindow, SW_HIDE);
}

void RemoveTrayIcon(HWND mainWindow) {
  Tray& t = tray();
  removeIcon(mainWindow);
  if (t.taskbar) t.taskbar->Release();
  t.taskbar = nullptr;
  t.buttonReady = false;
  if (t.icon) DestroyIcon(t.icon);
  t.icon = nullptr;
}
