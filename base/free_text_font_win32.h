// The font of the controls where the user reads or writes free text (replies, messages,
// names, the status line): a face whose missing characters the system takes from other
// fonts, so that every script and emoji shows, where the dialogs' small bitmap font would
// show boxes. Labels keep the dialog's own font.
#pragma once

#include <windows.h>

#include <initializer_list>

// Gives these controls of the dialog the free-text font for the dialog's scale. Called at
// WM_INITDIALOG.
void UseFreeTextFont(HWND dialog, std::initializer_list<int> controlIds);

// After a change of display scale (UM_FIT_LABELS): every control of the dialog that holds
// a free-text font takes the one made for the new scale.
void RescaleFreeTextFonts(HWND dialog);
