// Letter case in the system's 8-bit ANSI code page: the system's own tables on Windows,
// the same mapping as Windows-1252 elsewhere.
#pragma once

#include <string>

// The text with every letter in upper case.
std::string UpperCaseAnsi(std::string text);

// True when the two texts are equal as whole texts without regard to letter case.
bool AnsiEqualNoCase(const std::string& a, const std::string& b);
