// Letter case on Windows: the system's own tables for its ANSI code page, which also
// know the lead bytes of double-byte code pages.
#include <windows.h>

#include "base/ansi_text.h"

#include <climits>

std::string UpperCaseAnsi(std::string text) {
  // CharUpperBuffA takes a DWORD count; walk a text too long for one call in pieces
  // that never split inside the text's own count.
  std::size_t done = 0;
  while (done < text.size()) {
    std::size_t piece = text.size() - done;
    if (piece > static_cast<std::size_t>(INT_MAX)) piece = INT_MAX;
    CharUpperBuffA(&text[done], static_cast<DWORD>(piece));
    done += piece;
  }
  return text;
}

bool AnsiEqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  return UpperCaseAnsi(a) == UpperCaseAnsi(b);
}
