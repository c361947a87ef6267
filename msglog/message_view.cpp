// Builds the message log window's view text.
#include "msglog/message_view.h"

namespace {
const char* const RECORD_RULE = " [----------------------------------------------------------]";
}

std::string MessageViewText(const std::vector<IncomingMessage>& records) {
  std::string view;
  for (const IncomingMessage& record : records) {
    view += RECORD_RULE;
    view += record.Time;
    view += " (msg) :";
    view += record.Text;
  }
  return view;
}

std::string ForEditBox(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}
