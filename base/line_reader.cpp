// Line reading shared by the groups file and the configuration files.
#include "base/line_reader.h"

#include <filesystem>
#include <limits>

#include "base/utf8.h"

namespace {

bool startsCharacter(int byte) {
  return (byte & 0xC0) != 0x80;
}

}  // namespace

LineReader::LineReader(const std::string& fileName, LoneCr loneCr, const FileTextReading& reading)
    : loneCr_(loneCr), legacyToUtf8_(reading.legacyToUtf8) {
  std::error_code error;
  // Some systems open a directory as if it were an empty file; it is no file of ours.
  if (std::filesystem::is_directory(fileName, error)) return;
  file_ = std::fopen(fileName.c_str(), "rb");
  if (!file_ || !reading.programTextIsUtf8) return;
  text_ = ChooseFileText(reading, isValidUtf8());
  std::rewind(file_);
  char head[3] = {};
  if (std::fread(head, 1, 3, file_) != 3 || std::string_view(head, 3) != UTF8_BOM) {
    std::rewind(file_);
  }
}

LineReader::~LineReader() {
  if (file_) std::fclose(file_);
}

bool LineReader::isValidUtf8() {
  // In pieces, a character that a piece cuts carried over to the next.
  char piece[4096 + 3];
  std::size_t carried = 0;
  for (;;) {
    const std::size_t read = std::fread(piece + carried, 1, sizeof piece - carried, file_);
    const std::size_t size = carried + read;
    if (read == 0) return IsValidUtf8(std::string_view(piece, size));
    std::size_t whole = size;
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
      if (startsCharacter(static_cast<unsigned char>(piece[size - back]))) {
        whole = size - back;
        break;
      }
    }
    if (!IsValidUtf8(std::string_view(piece, whole))) return false;
    carried = size - whole;
    for (std::size_t i = 0; i < carried; ++i) piece[i] = piece[whole + i];
  }
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
  // A character of the old code page takes one or two bytes: twice the characters in
  // bytes always hold the first maxChars of them whole.
  const std::size_t most = std::numeric_limits<std::size_t>::max();
  const std::size_t legacyBytes = maxChars > most / 2 ? most : 2 * maxChars;
  std::size_t chars = 0;
  bool keptLead = false;
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
      bool keep;
      if (text_ == FileText::Utf8) {
        // A character's following bytes go where its first byte went.
        if (startsCharacter(c)) {
          keptLead = chars < maxChars;
          if (keptLead) ++chars;
        }
        keep = keptLead;
      } else {
        keep = line.size() < (text_ == FileText::Legacy ? legacyBytes : maxChars);
      }
      if (keep) {
        line += static_cast<char>(c);
      } else {
        cut = true;
      }
    }
  }
  if (text_ == FileText::Legacy && !line.empty()) {
    const std::string converted = legacyToUtf8_(line);
    const std::string_view kept = Utf8Prefix(converted, maxChars);
    if (kept.size() < converted.size()) cut = true;
    line.assign(kept);
  }
  if (longLine) *longLine = cut;
  return line;
}
