// The whole program driven through its windows: start-up, commands and refusals, popups,
// the log-file switch, the About box and closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app_driver.h"
#include "common/screenshot.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

const char* const FEEDBACK_PART = "feedback@quorvane.example";
const char* const GRAPHICS_OFF =
    "You have diabled all Graphics. To enable graphics goto configuration panel !";
const char* const NO_REPLY =
    "Enter a default autoreply message or configure one by opening the configuration "
    "window...";

RECT workArea() {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

bool layered(HWND window) {
  return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

// The program started in a folder named after the test, once its start-up popups are gone.
class QuietProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app.start());
    ASSERT_TRUE(app.waitForNoPopups(6000));
  }
  QuorvaneApp app{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

TEST(StartUp, WindowStateWithAndWithoutStoredSettings) {
  struct Case {
    const char* name;
    bool withFile;
    std::string message;
    int lite;
    bool expectCaution;
  } cases[] = {
      {"no_settings", false, "", 0, false},
      {"stored_message", true, "Gone fishing, back at six", 0, false},
      {"lite_look", true, "Away", 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QuorvaneApp app(std::string("startup_") + c.name);
    if (c.withFile) {
      ASSERT_TRUE(app.writeFile("conf.qvr", confFile(c.message, "0", "1", std::to_string(c.lite))));
    }
    ASSERT_TRUE(app.start());

    EXPECT_EQ(app.title(), "Quorvane [v.3.0]");
    EXPECT_TRUE(app.checked(IDC_NOTIFY_CHECK));
    EXPECT_FALSE(app.checked(IDC_LOG_TO_FILE_CHECK));
    EXPECT_NE(app.text(IDC_STATUS).find(FEEDBACK_PART), std::string::npos);
    EXPECT_EQ(app.text(IDC_DEFAULT_REPLY), c.message);
    EXPECT_FALSE(app.readOnly(IDC_DEFAULT_REPLY));
    EXPECT_EQ(app.text(IDC_RECEIVED_COUNT), "[]");
    EXPECT_EQ(app.text(IDC_REPLIED_COUNT), "[]");
    // The window faded in unless the lite look is on.
    EXPECT_EQ(layered(app.mainWindow()), c.lite == 0);

    EXPECT_TRUE(app.waitForPopup("...Initializing..."));
    HWND caution = app.waitForPopup(GRAPHICS_OFF, c.expectCaution ? 5000 : 800);
    EXPECT_EQ(caution != nullptr, c.expectCaution);
    // In the lite look popups appear and go without fading.
    if (caution) {
      EXPECT_FALSE(layered(caution));
    }
    SaveWindowShot(std::string("main_") + c.name, app.mainWindow());
    if (c.expectCaution) SaveWindowShot("popup_caution_lite", caution, 0);
    // Nothing is written by starting.
    EXPECT_EQ(app.files("*.txt").size(), 0u);
    EXPECT_EQ(app.close(), 0u);
  }
}

// A conf.qvr of an earlier Quorvane, in the old code page, shows its message as it was
// meant and stays as it is until the user saves.
TEST(StartUp, SettingsInTheOldCodePageReadAsTheyWereMeant) {
  const std::string old = confFile("Caf\xE9 ferm\xE9");
  QuorvaneApp app("startup_old_code_page");
  ASSERT_TRUE(app.writeFile("conf.qvr", old));
  ASSERT_TRUE(app.start());
  wchar_t shown[64] = {};
  SendMessageTimeoutW(app.control(IDC_DEFAULT_REPLY), WM_GETTEXT, 64,
                      reinterpret_cast<LPARAM>(shown), SMTO_ABORTIFHUNG, 2000, nullptr);
  EXPECT_STREQ(shown, L"Caf\u00E9 ferm\u00E9");
  std::string bytes;
  EXPECT_TRUE(app.readFile("conf.qvr", bytes));
  EXPECT_EQ(bytes, old);
  EXPECT_EQ(app.close(), 0u);
}

// Started in a temporary folder, as a zip opened in File Explorer runs, it stays there and
// warns at once that what it saves will be lost.
TEST(StartUp, InATemporaryFolderWarnsThatSavedFilesWillBeLost) {
  const char* const WARNING =
      "Running in a temporary folder: settings, groups and logs saved here will be lost. Unpack "
      "the zip first.";
  char temp[MAX_PATH] = {};
  ASSERT_TRUE(GetTempPathA(MAX_PATH, temp));
  QuorvaneApp app(QuorvaneApp::ExistingFolder{temp});
  ASSERT_TRUE(app.launch());
  EXPECT_TRUE(app.waitForMainWindow(15000, WARNING));
  EXPECT_TRUE(app.waitForPopup(WARNING));
  SaveWindowShot("main_temporary_folder", app.mainWindow());
  EXPECT_EQ(app.close(), 0u);
}

TEST_F(QuietProgram, RefusalsShowStatusAndErrorPopups) {
  struct Case {
    const char* name;
    int button;
    std::string typed;
    std::string status;
  } cases[] = {
      {"deactivate_while_inactive", IDC_DEACTIVATE, "", INACTIVE_TEXT},
      {"activate_with_empty_box", IDC_ACTIVATE, "", NO_REPLY},
      {"activate_with_only_line_breaks", IDC_ACTIVATE, "\r\n\r\n", NO_REPLY},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(app.setText(IDC_DEFAULT_REPLY, c.typed));
    app.click(c.button);
    EXPECT_TRUE(app.waitForText(IDC_STATUS, c.status));
    HWND popup = app.waitForPopup(c.status);
    EXPECT_TRUE(popup);
    EXPECT_FALSE(app.readOnly(IDC_DEFAULT_REPLY));
    EXPECT_EQ(app.text(IDC_LOG_FILE_NAME), "[]");  // nothing was started
    if (popup && c.button == IDC_DEACTIVATE) SaveWindowShot("popup_error", popup, 0);
    ASSERT_TRUE(app.waitForNoPopups(6000));
  }
  EXPECT_EQ(app.close(), 0u);
}

TEST(Commands, ActivateTwiceThenDeActivate) {
  QuorvaneApp app("activate");
  ASSERT_TRUE(app.start());
  ASSERT_TRUE(app.setText(IDC_DEFAULT_REPLY, "I am away\r\nback at five\r\nbye"));
  app.click(IDC_ACTIVATE);

  // The guard thread writes its own status; the main window asks for the popup.
  EXPECT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));
  HWND onGuard = app.waitForPopup("Autoresponse is on guard");
  EXPECT_TRUE(onGuard);
  if (onGuard) SaveWindowShot("popup_info", onGuard, 0);
  EXPECT_TRUE(app.readOnly(IDC_DEFAULT_REPLY));
  std::string logName = app.text(IDC_LOG_FILE_NAME);
  EXPECT_EQ(logName.rfind("msg_log_", 0), 0u) << logName;
  EXPECT_NE(logName.find(".txt"), std::string::npos) << logName;

  app.click(IDC_ACTIVATE);
  EXPECT_TRUE(app.waitForText(IDC_STATUS, " Autoresponse is already active !"));
  EXPECT_TRUE(app.waitForPopup(" Autoresponse is already active !"));

  app.click(IDC_DEACTIVATE);
  EXPECT_TRUE(app.waitForText(IDC_STATUS, "Attempting to stop ...", 3000));
  HWND stopping = app.waitForPopup("Attempting to stop ...");
  EXPECT_TRUE(stopping);
  if (stopping) SaveWindowShot("popup_caution", stopping, 0);
  EXPECT_FALSE(app.readOnly(IDC_DEFAULT_REPLY));
  // The guard thread notices within its next poll; its end reaches the status line.
  EXPECT_TRUE(app.waitForText(IDC_STATUS, INACTIVE_TEXT, 5000));
  EXPECT_TRUE(app.waitForPopup(INACTIVE_TEXT));

  // Stopping and starting again at once leaves one working guard, not two or none.
  app.click(IDC_ACTIVATE);
  app.click(IDC_DEACTIVATE);
  app.click(IDC_ACTIVATE);
  // The first thread's status may show before the second click is handled: look only
  // once all three are, which a selection posted after them tells.
  HWND reply = app.control(IDC_DEFAULT_REPLY);
  PostMessageA(reply, EM_SETSEL, 2, 3);
  EXPECT_TRUE(
      WaitUntil([&] { return SendMessageA(reply, EM_GETSEL, 0, 0) == MAKELONG(2, 3); }, 8000));
  EXPECT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard", 8000));
  EXPECT_TRUE(app.readOnly(IDC_DEFAULT_REPLY));
  EXPECT_EQ(app.close(), 0u);
  EXPECT_FALSE(app.running());
}

