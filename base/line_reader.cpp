// Line reading shared by the groups file and the configuration file.
#include "base/line_reader.h"

#include <filesystem>

LineReader::LineReader(const std::string& fileName, LoneCr loneCr) : loneCr_(loneCr) {
  std::error_code error;
  // Some systems open a directory as if it were an empty file; it is no file of ours.
  if (std::filesystem::is_directory(fileName, error)) return;
  file_ = std::fopen(fileName.c_str(), "rb");
}

LineReader::~LineReader() {
  if (file_) std::fclose(file_);
}

bool LineReader::atEnd() {
  if (!file_) return true;
  const int c = std::getc(file_);
  if (c == EOF) return true;
  std::ungetc(c, file_);
  return false;
}

std::string LineReader::readLine(std::size_t maxChars, bool* longLine) {
  std::string line;
  bool cut = false;
  if (file_) {
    for (int c = std::getc(file_); c != EOF; c = std::getc(file_)) {
      if (c == '\n') break;
      if (c == '\r') {
        const int after = std::getc(file_);
        if (after == '\n') break;
        if (after != EOF) std::ungetc(after, file_);
        if (loneCr_ == LoneCr::EndsLine) break;
      }
      // NUL and any other byte are kept as they are: the line is the file's, not ours.
      if (line.size() < maxChars) {
        line += static_cast<char>(c);
      } else {
        cut = true;
      }
    }
  }
  if (longLine) *longLine = cut;
  return line;
}
