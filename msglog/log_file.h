// The optional per-run log file: one eight-line record per processed message.
#pragma once

#include <ctime>
#include <string>

#include "base/shared_state.h"  // LogToFileEnabled

// "msg_log_" + the ctime text of the start time with blanks and colons made "_" + ".txt".
std::string MakeLogFileName(std::time_t startTime);

// The eight CR LF lines of one record; timeText is the ctime text with its line feed
// replaced by a blank.
std::string FormatLogRecord(const std::string& timeText, const std::string& sender,
                            const std::string& text);

class MessageLogFile {
 public:
  MessageLogFile();  // named after the current local time
  explicit MessageLogFile(std::time_t startTime);

  const std::string& FileName() const { return fileName_; }
  // Appends a record while LogToFileEnabled; nothing otherwise.
  void LogReceivedMessage(const std::string& sender, const std::string& text);

 private:
  std::string fileName_;
};
