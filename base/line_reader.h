// Reads the program's small text files one line at a time, whatever their line ends and
// whichever Quorvane wrote them, and never keeps more of a line than its caller asks for.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "base/file_text.h"

// What a CR that is not followed by LF is: a line end too, or a character of the line.
enum class LoneCr { EndsLine, IsText };

class LineReader {
 public:
  // Opens the file for reading; a missing file, one that cannot be read or a directory
  // of that name leaves the reader closed. The whole file is looked at once to tell how
  // its bytes become text (base/file_text.h).
  explicit LineReader(const std::string& fileName, LoneCr loneCr = LoneCr::EndsLine,
                      const FileTextReading& reading = SystemFileTextReading());
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool isOpen() const { return file_ != nullptr; }
  // True once every byte has been read (or the file could not be read further).
  bool atEnd();
  // The next line without its line end: LF, CR LF, or a lone CR where that ends lines.
  // At most maxChars whole characters are kept; the rest of a longer line is read past and
  // dropped, and longLine tells so. At the end of the file the line is empty.
  std::string readLine(std::size_t maxChars, bool* longLine = nullptr);

 private:
  bool isValidUtf8();

  std::FILE* file_ = nullptr;
  LoneCr loneCr_;
  FileText text_ = FileText::AsItIs;
  LegacyToUtf8 legacyToUtf8_ = nullptr;
};
