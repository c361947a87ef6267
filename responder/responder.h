// The responder's working state: the chat client's windows, the current sender and
// message, the extractor, the per-run log file and the windows to leave alone.
#pragma once

#include <string>

#include "msglog/log_file.h"
#include "responder/conversation.h"
#include "responder/im_windows.h"

struct Responder {
  explicit Responder(ImWindows& imWindows) : windows(imWindows) {}

  ImWindows& windows;
  std::string senderKey;
  std::string messageText;
  MessageExtractor extractor;
  MessageLogFile logFile;
  IgnoredWindowList ignoredWindows;
};
