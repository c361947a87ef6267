// How the bytes of the program's own files become its text. Files are written in the
// program's text. Where that is UTF-8, a file that is not valid UTF-8 was written by an
// earlier Quorvane in the system's ANSI code page and is read in that code page, and a
// leading byte-order mark is dropped; elsewhere a file's bytes are the text as they are.
#pragma once

#include <string>
#include <string_view>

// Text in the system's ANSI code page turned into UTF-8.
using LegacyToUtf8 = std::string (*)(std::string_view bytes);

struct FileTextReading {
  bool programTextIsUtf8;
  LegacyToUtf8 legacyToUtf8;
};

// How this system's files are read.
FileTextReading SystemFileTextReading();

// How one file is read, once its bytes were checked.
enum class FileText { AsItIs, Utf8, Legacy };
FileText ChooseFileText(const FileTextReading& reading, bool validUtf8);

// Windows-1252 as UTF-8, with the bytes the code page leaves undefined kept as the
// control characters of the same number, as Windows converts them.
std::string Utf8FromWindows1252(std::string_view bytes);

// A UTF-8 byte-order mark.
constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";
