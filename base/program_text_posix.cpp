// The host build's text is always UTF-8.
#include "base/program_text.h"

#include "base/utf8.h"

bool ProgramTextIsUtf8() {
  return true;
}

std::u16string Utf16FromProgramText(std::string_view text) {
  return Utf16FromUtf8(text);
}

std::string ProgramTextFromUtf16(std::u16string_view text) {
  return Utf8FromUtf16(text);
}
