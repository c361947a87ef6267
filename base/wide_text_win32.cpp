// wchar_t is UTF-16 on Windows: the portable conversions do the work.
#include "base/wide_text_win32.h"

#include "base/utf8.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t holds UTF-16 on Windows");

std::wstring WideFromUtf8(std::string_view text) {
  const std::u16string wide = Utf16FromUtf8(text);
  return std::wstring(wide.begin(), wide.end());
}

std::string Utf8FromWide(std::wstring_view text) {
  return Utf8FromUtf16(std::u16string(text.begin(), text.end()));
}

std::string WindowTextUtf8(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], length + 1)));
  return Utf8FromWide(text);
}

bool SetWindowTextUtf8(HWND window, std::string_view text) {
  return SetWindowTextW(window, WideFromUtf8(text).c_str()) != FALSE;
}
