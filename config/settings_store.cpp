// The settings record and its file "conf.qvr": ten lines, read back by position.
#include "config/settings_store.h"

#include <climits>
#include <vector>

#include "base/line_reader.h"

namespace {

constexpr std::size_t MAX_LINE_CHARS = 1023;

// A number the way "%d" reads one: blanks skipped, an optional sign, decimal digits,
// anything after them ignored. A number too large for 32 bits is held at the nearest
// limit instead of wrapping round to some other value.
bool parseNumber(const std::string& text, int32_t& value) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
  long long magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (magnitude <= static_cast<long long>(INT_MAX) + 1) {
      magnitude = magnitude * 10 + (text[i] - '0');
    }
  }
  const long long signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT32_MAX) {
    value = INT32_MAX;
  } else if (signedValue < INT32_MIN) {
    value = INT32_MIN;
  } else {
    value = static_cast<int32_t>(signedValue);
  }
  return true;
}

int32_t numberOr(const std::string& text, int32_t fallback) {
  int32_t value = 0;
  return parseNumber(text, value) ? value : fallback;
}

}  // namespace

SettingsStore::SettingsStore(const std::string& fileName) : writer_(fileName) {}

bool SettingsStore::load() {
  LineReader in(writer_.fileName());
  if (!in.isOpen()) return false;

  // A file edited by hand may end its lines with LF or a lone CR instead of CR LF; the
  // reader takes all three. After a line too long for the read buffer nothing more of the
  // file is read: that line gives its first characters and every later line is empty.
  bool stopped = false;
  auto next = [&]() -> std::string {
    if (stopped) return std::string();
    bool longLine = false;
    std::string line = in.readLine(MAX_LINE_CHARS, &longLine);
    if (longLine) stopped = true;
    return line;
  };

  next();  // header
  next();  // "DEFAULT_MSG"
  settings_.defaultMessage = next();
  next();  // "REPLY_INTERVAL"
  settings_.replyMode = numberOr(next(), 0);
  next();  // "UISpeed"
  settings_.uiSpeed = numberOr(next(), 1);
  next();  // "EXTENDED_GRAPHICS"
  settings_.liteMode = static_cast<uint8_t>(numberOr(next(), 0) & 0xFF);
  return true;
}

bool SettingsStore::save(std::string* failure) {
  const std::vector<std::string> lines = {
      std::string(" Quorvane ") + "-" + " 3.0 " + "-" + " Kelvaro ",
      "DEFAULT_MSG",
      settings_.defaultMessage,
      "REPLY_INTERVAL",
      std::to_string(settings_.replyMode),
      "UISpeed",
      std::to_string(settings_.uiSpeed),
      "EXTENDED_GRAPHICS",
      std::to_string(static_cast<int>(settings_.liteMode)),
      "End",
  };
  return writer_.writeLines(lines, failure);
}
