// Small helpers every dialog shares for reading its controls, for labels that show their
// whole texts and for painting its text over its background picture.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The module whose resources hold the dialog templates and pictures: the program itself.
HINSTANCE ResourceModule();

// The lines of an edit box as it shows them (wrapped lines count as lines), whole.
std::vector<std::string> EditLines(HWND edit);

// The first line of a single-line edit box.
std::string EditFirstLine(HWND edit);

// The selected row of a single-selection list box, none when no row is selected.
std::optional<std::size_t> ListSelection(HWND list);

// Fills a list box, or a combo box's list, with these rows in order, after emptying it.
void FillListBox(HWND list, const std::vector<std::string>& rows);
void FillComboBox(HWND comboBox, const std::vector<std::string>& rows);

// The text of one list box row (empty when the row does not exist).
std::string ListItemText(HWND list, std::size_t row);

// Widens a label that cannot show its whole text: a text static, push button, check box or
// radio button whose text, in the control's own font, takes more than its width on one
// line (a static tall enough for several lines: more than its height, wrapped) is made as
// wide as that line and the control's margins (a button's edges, a check box's box and
// gap), as far as its window's client area allows. Its position stays. Group boxes keep
// their width, the frame around other controls. Every dialog calls FitLabels at
// WM_INITDIALOG and on UM_FIT_LABELS (after a change of display scale); a label whose text
// changes later calls FitLabel.
void FitLabel(HWND control);
void FitLabels(HWND window);

// Lines the tiles of a brush that paints `control` (null: the dialog itself) up with the
// tiles of its dialog's background, shifted right by `shiftX`, so the picture runs on
// unbroken behind the control.
void AlignBrushOrigin(HDC dc, HWND control, HWND dialog, int shiftX = 0);

// Answers WM_CTLCOLORSTATIC: text in `color` drawn transparently over `brush`, the brush
// aligned with the dialog's own background so the picture runs on behind the control.
// Without a brush (lite look since start) the system's colours are left in place.
INT_PTR StaticColors(HDC dc, HWND control, HWND dialog, HBRUSH brush, COLORREF color);

// Answers WM_CTLCOLORDLG with the brush, or leaves the system's background without one.
INT_PTR DialogBackground(HBRUSH brush);
