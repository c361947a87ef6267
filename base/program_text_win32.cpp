// The process code page does the conversion, so the same calls serve a UTF-8 process and
// an older Windows in its ANSI code page.
#include <windows.h>

#include "base/program_text.h"

#include <climits>

bool ProgramTextIsUtf8() {
  return GetACP() == CP_UTF8;
}

std::u16string Utf16FromProgramText(std::string_view text) {
  if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return {};
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], units);
  return std::u16string(wide.begin(), wide.end());
}

std::string ProgramTextFromUtf16(std::u16string_view text) {
  if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return {};
  const std::wstring wide(text.begin(), text.end());
  const int length = static_cast<int>(wide.size());
  const int bytes =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &out[0], bytes, nullptr, nullptr);
  return out;
}
