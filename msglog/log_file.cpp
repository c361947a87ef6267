// The per-run log file: an eight-line record appended for each processed message while
// the user has logging switched on.
#include "msglog/log_file.h"

#include <algorithm>
#include <cstdio>

#include "base/time_text.h"

namespace {

// Written the way a text-mode stream writes on Windows: each line feed becomes CR LF and
// a carriage return stays as it is.
void appendLine(std::string& out, const std::string& text) {
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  out += "\r\n";
}

std::string recordTimeText(std::time_t t) {
  std::string text = CtimeText(t);
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

}  // namespace

std::string MakeLogFileName(std::time_t startTime) {
  std::string name = "msg_log_" + CtimeText(startTime);
  std::replace(name.begin(), name.end(), '\n', ' ');
  std::replace(name.begin(), name.end(), ' ', '_');
  std::replace(name.begin(), name.end(), ':', '_');
  return name + ".txt";
}

std::string FormatLogRecord(const std::string& timeText, const std::string& sender,
                            const std::string& text) {
  std::string record;
  appendLine(record, "------------AUTO RESPONDED TO THE FOLLOWING MSG-------------*");
  appendLine(record, "( TIME ) : " + timeText);
  appendLine(record, "( FROM ) : " + sender);
  appendLine(record, "( MSG )  : " + text);
  appendLine(record, "*" + std::string(59, '-') + "*");
  appendLine(record, std::string(62, '-'));
  appendLine(record, std::string(62, '/'));
  appendLine(record, std::string(62, '-'));
  return record;
}

MessageLogFile::MessageLogFile() : MessageLogFile(std::time(nullptr)) {}

MessageLogFile::MessageLogFile(std::time_t startTime) : fileName_(MakeLogFileName(startTime)) {}

void MessageLogFile::LogReceivedMessage(const std::string& sender, const std::string& text) {
  if (!LogToFileEnabled) return;
  // The record goes out in one write, so a reader never sees it interleaved with
  // anything; a file that cannot be opened loses this record only, the next one tries
  // again.
  const std::string record = FormatLogRecord(recordTimeText(std::time(nullptr)), sender, text);
  if (std::FILE* file = std::fopen(fileName_.c_str(), "ab")) {
    std::fwrite(record.data(), 1, record.size(), file);
    std::fflush(file);
    std::fclose(file);
  }
}
