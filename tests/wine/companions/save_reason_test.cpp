// A save that fails because another program holds the file: the status line names the
// system's reason, the red popup keeps its short text, and the file stays as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/app_driver.h"
#include "companions/companion_driver.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

void createGroup(const QuorvaneApp& app) {
  app.click(IDC_GROUPS_BUTTON);
  HWND groups = WaitForDialogWith(app, {IDC_GROUP_CREATE, IDC_GROUP_EDIT, IDC_GROUP_LIST});
  ASSERT_TRUE(groups);
  Click(groups, IDC_GROUP_CREATE);
  HWND info = WaitForDialogWith(app, {IDC_GROUP_NAME, IDC_GROUP_MESSAGE, IDC_STATUS});
  ASSERT_TRUE(info);
  SetItemText(info, IDC_GROUP_NAME, "Friends");
  SetItemText(info, IDC_GROUP_MESSAGE, "Back soon");
  Click(info, IDOK);
}

void confirmSettings(const QuorvaneApp& app) {
  app.click(IDC_CONFIG_BUTTON);
  HWND config = WaitForDialogWith(app, {IDC_CONFIG_MESSAGE, IDC_CONFIG_INTERVAL, IDC_CONFIG_SPEED});
  ASSERT_TRUE(config);
  Click(config, IDOK);
}

TEST(FailedSave, StatusLineSaysWhyAndThePopupStaysShort) {
  struct Case {
    const char* file;
    std::function<void(const QuorvaneApp&)> save;
  } cases[] = {{"Groups.lst", createGroup}, {"conf.qvr", confirmSettings}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    QuorvaneApp app(std::string("save_reason_") + c.file);
    const std::string old = confFile("Away");  // any content: only its survival counts
    ASSERT_TRUE(app.writeFile(c.file, old));
    // Root ignores the read-only attribute under Wine; a file held open without sharing
    // cannot be replaced by anybody.
    HANDLE held = CreateFileA(app.path(c.file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(app.start());

    c.save(app);
    const std::string prefix = std::string("Could not save ") + c.file + ": ";
    std::string status;
    EXPECT_TRUE(WaitUntil(
        [&] {
          status = app.text(IDC_STATUS);
          return status.rfind(prefix, 0) == 0;
        },
        5000))
        << status;
    const std::string reason = status.substr(std::min(prefix.size(), status.size()));
    std::printf("%s\n", status.c_str());
    EXPECT_GT(reason.size(), 3u) << status;
    EXPECT_EQ(reason.find_first_of("\r\n"), std::string::npos) << status;
    EXPECT_NE(reason.back(), ' ') << status;
    EXPECT_TRUE(app.waitForPopup(std::string("Could not save ") + c.file + "..."));

    CloseHandle(held);
    EXPECT_EQ(FileBytes(app, c.file), old);
    EXPECT_EQ(app.files("*.tmp"), std::vector<std::string>{});
    EXPECT_EQ(app.close(), 0u);
  }
}

}  // namespace
