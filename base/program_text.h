// The program's own text and UTF-16. The program holds its text in the process code page:
// UTF-8 where the manifest's setting holds (Windows 10 1903 and later, and always on the
// host), the system's ANSI code page on older Windows, where the program works as before.
#pragma once

#include <string>
#include <string_view>

// True when the program's text is UTF-8.
bool ProgramTextIsUtf8();

// The program's text as UTF-16 and back; a character the code page lacks becomes what the
// system makes of it ('?' in an ANSI code page).
std::u16string Utf16FromProgramText(std::string_view text);
std::string ProgramTextFromUtf16(std::u16string_view text);
