// Letter case of the program's text, for IDs and group names. ASCII letters fold as they
// always did; other letters by the system's own upper-casing on Windows and by a small
// rule on the host (Latin-1, Latin Extended-A, Greek and Cyrillic). Bytes that are not
// valid UTF-8 in a UTF-8 text are compared as they are.
#pragma once

#include <string>

// The text with every letter in upper case.
std::string UpperCase(std::string text);

// True when the two texts are equal as whole texts without regard to letter case.
bool EqualNoCase(const std::string& a, const std::string& b);

// The ASCII letters a to z in upper case, every other byte as it is.
std::string UpperCaseAscii(std::string text);
