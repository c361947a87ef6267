// Notification popups: short-lived notes in the bottom-right corner of the work area.
#pragma once

#include <string>

#include "base/shared_state.h"

// Creates one popup of the kind's colours with the text, owned by the main window, and
// returns once it is fully shown; it closes itself 3000 ms later or when clicked.
void ShowNote(NoteKind kind, const std::string& text);
