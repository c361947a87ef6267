// What the configuration dialog shows for the stored settings, and what it stores back
// from the user's choices, with the fallbacks for lists left without a selection.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/away_settings.h"
#include "config/settings_store.h"

// The texts of the two drop-down lists in item order: an item's position is the value
// that the settings store.
const std::vector<std::string>& replyIntervalTexts();
const std::vector<std::string>& uiSpeedTexts();

// The longest part of one edit line that the default message takes.
constexpr std::size_t CONFIG_LINE_LIMIT = 1023;

// The controls' contents: the message as the lines of its edit box, the lite box, and the
// item each list stands on (none when the list shows no item).
struct ConfigForm {
  std::vector<std::string> messageLines{""};
  bool lite = false;
  std::optional<int> interval;
  std::optional<int> speed;
};

// The form for a record read from the file; a value that names no item leaves its list
// without a selection.
ConfigForm formFromSettings(const Settings& settings);

// The item whose text the list's edit part shows, letter case and surrounding blanks
// ignored; none when the text names no item. The user may pick an item or type its name.
std::optional<int> listPosition(const std::vector<std::string>& items, const std::string& shown);

// Stores the form into the record: the message lines joined, speed 1 and interval 0 when
// their lists have no selection, the lite flag as 1 or 0.
void storeForm(const ConfigForm& form, Settings& settings);

// The confirmation warns (without refusing) when the message box is empty.
bool formLacksMessage(const ConfigForm& form);

// The rows kept in away.qvr: the idle check box with its minutes box, the lock check box,
// and the two of the notification-area icon.
struct AwayForm {
  bool afterIdle = false;
  std::string minutes = std::to_string(AWAY_MINUTES_OFFERED);
  bool whenLocked = false;
  bool trayIcon = true;
  bool hideWhenMinimised = false;
};

// The form for the stored settings: minutes are offered as 10 while their box is not ticked.
AwayForm awayFormFromSettings(const AwaySettings& settings);

// The settings the form stands for. Ticked minutes outside 1 to 999 are taken as the nearest
// of them, and a minutes box without a number as 10.
AwaySettings awaySettingsFromForm(const AwayForm& form);

// Texts the user sees.
extern const char* const CONFIG_REFUSED_WHILE_ACTIVE;
extern const char* const CONFIG_NO_DEFAULT_MESSAGE;
extern const char* const CONFIG_NOT_SAVED;
extern const char* const CONFIG_AWAY_NOT_SAVED;
