// "away.qvr": each line one setting by name, so that lines can come in any order and a
// later version can add lines an older one passes over.
#include "config/away_settings.h"

#include <vector>

#include "base/line_reader.h"

namespace {

// Longer lines hold no setting of ours; their rest is read past.
constexpr std::size_t MAX_LINE_CHARS = 64;

// A value of one to three decimal digits and nothing else.
bool parseSmallNumber(const std::string& text, int32_t& value) {
  if (text.empty() || text.size() > 3) return false;
  int32_t parsed = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    parsed = parsed * 10 + (c - '0');
  }
  value = parsed;
  return true;
}

std::string flagLine(const char* name, bool on) {
  return std::string(name) + (on ? "=1" : "=0");
}

}  // namespace

AwaySettingsStore::AwaySettingsStore(const std::string& fileName) : writer_(fileName) {}

void AwaySettingsStore::load() {
  settings_ = AwaySettings{};
  LineReader in(writer_.fileName());
  while (in.isOpen() && !in.atEnd()) {
    bool longLine = false;
    const std::string line = in.readLine(MAX_LINE_CHARS, &longLine);
    const std::size_t equals = line.find('=');
    if (longLine || equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals);
    int32_t value = 0;
    if (!parseSmallNumber(line.substr(equals + 1), value)) continue;
    if (name == "IdleMinutes") settings_.idleMinutes = value;
    if (value > 1) continue;
    if (name == "WhenLocked") settings_.whenLocked = value == 1;
    if (name == "TrayIcon") settings_.trayIcon = value == 1;
    if (name == "HideWhenMinimised") settings_.hideWhenMinimised = value == 1;
  }
}

bool AwaySettingsStore::save(std::string* failure) {
  const std::vector<std::string> lines = {
      "IdleMinutes=" + std::to_string(settings_.idleMinutes),
      flagLine("WhenLocked", settings_.whenLocked),
      flagLine("TrayIcon", settings_.trayIcon),
      flagLine("HideWhenMinimised", settings_.hideWhenMinimised),
  };
  return writer_.writeLines(lines, failure);
}