TEST_F(QuietProgram, NotificationAndLogToFileBoxes) {
  struct Step {
    const char* name;
    int box;
    std::string status;
    bool popup;
  } steps[] = {
      // The notification box never shows a popup of its own, not even when turned on.
      {"notifications_off", IDC_NOTIFY_CHECK, "Message notification disabled...", false},
      {"log_on_silent", IDC_LOG_TO_FILE_CHECK, "Logging to File Enabled...", false},
      {"deactivate_silent", IDC_DEACTIVATE, INACTIVE_TEXT, false},
      {"notifications_on", IDC_NOTIFY_CHECK,
       "Autoresponse will Pop Up Notification on receiving messages...", false},
      {"log_off_noted", IDC_LOG_TO_FILE_CHECK, "Logging to File Disabled...", true},
      {"log_on_noted", IDC_LOG_TO_FILE_CHECK, "Logging to File Enabled...", true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    app.click(s.box);
    EXPECT_TRUE(app.waitForText(IDC_STATUS, s.status));
    EXPECT_EQ(app.waitForPopup(s.status, s.popup ? 5000 : 800) != nullptr, s.popup);
    ASSERT_TRUE(app.waitForNoPopups(6000));
  }
  EXPECT_TRUE(app.checked(IDC_NOTIFY_CHECK));
  EXPECT_TRUE(app.checked(IDC_LOG_TO_FILE_CHECK));
  EXPECT_EQ(app.close(), 0u);
}

TEST_F(QuietProgram, PopupCornerPlacementLifetimeAndClick) {
  const RECT area = workArea();

  // A popup lives its 3000 ms after its text appeared, then fades out.
  app.click(IDC_DEACTIVATE);
  HWND first = app.waitForPopup(INACTIVE_TEXT);
  ASSERT_TRUE(first);
  const ULONGLONG shown = GetTickCount64();
  RECT frame{};
  GetWindowRect(first, &frame);
  EXPECT_EQ(frame.right, area.right);
  EXPECT_EQ(frame.bottom, area.bottom);
  EXPECT_TRUE(GetWindowLongA(first, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // On top, but the keyboard stays where the user was typing.
  EXPECT_NE(GetForegroundWindow(), first);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(first); }, 6000));
  const ULONGLONG lived = GetTickCount64() - shown;
  EXPECT_GE(lived, 2800u);
  EXPECT_LE(lived, 4500u);

  // Two requests in quick succession: two popups at the same place, the newer on top.
  // Both may show the later text, which is what the shared note text holds by then.
  app.click(IDC_DEACTIVATE);
  app.click(IDC_ACTIVATE);
  ASSERT_TRUE(WaitUntil([&] { return app.popups().size() == 2; }, 5000));
  std::vector<PopupWindow> both = app.popups();
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0].text, NO_REPLY);
  EXPECT_TRUE(EqualRect(&both[0].frame, &both[1].frame));

  // A click closes a popup at once; the other keeps its own time.
  const ULONGLONG clicked = GetTickCount64();
  PostMessageA(both[0].window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(both[0].window); }, 1500));
  EXPECT_LT(GetTickCount64() - clicked, 1500u);
  EXPECT_TRUE(IsWindow(both[1].window));
  EXPECT_TRUE(app.waitForNoPopups(5000));
  EXPECT_EQ(app.close(), 0u);
}

