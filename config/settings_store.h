// The settings that survive a restart and their file "conf.qvr", read back by position.
#pragma once

#include <cstdint>
#include <string>

#include "base/line_file_writer.h"

struct Settings {
  std::string defaultMessage;
  int32_t uiSpeed = 1;    // 0 Slow, 1 Normal, 2 Fast
  uint8_t liteMode = 0;   // not zero: no fades, slides or background pictures
  int32_t replyMode = 0;  // reply interval N, 0 to 4
};

class SettingsStore {
 public:
  explicit SettingsStore(const std::string& fileName = "conf.qvr");

  // False when the file cannot be opened (the record is left unchanged).
  bool load();
  // Rewrites the file from the record, all or nothing; reports nothing to the user. A
  // failed save hands its reason to `failure` if given.
  bool save(std::string* failure = nullptr);

  Settings& settings() { return settings_; }
  const Settings& settings() const { return settings_; }

 private:
  Settings settings_;
  LineFileWriter writer_;
};
