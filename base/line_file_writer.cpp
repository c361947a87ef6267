// Saves a small CR LF text file so that a crash or a full disk in the middle of a save
// leaves the previous file whole instead of a cut-off one.
#include "base/line_file_writer.h"

#include "base/file_replace.h"

namespace {

constexpr std::size_t MAX_FILE_NAME_CHARS = 99;

}  // namespace

LineFileWriter::LineFileWriter(const std::string& fileName, LoneCr loneCr)
    : fileName_(fileName.substr(0, MAX_FILE_NAME_CHARS)), loneCr_(loneCr) {}

bool LineFileWriter::writeLines(const std::vector<std::string>& lines, std::string* failure) {
  if (fileName_.empty()) {
    if (failure) *failure = "No file name";
    return false;
  }
  std::string content;
  for (const std::string& line : lines) {
    // The files are read back by line position: a line break inside a text would move
    // every later line, so it is left out, as the dialogs do when they join lines.
    for (char c : line) {
      if (c == '\n' || (c == '\r' && loneCr_ == LoneCr::EndsLine)) continue;
      content += c;
    }
    content += "\r\n";
  }
  return ReplaceFileContent(fileName_, content, failure);
}
