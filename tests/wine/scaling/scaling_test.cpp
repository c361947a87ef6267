// The program at the display scale of the prefix it runs in (96, 120, 144 or 192 dots per
// inch): its manifest and icon, the background pictures shown once, every label's whole
// text, and a screenshot of every window named after the scale ("dpi144_about").
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/app_driver.h"
#include "common/messenger_client.h"
#include "common/screenshot.h"
#include "companions/companion_driver.h"
#include "icon_probe/icon_probe.h"
#include "resources/resource.h"

namespace {

const char* const INACTIVE = "Autoresponse is Currently Inactive...";
const char* const STOPPING = "Attempting to stop ...";
// Long enough for an input dialog to fade in and paint.
constexpr DWORD SHOWN_MS = 400;

// Wine draws every program at the prefix's scale, this one included.
int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

std::string ShotName(const std::string& window) {
  return "dpi" + std::to_string(ScreenDpi()) + "_" + window;
}

int Scaled(int length) {
  return MulDiv(length, ScreenDpi(), 96);
}

// What a window's client area shows, row by row.
struct ClientPixels {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  int luminance(int x, int y) const {
    COLORREF c = at(x, y);
    return (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
  }
};

ClientPixels CaptureClient(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  OffsetRect(&client, origin.x, origin.y);
  return ClientPixels{client.right - client.left, client.bottom - client.top,
                      CaptureScreenPixels(client)};
}

// The largest rise of a value along a line of pixels: a picture that starts again shows
// as a jump back to its first colours.
template <typename Value>
int LargestRise(int count, Value value) {
  int rise = 0;
  for (int i = 1; i < count; ++i) rise = std::max(rise, value(i) - value(i - 1));
  return rise;
}

// The popups' pictures darken from top to bottom: a column beside the text must never
// brighten again.
void ExpectPopupPictureOnce(HWND popup, const char* kind) {
  SCOPED_TRACE(kind);
  Sleep(150);  // let it paint
  ClientPixels shown = CaptureClient(popup);
  ASSERT_GT(shown.height, 10);
  for (int x : {2, shown.width - 3}) {
    EXPECT_LE(LargestRise(shown.height, [&](int y) { return shown.luminance(x, y); }), 4)
        << "column " << x << " of a " << shown.width << "x" << shown.height << " popup";
  }
  EXPECT_GT(shown.luminance(2, 0) - shown.luminance(2, shown.height - 1), 20)
      << "the gradient runs from top to bottom";
}

// Pixels of the About box's glowing mark (near white with a blue tint), gathered into
// groups of touching pixels: the mark shown once is one group.
struct Marks {
  int groups = 0;
  RECT box{};  // of the largest group
};

Marks FindMarks(const ClientPixels& shown, int rows) {
  auto onMark = [&](int x, int y) {
    COLORREF c = shown.at(x, y);
    return GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 230;
  };
  std::vector<int> group(static_cast<size_t>(shown.width) * rows, 0);
  Marks found;
  int largest = 0;
  for (int y0 = 0; y0 < rows; ++y0) {
    for (int x0 = 0; x0 < shown.width; ++x0) {
      if (!onMark(x0, y0) || group[y0 * shown.width + x0]) continue;
      ++found.groups;
      RECT box{x0, y0, x0 + 1, y0 + 1};
      int size = 0;
      std::vector<POINT> todo{{x0, y0}};
      group[y0 * shown.width + x0] = found.groups;
      while (!todo.empty()) {
        POINT p = todo.back();
        todo.pop_back();
        ++size;
        box = RECT{std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x + 1),
                   std::max(box.bottom, p.y + 1)};
        const POINT next[] = {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}};
        for (POINT n : next) {
          if (n.x < 0 || n.y < 0 || n.x >= shown.width || n.y >= rows) continue;
          int& g = group[n.y * shown.width + n.x];
          if (g || !onMark(n.x, n.y)) continue;
          g = found.groups;
          todo.push_back(n);
        }
      }
      if (size > largest) {
        largest = size;
        found.box = box;
      }
    }
  }
  return found;
}

