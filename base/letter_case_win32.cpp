// Letter case on Windows: the system's own upper-casing. A UTF-8 text is upper-cased as
// UTF-16, since CharUpperBuffA knows no UTF-8; in an ANSI code page the system's tables for
// that code page do it, as they always did.
#include <windows.h>

#include "base/letter_case.h"

#include <climits>

#include "base/program_text.h"
#include "base/utf8.h"

namespace {

// CharUpperBuff takes a DWORD count; a text too long for one call goes in pieces.
template <typename Char, typename Upper>
void upperInPieces(Char* text, std::size_t size, Upper upper) {
  std::size_t done = 0;
  while (done < size) {
    std::size_t piece = size - done;
    if (piece > static_cast<std::size_t>(INT_MAX)) piece = INT_MAX;
    upper(text + done, static_cast<DWORD>(piece));
    done += piece;
  }
}

}  // namespace

std::string UpperCase(std::string text) {
  if (text.empty()) return text;
  if (!ProgramTextIsUtf8()) {
    upperInPieces(&text[0], text.size(), CharUpperBuffA);
    return text;
  }
  if (!IsValidUtf8(text)) return UpperCaseAscii(std::move(text));
  std::u16string wide = Utf16FromUtf8(text);
  upperInPieces(reinterpret_cast<wchar_t*>(&wide[0]), wide.size(), CharUpperBuffW);
  return Utf8FromUtf16(wide);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (!ProgramTextIsUtf8() && a.size() != b.size()) return false;
  return UpperCase(a) == UpperCase(b);
}
