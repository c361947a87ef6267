// conf.qvr from arbitrary bytes: whatever loads saves as the ten lines of the fixed layout
// and loads back as the same settings.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "config/settings_store.h"
#include "fuzz_support.h"

namespace {

const char* const FILE_NAME = "conf.qvr";

bool sameSettings(const Settings& a, const Settings& b) {
  return a.defaultMessage == b.defaultMessage && a.uiSpeed == b.uiSpeed &&
         a.liteMode == b.liteMode && a.replyMode == b.replyMode;
}

// The file's lines, each of which must end with CR LF; an unended tail fails the check.
bool splitCrLfLines(const std::string& bytes, std::vector<std::string>& lines) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) return false;
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnterScratchFolder("settings");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const UnitTimeLimit limit;
  WriteWholeFile(FILE_NAME, data, size);
  SettingsStore store;
  QV_REQUIRE(store.load());
  const Settings loaded = store.settings();
  QV_REQUIRE(Utf8CharCount(loaded.defaultMessage) <= 1023 && IsValidUtf8(loaded.defaultMessage));

  QV_REQUIRE(store.save());
  std::vector<std::string> lines;
  QV_REQUIRE(splitCrLfLines(ReadWholeFile(FILE_NAME), lines));
  const std::vector<std::string> expected = {
      " Quorvane - 3.0 - Kelvaro ",
      "DEFAULT_MSG",
      loaded.defaultMessage,
      "REPLY_INTERVAL",
      std::to_string(loaded.replyMode),
      "UISpeed",
      std::to_string(loaded.uiSpeed),
      "EXTENDED_GRAPHICS",
      std::to_string(static_cast<int>(loaded.liteMode)),
      "End",
  };
  QV_REQUIRE(lines == expected);

  SettingsStore again;
  QV_REQUIRE(again.load());
  QV_REQUIRE(sameSettings(again.settings(), loaded));
  QV_REQUIRE(WorkingFolderEntries() == std::vector<std::string>{FILE_NAME});
  return 0;
}