// What the probe's message hook on the program's interface thread answers to `question`
// posted to the window; unanswered (answered 0) when the hook never ran.
IconProbeAnswer AskProgram(HWND window, const char* question) {
  IconProbeAnswer answer{};
  HMODULE probe =
      LoadLibraryA((std::string(QV_BUILD_DIR) + "\\icon_probe\\icon_probe.dll").c_str());
  auto hook = probe ? reinterpret_cast<HOOKPROC>(
                          reinterpret_cast<void*>(GetProcAddress(probe, ICON_PROBE_HOOK)))
                    : nullptr;
  HANDLE memory = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     sizeof answer, ICON_PROBE_MEMORY);
  auto* shared = memory ? static_cast<IconProbeAnswer*>(
                              MapViewOfFile(memory, FILE_MAP_WRITE, 0, 0, sizeof answer))
                        : nullptr;
  HHOOK set = hook && shared ? SetWindowsHookExA(WH_GETMESSAGE, hook, probe,
                                                 GetWindowThreadProcessId(window, nullptr))
                             : nullptr;
  if (set) {
    PostMessageA(window, RegisterWindowMessageA(question), 0, 0);
    WaitUntil([&] { return InterlockedCompareExchange(&shared->answered, 0, 0) != 0; }, 5000);
    answer = *shared;
    UnhookWindowsHookEx(set);
  }
  if (shared) UnmapViewOfFile(shared);
  if (memory) CloseHandle(memory);
  if (probe) FreeLibrary(probe);
  return answer;
}

// Every static and button of the window shows its whole text, measured inside the program
// with the control's own font.
void ExpectLabelsFit(HWND window, const std::string& name) {
  const IconProbeAnswer labels = AskProgram(window, LABEL_PROBE_MESSAGE);
  ASSERT_EQ(labels.answered, 1) << name << ": the label probe did not run in the program";
  EXPECT_GT(labels.labels, 0) << name;
  EXPECT_STREQ(labels.cut, "") << ShotName(name);
}

