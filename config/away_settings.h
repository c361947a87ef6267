// The two settings that make Quorvane activate by itself, and the two of its icon in the
// notification area, in their own file "away.qvr", kept apart from "conf.qvr" so that an
// older Quorvane still reads that one.
#pragma once

#include <cstdint>
#include <string>

#include "base/line_file_writer.h"

// The idle minutes the user may set; 0 means "not after idle time".
constexpr int32_t AWAY_MINUTES_LEAST = 1;
constexpr int32_t AWAY_MINUTES_MOST = 999;
// What the minutes box offers while its check box is not ticked.
constexpr int32_t AWAY_MINUTES_OFFERED = 10;

struct AwaySettings {
  int32_t idleMinutes = 0;         // activate after this many minutes without input; 0: never
  bool whenLocked = false;         // activate when the session is locked
  bool trayIcon = true;            // an icon in the notification area shows the state
  bool hideWhenMinimised = false;  // a minimised main window leaves the taskbar for the icon
  bool operator==(const AwaySettings& other) const {
    return idleMinutes == other.idleMinutes && whenLocked == other.whenLocked &&
           trayIcon == other.trayIcon && hideWhenMinimised == other.hideWhenMinimised;
  }
  bool operator!=(const AwaySettings& other) const { return !(*this == other); }
  // Whether either setting asks for the watch.
  bool watched() const { return idleMinutes > 0 || whenLocked; }
};

// "away.qvr": CR LF lines "IdleMinutes=N", "WhenLocked=0|1", "TrayIcon=0|1" and
// "HideWhenMinimised=0|1" in any order. Unknown lines and values out of range are passed
// over, and a setting the file does not hold keeps its default (the icon on, the rest off).
class AwaySettingsStore {
 public:
  explicit AwaySettingsStore(const std::string& fileName = "away.qvr");

  // Replaces the record by what the file holds (the defaults without a file).
  void load();
  // Rewrites the file from the record, all or nothing; a failure hands its reason to
  // `failure` if given.
  bool save(std::string* failure = nullptr);

  const std::string& fileName() const { return writer_.fileName(); }
  AwaySettings& settings() { return settings_; }
  const AwaySettings& settings() const { return settings_; }

 private:
  AwaySettings settings_;
  LineFileWriter writer_;
};
