// Joins the lines of the default reply typed in the main window.
#include "base/reply_text.h"

std::string JoinReplyLines(const std::string& editText) {
  std::string joined;
  std::size_t lineLength = 0;
  for (char c : editText) {
    if (c == '\r' || c == '\n') {
      lineLength = 0;
      continue;
    }
    if (lineLength < MAX_REPLY_LINE) joined += c;
    ++lineLength;
  }
  return joined;
}