// The resource of quorvane.exe as bytes, empty when it has none.
std::string ProgramResource(const char* name, const char* type) {
  HMODULE image = LoadLibraryExA((std::string(QV_BUILD_DIR) + "\\quorvane.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
  if (!image) return "";
  std::string bytes;
  if (HRSRC found = FindResourceA(image, name, type))
    bytes.assign(static_cast<const char*>(LockResource(LoadResource(image, found))),
                 SizeofResource(image, found));
  FreeLibrary(image);
  return bytes;
}

TEST(ProgramFile, ManifestDeclaresPerMonitorScalingAndTheIconHasEverySize) {
  const std::string manifest = ProgramResource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  for (const char* part :
       {">PerMonitorV2, PerMonitor</dpiAwareness>", ">true/pm</dpiAware>",
        "http://schemas.microsoft.com/SMI/2016/WindowsSettings",
        "http://schemas.microsoft.com/SMI/2005/WindowsSettings", ">UTF-8</activeCodePage>",
        "http://schemas.microsoft.com/SMI/2019/WindowsSettings"})
    EXPECT_NE(manifest.find(part), std::string::npos) << part << " in\n" << manifest;

  // The icon group: a 6-byte header, then 14 bytes per image with its width first and its
  // image's number last. Each image is the one of its size in quorvane.ico, not an image
  // of another icon that was given the same number.
  const std::string group = ProgramResource("QUORVANE", MAKEINTRESOURCEA(14));
  ASSERT_GE(group.size(), 6u);
  std::ifstream in(std::string(QV_SOURCE_DIR) + "\\resources\\bitmaps\\quorvane.ico",
                   std::ios::binary);
  const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  auto number = [](const std::string& bytes, size_t at, int size) {
    uint32_t n = 0;
    for (int i = size - 1; i >= 0 && at + i < bytes.size(); --i)
      n = n << 8 | static_cast<unsigned char>(bytes[at + i]);
    return n;
  };
  std::vector<int> widths;
  for (size_t at = 6; at + 14 <= group.size(); at += 14) {
    int width = static_cast<unsigned char>(group[at]);
    widths.push_back(width == 0 ? 256 : width);
    const std::string image =
        ProgramResource(MAKEINTRESOURCEA(number(group, at + 12, 2)), MAKEINTRESOURCEA(3));
    bool same = false;  // the file's directory: 16 bytes per image, its size and offset last
    for (size_t e = 6; e < 6 + 16 * number(file, 4, 2) && e + 16 <= file.size(); e += 16)
      if (file[e] == group[at])
        same = file.compare(number(file, e + 12, 4), number(file, e + 8, 4), image) == 0;
    EXPECT_TRUE(same) << widths.back() << " px image";
  }
  for (int wanted : {16, 20, 24, 32, 40, 48, 64, 256})
    EXPECT_NE(std::find(widths.begin(), widths.end(), wanted), widths.end()) << wanted << " px";
}

// The main window's icons, its strip and the popups' and About box's pictures, with a
// screenshot of each.
TEST(Scale, MainWindowPopupsAndAboutShowTheirPicturesOnce) {
  QuorvaneApp app("scale_main");
  StandInMessenger messenger;
  ASSERT_TRUE(StartWithMessenger(app, messenger));
  HWND main = app.mainWindow();

  // Both icons, at the sizes the system uses at this scale (32 and 16 pixels at 100 %).
  IconProbeAnswer icons = AskProgram(main, ICON_PROBE_MESSAGE);
  ASSERT_EQ(icons.answered, 1) << "the icon probe did not run in the program";
  EXPECT_EQ(icons.bigWidth, GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(icons.smallWidth, GetSystemMetrics(SM_CXSMICON));

  // The strip runs once from lavender on the left to a deeper lavender on the right; the
  // client area's last row is below every control.
  ClientPixels strip = CaptureClient(main);
  const int row = strip.height - 1;
  EXPECT_LE(LargestRise(strip.width, [&](int x) { return GetRValue(strip.at(x, row)); }), 1);
  EXPECT_NEAR(GetRValue(strip.at(0, row)), 232, 3);
  EXPECT_NEAR(GetRValue(strip.at(strip.width - 1, row)), 204, 3);
  SaveWindowShot(ShotName("main"), main);
  ExpectLabelsFit(main, "main");

  app.click(IDC_DEACTIVATE);
  HWND error = app.waitForPopup(INACTIVE);
  ASSERT_TRUE(error);
  ExpectPopupPictureOnce(error, "error");
  SaveWindowShot(ShotName("popup_error"), error, 0);
  ExpectLabelsFit(error, "popup_error");

  ASSERT_TRUE(app.setText(IDC_DEFAULT_REPLY, "away"));
  app.click(IDC_ACTIVATE);
  ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));
  HWND onGuard = app.waitForPopup("Autoresponse is on guard");
  ASSERT_TRUE(onGuard);
  ExpectPopupPictureOnce(onGuard, "info");
  SaveWindowShot(ShotName("popup_info"), onGuard, 0);
  ExpectLabelsFit(onGuard, "popup_info");
  ASSERT_TRUE(messenger.openMessage(standInChatTitle("Alice W", "alice_w"), "alice_w", L"hi"));
  HWND message = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (const PopupWindow& p : app.popups())
          if (p.text.rfind("Msg from : ", 0) == 0) message = p.window;
        return message != nullptr;
      },
      10000));
  ExpectPopupPictureOnce(message, "message");
  SaveWindowShot(ShotName("popup_message"), message, 0);
  ExpectLabelsFit(message, "popup_message");
  app.click(IDC_DEACTIVATE);
  HWND caution = app.waitForPopup(STOPPING);
  ASSERT_TRUE(caution);
  ExpectPopupPictureOnce(caution, "caution");
  SaveWindowShot(ShotName("popup_caution"), caution, 0);
  ExpectLabelsFit(caution, "popup_caution");
  ASSERT_TRUE(app.waitForText(IDC_STATUS, INACTIVE, 5000));
  ASSERT_TRUE(app.waitForNoPopups(8000));

  // The mark above the version line: once, whole and centred, at its 100 % size at this
  // scale (66 pixels across), or larger by as much as the box is wider than the picture.
  HWND about = app.openAbout();
  ASSERT_TRUE(about);
  RECT version = Frame(FindWindowExA(about, nullptr, "Static", nullptr));
  POINT versionTop{version.left, version.top};
  ScreenToClient(about, &versionTop);
  ASSERT_GT(versionTop.y, 0);
  // Looked at again until it shows one mark: on a busy machine the box may not have been
  // painted yet at the first look.
  ClientPixels shown;
  Marks marks;
  WaitUntil(
      [&] {
        shown = CaptureClient(about);
        marks = FindMarks(shown, std::min(static_cast<int>(versionTop.y), shown.height));
        return marks.groups == 1;
      },
      3000);
  EXPECT_EQ(marks.groups, 1);
  EXPECT_GT(marks.box.left, 0);
  EXPECT_GT(marks.box.top, 0);
  EXPECT_NEAR((marks.box.left + marks.box.right) / 2, shown.width / 2, Scaled(4));
  const int markWidth = marks.box.right - marks.box.left;
  EXPECT_GE(markWidth, Scaled(62));
  EXPECT_LE(markWidth, Scaled(70) * std::max(1.0, shown.width / double(Scaled(273))));
  SaveWindowShot(ShotName("about"), about);
  ExpectLabelsFit(about, "about");
  PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitGone(about, 3000));
  EXPECT_EQ(app.close(), 0u);
  messenger.stop();
}

