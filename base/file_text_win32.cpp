// Old files are in the system's ANSI code page. With the UTF-8 process code page GetACP
// answers 65001, so the code page comes from the system locale.
#include <windows.h>

#include "base/file_text.h"

#include <climits>
#include <cwchar>

#include "base/program_text.h"
#include "base/utf8.h"

namespace {

UINT systemAnsiCodePage() {
  wchar_t number[8] = {};
  UINT codePage = 0;
  if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, number, 8) > 0) {
    codePage = static_cast<UINT>(std::wcstoul(number, nullptr, 10));
  }
  // A system set to UTF-8 throughout has no older code page: its Quorvane wrote
  // Windows-1252 on a Western system, the likeliest guess.
  if (codePage == 0 || codePage == CP_UTF8 || !IsValidCodePage(codePage)) codePage = 1252;
  return codePage;
}

std::string utf8FromSystemAnsi(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return {};
  static const UINT codePage = systemAnsiCodePage();
  const int length = static_cast<int>(bytes.size());
  const int units = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::u16string wide(static_cast<std::size_t>(units), u'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(&wide[0]),
                      units);
  return Utf8FromUtf16(wide);
}

}  // namespace

FileTextReading SystemFileTextReading() {
  return {ProgramTextIsUtf8(), utf8FromSystemAnsi};
}
