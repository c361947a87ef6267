// Every case of a start against a desktop in memory: what holds the running name, what
// the shared block says, which windows show, and how the running copy answers.
#include "app/start_decision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr uint32_t NEVER = UINT32_MAX;
constexpr uint32_t THIS_START = 1;

// The processes of the desktop: Quorvane, a renamed copy of it, another program whose file
// is called quorvane.exe, and another user's process that may not be examined.
constexpr uint32_t QUORVANE = 20, RENAMED = 21, FOREIGN = 30, OTHER_USER = 40;
struct Process {
  const char* image;
  const char* product;
  bool reachable;
};
const std::map<uint32_t, Process> PROCESSES = {
    {QUORVANE, {"quorvane.exe", "Quorvane", true}},
    {RENAMED, {"Quorvane 3.1.exe", "Quorvane", true}},
    {FOREIGN, {"quorvane.exe", "", true}},
    {OTHER_USER, {"", "", false}},
};
// Windows built like Quorvane's main window, one in each of those processes.
const std::map<WindowRef, uint32_t> WINDOWS = {
    {7, QUORVANE}, {6, RENAMED}, {8, FOREIGN}, {9, OTHER_USER}};

struct Row {
  const char* what;
  NameResult name;
  uint32_t nameFreeAt;  // from then on the name can be taken
  PublishedCopy block;
  uint32_t shownAt;             // from then on window 7 shows and the block names it, running
  std::set<WindowRef> windows;  // shown from the start
  ForwardAnswer answer;
  // "run", "anyway" (though the name is held elsewhere) or "end <exit code>", then what
  // the start did, a repeated call once.
  const char* outcome;
};

class Desktop : public RunningCopySystem {
 public:
  explicit Desktop(const Row& row) : row_(row), windows_(row.windows) {
    for (const auto& [id, process] : PROCESSES) processes_.insert(id);
  }
  std::string calls;

  NameResult takeName(uint32_t waitMs) override {
    if (row_.name == NameResult::HeldElsewhere) now_ = std::min(now_ + waitMs, freeAt());
    return now_ >= freeAt() ? NameResult::Taken : row_.name;
  }
  PublishedCopy readBlock() override {
    return now_ >= row_.shownAt ? PublishedCopy{7, QUORVANE, COPY_RUNNING} : row_.block;
  }
  void publishStarting() override { call("publish"); }
  std::vector<WindowRef> topLevelWindows() override {
    std::vector<WindowRef> shown(windows_.begin(), windows_.end());
    if (now_ >= row_.shownAt) shown.push_back(7);
    return shown;
  }
  WindowFacts describeWindow(WindowRef window) override {
    const std::vector<WindowRef> shown = topLevelWindows();
    if (std::find(shown.begin(), shown.end(), window) == shown.end()) return {};
    return {true, WINDOWS.at(window)};
  }
  ProcessFacts describeProcess(uint32_t id) override {
    if (!processes_.count(id)) return {true, ""};  // ended
    return {PROCESSES.at(id).reachable, PROCESSES.at(id).product};
  }
  uint32_t ownProcessId() override { return THIS_START; }
  ForwardAnswer askToComeForward(WindowRef window) override {
    call("forward " + std::to_string(window));
    return row_.answer;
  }
  // The process ends with its windows, and leaves the name it held.
  bool waitForEnd(uint32_t id) override {
    call("wait " + std::to_string(id));
    processes_.erase(id);
    for (const auto& [window, process] : WINDOWS)
      if (process == id) windows_.erase(window);
    endedAt_ = now_;
    return true;
  }
  void pause(uint32_t ms) override { now_ += ms; }
  uint32_t nowMs() override { return now_; }
  void tell(const char*) override { call("tell"); }

