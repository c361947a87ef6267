// Joins an edit box's lines into one line of text.
#include "base/edit_lines.h"

#include "base/utf8.h"

bool editIsEmpty(const std::vector<std::string>& lines) {
  return lines.size() == 1 && lines.front().empty();
}

std::string joinEditLines(const std::vector<std::string>& lines, std::size_t maxLineLength) {
  std::string joined;
  for (const std::string& line : lines) {
    for (char c : Utf8Prefix(line, maxLineLength)) {
      if (c != '\r' && c != '\n') joined += c;
    }
  }
  return joined;
}
