// The stand-in's record of what its conversation windows received, one line per event
// in the layout the protocol header describes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Two lower-case hex digits per byte; "-" for an empty text.
std::string transcriptHex(const std::string& text);
// "<ms> <event> <window> [<argument>]" without the line end.
std::string transcriptLine(std::uint64_t ms, const char* event, std::uintptr_t window,
                           const std::string& argument);

class Transcript {
 public:
  Transcript() = default;
  ~Transcript();
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  // Replaces the file at path. False when it cannot be made; events are then dropped.
  bool open(const std::string& path);
  // Writes one line and hands it to the system at once, so a reader in another process
  // sees every event as soon as it happened.
  void write(std::uint64_t ms, const char* event, std::uintptr_t window,
             const std::string& argument = std::string());

 private:
  std::FILE* file_ = nullptr;
};