 private:
  uint32_t freeAt() const { return std::min(row_.nameFreeAt, endedAt_); }
  void call(const std::string& what) {
    if (what == last_) return;
    calls += (calls.empty() ? "" : ", ") + what;
    last_ = what;
  }
  const Row& row_;
  std::set<WindowRef> windows_;
  std::set<uint32_t> processes_;
  uint32_t now_ = 0;
  uint32_t endedAt_ = NEVER;
  std::string last_;
};

TEST(StartDecision, EveryCase) {
  using N = NameResult;
  using A = ForwardAnswer;
  const PublishedCopy none{}, running{7, QUORVANE, COPY_RUNNING};
  const PublishedCopy starting{0, QUORVANE, COPY_STARTING}, closing{0, QUORVANE, COPY_CLOSING};
  // clang-format off
  const Row rows[] = {
    {"none running",            N::Taken,         NEVER, none,    NEVER, {},  A::CameForward, "run: publish"},
    {"running",                 N::HeldElsewhere, NEVER, running, NEVER, {7}, A::CameForward, "end 0: forward 7"},
    {"renamed, known by its product name",
                                N::HeldElsewhere, NEVER, {6, RENAMED, COPY_RUNNING},
                                                                  NEVER, {6}, A::CameForward, "end 0: forward 6"},
    {"starting, its window shows within the wait",
                                N::HeldElsewhere, NEVER, starting, 600,  {},  A::CameForward, "end 0: forward 7"},
    {"name taken, another copy starting without it",
                                N::Taken,         NEVER, starting, 300,  {},  A::CameForward, "end 0: forward 7"},
    {"closing",                 N::HeldElsewhere, NEVER, closing, NEVER, {},  A::CameForward, "run: wait 20, publish"},
    {"a close waiting behind the come-forward request",
                                N::HeldElsewhere, NEVER, running, NEVER, {7}, A::Closing,     "run: forward 7, wait 20, publish"},
    {"name held by something else",
                                N::HeldElsewhere, NEVER, none,    NEVER, {},  A::CameForward, "anyway: publish"},
    {"holder gone, a copy runs without the name",
                                N::Taken,         NEVER, none,    NEVER, {7}, A::CameForward, "end 0: forward 7"},
    {"holder gone during the wait",
                                N::HeldElsewhere, 1000,  none,    NEVER, {7}, A::CameForward, "end 0: forward 7"},
    {"refused with a window",   N::Refused,       NEVER, none,    NEVER, {9}, A::CameForward, "end 2: tell"},
    {"refused without one",     N::Refused,       NEVER, none,    NEVER, {},  A::CameForward, "anyway: publish"},
    {"refused, this user's copy runs without the name",
                                N::Refused,       NEVER, none,    NEVER, {7}, A::CameForward, "end 0: forward 7"},
    {"a foreign window in the block",
                                N::HeldElsewhere, NEVER, {8, FOREIGN, COPY_RUNNING},
                                                                  NEVER, {8}, A::CameForward, "anyway: publish"},
    {"a foreign process closing in the block",
                                N::HeldElsewhere, NEVER, {8, FOREIGN, COPY_CLOSING},
                                                                  NEVER, {8}, A::CameForward, "anyway: publish"},
    {"running but not answering",
                                N::HeldElsewhere, NEVER, running, NEVER, {7}, A::NoAnswer,    "end 3: forward 7, tell"},
    {"running as administrator",
                                N::HeldElsewhere, NEVER, running, NEVER, {7}, A::Refused,     "end 2: forward 7, tell"},
  };
  // clang-format on
  for (const Row& row : rows) {
    Desktop desktop(row);
    unsigned exitCode = 99;
    const StartDecision decision = DecideStart(desktop, exitCode);
    const std::string outcome = decision == StartDecision::Run   ? "run"
                                : decision == StartDecision::End ? "end " + std::to_string(exitCode)
                                                                 : "anyway";
    EXPECT_EQ(outcome + ": " + desktop.calls, row.outcome) << row.what;
  }
}

}  // namespace
