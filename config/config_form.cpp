// The configuration dialog's choices and their fallbacks.
#include "config/config_form.h"

#include <algorithm>

#include "base/letter_case.h"
#include "base/edit_lines.h"

// "beforing" is kept as users have always seen it.
const char* const CONFIG_REFUSED_WHILE_ACTIVE =
    "You need to deactivate Autoresponse beforing configuring it...";
const char* const CONFIG_NO_DEFAULT_MESSAGE =
    "A Default Autoresponse message was not configured...";
const char* const CONFIG_NOT_SAVED = "Could not save conf.qvr...";
const char* const CONFIG_AWAY_NOT_SAVED = "Could not save away.qvr...";

const std::vector<std::string>& replyIntervalTexts() {
  static const std::vector<std::string> texts{
      "Reply on Every Incoming Msg", "Reply on Every Alternate Msg",
      "Reply on Every 2nd Msg Received", "Reply on Every 3rd Msg Received",
      "Do Not Send Any Reply, Just Log..."};
  return texts;
}

const std::vector<std::string>& uiSpeedTexts() {
  static const std::vector<std::string> texts{"Slow", "Normal", "Fast"};
  return texts;
}

namespace {

std::optional<int> itemAt(const std::vector<std::string>& items, int32_t value) {
  if (value < 0 || static_cast<std::size_t>(value) >= items.size()) return std::nullopt;
  return value;
}

std::string trimmed(const std::string& text) {
  const char* blanks = " \t";
  std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

ConfigForm formFromSettings(const Settings& settings) {
  ConfigForm form;
  form.messageLines = {settings.defaultMessage};
  form.lite = settings.liteMode != 0;
  form.interval = itemAt(replyIntervalTexts(), settings.replyMode);
  form.speed = itemAt(uiSpeedTexts(), settings.uiSpeed);
  return form;
}

std::optional<int> listPosition(const std::vector<std::string>& items, const std::string& shown) {
  std::string wanted = trimmed(shown);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (EqualNoCase(items[i], wanted)) return static_cast<int>(i);
  }
  return std::nullopt;
}

void storeForm(const ConfigForm& form, Settings& settings) {
  settings.defaultMessage = joinEditLines(form.messageLines, CONFIG_LINE_LIMIT);
  settings.uiSpeed = form.speed.value_or(1);
  settings.liteMode = form.lite ? 1 : 0;
  settings.replyMode = form.interval.value_or(0);
}

bool formLacksMessage(const ConfigForm& form) {
  return editIsEmpty(form.messageLines);
}

AwayForm awayFormFromSettings(const AwaySettings& settings) {
  AwayForm form;
  form.afterIdle = settings.idleMinutes > 0;
  if (form.afterIdle) form.minutes = std::to_string(settings.idleMinutes);
  form.whenLocked = settings.whenLocked;
  form.trayIcon = settings.trayIcon;
  form.hideWhenMinimised = settings.hideWhenMinimised;
  return form;
}

AwaySettings awaySettingsFromForm(const AwayForm& form) {
  AwaySettings settings;
  settings.whenLocked = form.whenLocked;
  settings.trayIcon = form.trayIcon;
  settings.hideWhenMinimised = form.hideWhenMinimised;
  if (!form.afterIdle) return settings;
  const std::string digits = trimmed(form.minutes);
  const bool number = !digits.empty() && digits.size() <= 9 &&
                      digits.find_first_not_of("0123456789") == std::string::npos;
  const int32_t minutes = number ? std::stoi(digits) : AWAY_MINUTES_OFFERED;
  settings.idleMinutes =
      minutes < AWAY_MINUTES_LEAST ? AWAY_MINUTES_LEAST : std::min(minutes, AWAY_MINUTES_MOST);
  return settings;
}
