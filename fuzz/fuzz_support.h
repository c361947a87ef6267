// What the fuzz targets share: a private working folder for the files they load and save,
// whole-file reading and writing, a processor-time limit for each input, and a check that
// stops the run on a broken rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Makes a fresh folder (in memory where the system offers one, so saves stay quick),
// makes it the working folder and removes it again when the program ends.
void EnterScratchFolder(const char* purpose);

void WriteWholeFile(const std::string& name, const uint8_t* data, std::size_t size);
std::string ReadWholeFile(const std::string& name);
// The names of everything in the working folder, sorted.
std::vector<std::string> WorkingFolderEntries();

// Held for the length of one input: an input that keeps the processor busy for more than
// UNIT_PROCESSOR_SECONDS is a finding. Processor time, not time on the clock: beside the
// other tests the fuzzers run at idle priority and may get no processor at all for longer
// than that, and an input waiting on a busy disk is not slow either.
constexpr int UNIT_PROCESSOR_SECONDS = 10;
class UnitTimeLimit {
 public:
  UnitTimeLimit();
  ~UnitTimeLimit();
  UnitTimeLimit(const UnitTimeLimit&) = delete;
  UnitTimeLimit& operator=(const UnitTimeLimit&) = delete;
};

// A broken rule is a finding: say which and abort, so libFuzzer keeps the input.
[[noreturn]] void Fail(const char* rule, const char* file, int line);
#define QV_REQUIRE(condition)                               \
  do {                                                      \
    if (!(condition)) Fail(#condition, __FILE__, __LINE__); \
  } while (0)
