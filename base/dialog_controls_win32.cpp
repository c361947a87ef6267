// Reading edit and list controls, labels as wide as their texts, and the colours of static
// text over pictures.
#include "base/dialog_controls_win32.h"

#include <algorithm>

#include "base/display_scale.h"
#include "base/display_scale_win32.h"
#include "base/program_text.h"

HINSTANCE ResourceModule() {
  return GetModuleHandleA(nullptr);
}

std::vector<std::string> EditLines(HWND edit) {
  std::vector<std::string> lines;
  // Read in UTF-16, where lengths count the units the buffer takes: the ANSI messages
  // count characters that can need more bytes, and would cut the line inside one.
  int count = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    int start = static_cast<int>(SendMessageW(edit, EM_LINEINDEX, i, 0));
    int length = start < 0 ? 0 : static_cast<int>(SendMessageW(edit, EM_LINELENGTH, start, 0));
    // EM_GETLINE takes the buffer's size in its first unit and adds no terminator.
    std::u16string buffer(static_cast<std::size_t>(length) + 2, u'\0');
    buffer[0] = static_cast<char16_t>(length + 1 < 0xFFFF ? length + 1 : 0xFFFF);
    int copied =
        static_cast<int>(SendMessageW(edit, EM_GETLINE, i, reinterpret_cast<LPARAM>(&buffer[0])));
    buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    lines.push_back(ProgramTextFromUtf16(buffer));
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
  LRESULT length = SendMessageW(list, LB_GETTEXTLEN, row, 0);
  if (length == LB_ERR) return "";
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  LRESULT copied = SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
  return ProgramTextFromUtf16(text);
}

namespace {

// How a control draws its text: as a label at all (a text static, push button, check box or
// radio button), with which DrawText flags, and how much of its width the text cannot use.
struct LabelLook {
  bool label = false;
  UINT format = DT_SINGLELINE;
  int margin = 0;
};

LabelLook lookOf(HWND control, int dpi) {
  char kind[16] = "";
  GetClassNameA(control, kind, sizeof kind);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  if (lstrcmpiA(kind, "Static") == 0) {
    const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    switch (style & SS_TYPEMASK) {
      case SS_LEFT:
      case SS_CENTER:
      case SS_RIGHT:
        // Wrapped at its width, unless centred in its height as one line.
        return {true, ((style & SS_CENTERIMAGE) ? DT_SINGLELINE : DT_WORDBREAK) | prefix,
                ScaleToDpi(1, dpi)};
      case SS_SIMPLE:
      case SS_LEFTNOWORDWRAP:
        return {true, DT_SINGLELINE | prefix, ScaleToDpi(1, dpi)};
    }
    return {};  // pictures, frames, owner-drawn
  }
  if (lstrcmpiA(kind, "Button") != 0) return {};
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      // The raised edges, the default button's frame and the focus frame on both sides.
      return {true, DT_SINGLELINE, ScaleToDpi(10, dpi)};
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
      // The box, the gap beside it and the focus frame around the text.
      const int box = std::max(SystemMetricForDpi(SM_CXMENUCHECK, dpi), ScaleToDpi(13, dpi));
      return {true, DT_SINGLELINE, box + ScaleToDpi(6, dpi)};
    }
  }
  // A group box keeps its width, the frame around other controls.
  return {};
}

// The text's width on one line, and whether it fits the box as the control draws it.
struct TextFit {
  int lineWidth = 0;
  bool fits = true;
};

TextFit measure(HWND control, const std::string& text, const LabelLook& look) {
  RECT box{};
  GetClientRect(control, &box);
  HDC dc = GetDC(control);
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  RECT line{};
  DrawTextA(dc, text.c_str(), -1, &line, DT_CALCRECT | DT_SINGLELINE | (look.format & DT_NOPREFIX));
  RECT drawn{0, 0, box.right - look.margin, 0};
  DrawTextA(dc, text.c_str(), -1, &drawn, DT_CALCRECT | look.format);
  if (oldFont) SelectObject(dc, oldFont);
  ReleaseDC(control, dc);
  const bool fits = drawn.right <= box.right - look.margin &&
                    ((look.format & DT_SINGLELINE) || drawn.bottom <= box.bottom);
  return {static_cast<int>(line.right), fits};
}

}  // namespace

void FitLabel(HWND control) {
  const LabelLook look = lookOf(control, WindowDpi(control));
  const int length = GetWindowTextLengthA(control);
  if (!look.label || length <= 0) return;
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(control, &text[0], length + 1)));
  const TextFit fit = measure(control, text, look);
  if (fit.fits) return;
  // As wide as the text on one line, its margins and any border, within the window.
  HWND parent = GetParent(control);
  RECT frame{}, client{}, room{};
  GetWindowRect(control, &frame);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&frame), 2);
  GetClientRect(control, &client);
  GetClientRect(parent, &room);
  const int border = static_cast<int>(frame.right - frame.left - client.right);
  const int width =
      std::min(fit.lineWidth + look.margin + border, static_cast<int>(room.right - frame.left));
  if (width > frame.right - frame.left) {
    SetWindowPos(control, nullptr, 0, 0, width, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void FitLabels(HWND window) {
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    FitLabel(child);
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