TEST_F(QuietProgram, AboutBoxOpensOnTopAndClosesWithOkOrTheEnterKey) {
  HWND about = app.openAbout();
  ASSERT_TRUE(about);
  EXPECT_TRUE(GetWindowLongA(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetWindowLongA(about, GWL_STYLE) & WS_CAPTION, WS_BORDER);
  EXPECT_TRUE(FindWindowExA(about, nullptr, "Static", "Quorvane Version  3.x"));
  Sleep(200);  // let it paint before the picture is taken
  SaveWindowShot("about_box", about);
  PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 3000));

  // The OK bar takes no keyboard focus, so the box itself must answer Enter.
  about = app.openAbout();
  ASSERT_TRUE(about);
  PostMessageA(about, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 3000));
  EXPECT_EQ(app.close(), 0u);
}

TEST(Closing, EndsWithCodeZeroFromButtonAndWhileActive) {
  struct Case {
    const char* name;
    bool activate;
  } cases[] = {{"close_button_idle", false}, {"close_button_active", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QuorvaneApp app(c.name);
    ASSERT_TRUE(app.start());
    if (c.activate) {
      ASSERT_TRUE(app.setText(IDC_DEFAULT_REPLY, "brb"));
      app.click(IDC_ACTIVATE);
      ASSERT_TRUE(app.waitForText(IDC_STATUS, "Autoresponse is on guard"));
    }
    app.click(IDC_CLOSE_BUTTON);
    EXPECT_EQ(app.waitForExit(10000), 0u);
    EXPECT_FALSE(app.running());
  }
}

}  // namespace
