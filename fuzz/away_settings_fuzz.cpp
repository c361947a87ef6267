// away.qvr from arbitrary bytes: whatever loads is within range, saves as the four lines
// and loads back as the same settings.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/away_settings.h"
#include "fuzz_support.h"

namespace {

const char* const FILE_NAME = "away.qvr";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnterScratchFolder("away");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const UnitTimeLimit limit;
  WriteWholeFile(FILE_NAME, data, size);
  AwaySettingsStore store;
  store.load();
  const AwaySettings loaded = store.settings();
  QV_REQUIRE(loaded.idleMinutes >= 0 && loaded.idleMinutes <= AWAY_MINUTES_MOST);

  QV_REQUIRE(store.save());
  const std::string expected = "IdleMinutes=" + std::to_string(loaded.idleMinutes) +
                               "\r\nWhenLocked=" + (loaded.whenLocked ? "1" : "0") +
                               "\r\nTrayIcon=" + (loaded.trayIcon ? "1" : "0") +
                               "\r\nHideWhenMinimised=" + (loaded.hideWhenMinimised ? "1" : "0") +
                               "\r\n";
  QV_REQUIRE(ReadWholeFile(FILE_NAME) == expected);

  AwaySettingsStore again;
  again.load();
  QV_REQUIRE(again.settings() == loaded);
  QV_REQUIRE(WorkingFolderEntries() == std::vector<std::string>{FILE_NAME});
  return 0;
}
