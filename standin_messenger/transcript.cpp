// Transcript lines and the file they go to.
#include "standin_messenger/transcript.h"

#include <cinttypes>

std::string transcriptHex(const std::string& text) {
  if (text.empty()) return "-";
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(text.size() * 2);
  for (unsigned char c : text) {
    hex.push_back(digits[c >> 4]);
    hex.push_back(digits[c & 15]);
  }
  return hex;
}

std::string transcriptLine(std::uint64_t ms, const char* event, std::uintptr_t window,
                           const std::string& argument) {
  char head[80];
  std::snprintf(head, sizeof head, "%" PRIu64 " %s %" PRIxPTR, ms, event, window);
  std::string line = head;
  if (!argument.empty()) line += " " + argument;
  return line;
}

Transcript::~Transcript() {
  if (file_) std::fclose(file_);
}

bool Transcript::open(const std::string& path) {
  if (file_) std::fclose(file_);
  // Binary, so the CR LF line ends are written as they stand.
  file_ = std::fopen(path.c_str(), "wb");
  return file_ != nullptr;
}

void Transcript::write(std::uint64_t ms, const char* event, std::uintptr_t window,
                       const std::string& argument) {
  if (!file_) return;
  std::string line = transcriptLine(ms, event, window, argument) + "\r\n";
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}