// An input dialog opened by a button of `from`: shot once it has painted, then cancelled.
void ShootInputDialog(const QuorvaneApp& app, HWND from, int button, std::initializer_list<int> ids,
                      const char* name) {
  Click(from, button);
  HWND dialog = WaitForDialogWith(app, ids);
  ASSERT_TRUE(dialog);
  Sleep(SHOWN_MS);
  SaveWindowShot(ShotName(name), dialog);
  ExpectLabelsFit(dialog, name);
  Click(dialog, IDCANCEL);
  ASSERT_TRUE(WaitGone(dialog));
}

// The companion windows and input dialogs, each beside what it docks at.
TEST(Scale, CompanionWindowsAndDialogs) {
  QuorvaneApp app("scale_companions");
  ASSERT_TRUE(app.writeFile(
      "Groups.lst", CrLfLines({"Group---", "Friends", "Back soon", "User---", "alice", "---"})));
  ASSERT_TRUE(app.start());
  ASSERT_TRUE(app.waitForNoPopups(6000));
  HWND main = app.mainWindow();

  app.click(IDC_GROUPS_BUTTON);
  HWND groups = WaitForDialogWith(app, {IDC_GROUP_CREATE, IDC_GROUP_LIST});
  ASSERT_TRUE(groups);
  EXPECT_TRUE(WaitUntil([&] { return Frame(groups).left == Frame(main).right; }, 5000));
  ShotOf(ShotName("groups"), {main, groups});
  ExpectLabelsFit(groups, "groups");

  ASSERT_NO_FATAL_FAILURE(ShootInputDialog(app, groups, IDC_GROUP_CREATE,
                                           {IDC_GROUP_NAME, IDC_GROUP_MESSAGE}, "group_info"));

  SelectRow(groups, IDC_GROUP_LIST, 0);
  HWND members = WaitForDialogWith(app, {IDC_MEMBER_CREATE, IDC_MEMBER_LIST});
  ASSERT_TRUE(members);
  EXPECT_TRUE(WaitUntil([&] { return Frame(members).left == Frame(groups).right; }, 5000));
  ShotOf(ShotName("members"), {main, groups, members});
  ExpectLabelsFit(members, "members");
  ASSERT_NO_FATAL_FAILURE(
      ShootInputDialog(app, members, IDC_MEMBER_CREATE, {IDC_USER_ID, IDC_STATUS}, "user_id"));

  app.click(IDC_MESSAGE_LOG_BUTTON);
  HWND log = WaitForDialogWith(app, {IDC_LOG_VIEW, IDC_LOG_CLEAR});
  ASSERT_TRUE(log);
  EXPECT_TRUE(WaitUntil([&] { return Frame(log).right == Frame(main).left; }, 5000));
  ShotOf(ShotName("message_log"), {log, main});
  ExpectLabelsFit(log, "message_log");
  ExpectLabelsFit(main, "main with both companions open");
  app.click(IDC_MESSAGE_LOG_BUTTON);
  ASSERT_TRUE(WaitGone(log));

  ASSERT_NO_FATAL_FAILURE(ShootInputDialog(app, main, IDC_CONFIG_BUTTON,
                                           {IDC_CONFIG_MESSAGE, IDC_CONFIG_SPEED}, "config"));
  EXPECT_EQ(app.close(), 0u);
}

}  // namespace
