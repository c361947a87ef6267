// Scratch folder, whole-file helpers, time limit and failure report of the fuzz targets.
#include "fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

std::filesystem::path scratchFolder;

void removeScratchFolder() {
  std::error_code ignored;
  if (!scratchFolder.empty()) std::filesystem::remove_all(scratchFolder, ignored);
}

// The profiling timer counts the processor time this process uses, and it has run out.
// abort() hands over to libFuzzer, which keeps the input as a crash.
void onProcessorTimeUsedUp(int) {
  static const char message[] =
      "ERROR: the input has kept the processor busy for longer than the limit\n";
  [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message, sizeof message - 1);
  std::abort();
}

void setProcessorTimer(int seconds) {
  itimerval timer{};
  timer.it_value.tv_sec = seconds;
  if (::setitimer(ITIMER_PROF, &timer, nullptr) != 0) {
    std::perror("setitimer");
    std::abort();
  }
}

}  // namespace

UnitTimeLimit::UnitTimeLimit() {
  static const bool handled = [] {
    struct sigaction action {};
    action.sa_handler = onProcessorTimeUsedUp;
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGPROF, &action, nullptr) == 0;
  }();
  if (!handled) {
    std::perror("sigaction");
    std::abort();
  }
  setProcessorTimer(UNIT_PROCESSOR_SECONDS);
}

UnitTimeLimit::~UnitTimeLimit() {
  setProcessorTimer(0);
}

void EnterScratchFolder(const char* purpose) {
  std::error_code error;
  std::filesystem::path base = "/dev/shm";
  if (!std::filesystem::is_directory(base, error)) base = std::filesystem::temp_directory_path();
  std::string pattern = (base / (std::string("qv_fuzz_") + purpose + "_XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    std::abort();
  }
  scratchFolder = pattern;
  std::filesystem::current_path(scratchFolder);
  std::atexit(removeScratchFolder);
}

void WriteWholeFile(const std::string& name, const uint8_t* data, std::size_t size) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string ReadWholeFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> WorkingFolderEntries() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void Fail(const char* rule, const char* file, int line) {
  std::fprintf(stderr, "rule broken at %s:%d: %s\n", file, line, rule);
  std::abort();
}
