// Reading edit and list controls, and the colours of static text over pictures.
#include "base/dialog_controls_win32.h"

HINSTANCE ResourceModule() {
  return GetModuleHandleA(nullptr);
}

std::vector<std::string> EditLines(HWND edit) {
  std::vector<std::string> lines;
  int count = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    int start = static_cast<int>(SendMessageA(edit, EM_LINEINDEX, i, 0));
    int length = start < 0 ? 0 : static_cast<int>(SendMessageA(edit, EM_LINELENGTH, start, 0));
    // EM_GETLINE takes the buffer's size in its first word and adds no terminator.
    std::string buffer(static_cast<std::size_t>(length) + 2, '\0');
    WORD size = static_cast<WORD>(length + 1 < 0xFFFF ? length + 1 : 0xFFFF);
    CopyMemory(&buffer[0], &size, sizeof size);
    int copied =
        static_cast<int>(SendMessageA(edit, EM_GETLINE, i, reinterpret_cast<LPARAM>(&buffer[0])));
    buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    lines.push_back(buffer);
  }
  if (lines.empty()) lines.push_back("");
  return lines;
}

std::string EditFirstLine(HWND edit) {
  return EditLines(edit).front();
}

std::optional<std::size_t> ListSelection(HWND list) {
  LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR) return std::nullopt;
  return static_cast<std::size_t>(row);
}

namespace {

void fill(HWND list, UINT reset, UINT add, const std::vector<std::string>& rows) {
  SendMessageA(list, reset, 0, 0);
  for (const std::string& row : rows) {
    SendMessageA(list, add, 0, reinterpret_cast<LPARAM>(row.c_str()));
  }
}

}  // namespace

void FillListBox(HWND list, const std::vector<std::string>& rows) {
  fill(list, LB_RESETCONTENT, LB_ADDSTRING, rows);
}

void FillComboBox(HWND comboBox, const std::vector<std::string>& rows) {
  fill(comboBox, CB_RESETCONTENT, CB_ADDSTRING, rows);
}

std::string ListItemText(HWND list, std::size_t row) {
  LRESULT length = SendMessageA(list, LB_GETTEXTLEN, row, 0);
  if (length == LB_ERR) return "";
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  LRESULT copied = SendMessageA(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
  return text;
}

void AlignBrushOrigin(HDC dc, HWND control, HWND dialog, int shiftX) {
  POINT origin{0, 0};
  if (control) MapWindowPoints(control, dialog, &origin, 1);
  SetBrushOrgEx(dc, shiftX - origin.x, -origin.y, nullptr);
}

INT_PTR StaticColors(HDC dc, HWND control, HWND dialog, HBRUSH brush, COLORREF color) {
  if (!brush) return FALSE;
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  AlignBrushOrigin(dc, control, dialog);
  return reinterpret_cast<INT_PTR>(brush);
}

INT_PTR DialogBackground(HBRUSH brush) {
  return reinterpret_cast<INT_PTR>(brush);
}
