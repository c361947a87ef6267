// Every case of starts against one desktop in memory: what holds the running name, what the
// shared block says, which windows show and how Quorvane 20 behaves, with one start or two.
// Each start runs on a thread of its own, and the starts take turns at every call, in the
// order of a clock that only their waits move; a start that runs goes on as a copy.
#include "app/start_decision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace {

constexpr uint32_t NEVER = UINT32_MAX;
constexpr uint32_t STORY_ENDS = 20000;
constexpr uint32_t LOOK_EVERY = 1000;  // a copy without the name looks for it

// Processes of the desktop: Quorvane 20, another program 30, and another user's 40 and 41.
// The starts are processes 1 and 2, and their main windows, once up, 101 and 102.
constexpr uint32_t OUTSIDE = 99;  // another program that holds the running name
enum class Holder { NOBODY, QUORVANE, OUTSIDE, OTHER_USER };
const std::map<WindowRef, WindowFacts> WINDOWS = {{7, {true, 20, true}},
                                                  {8, {false, 30, true}},
                                                  {9, {true, 40, false}},
                                                  {10, {false, 41, false}}};

// What Quorvane 20 does: its main window 7 shows (and it tells the block: over anything when
// it holds the name, otherwise over its own claim), it closes, and it ends with its window
// and the name it held.
struct Copy {
  uint32_t shownAt = NEVER;
  ForwardAnswer answer = ForwardAnswer::CameForward;
  uint32_t closingAt = NEVER;
  uint32_t endsAt = NEVER;
};

struct Row {
  const char* what;
  Holder name;
  PublishedCopy block;
  std::set<WindowRef> windows;  // shown from the start, besides 7
  Copy copy;
  // What each start did, in order, with the time of what it came to; a repeated call once.
  const char* outcome;
  uint32_t secondStartAt = NEVER;
  uint32_t windowAfter = 300;   // how long a started copy takes to show its main window
  uint32_t nameFreeAt = NEVER;  // when another program that holds the name lets go
};

struct Stuck {};  // a start that would wait past the story's end, or loops with no time passing

class World {
 public:
  explicit World(const Row& row) : row(row), windows(row.windows) {
    holder = row.name == Holder::QUORVANE ? 20 : row.name == Holder::OUTSIDE ? OUTSIDE : 0;
    turns_[1] = {0, order_++};
    if (row.secondStartAt != NEVER) turns_[2] = {row.secondStartAt, order_++};
  }
  const Row& row;
  uint32_t now = 0, holder;
  PublishedCopy block = row.block;
  std::set<WindowRef> windows;
  std::set<uint32_t> alive{20, 30, 40, 41, 1, 2};

  // The start `self` goes on at `at`, once every start due earlier has had its turn; its
  // first turn, at the row's time, is given without asking.
  void turn(uint32_t self, uint32_t at = NEVER) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (at != NEVER) turns_[self] = {at, order_++}, handOn();
    cv_.wait(lock, [&] { return current_ == self; });
    settle();
  }
  // Hands the turn on for good (and, before any start, gives the first one its turn).
  void leave() {
    std::lock_guard<std::mutex> lock(mutex_);
    handOn();
  }

 private:
  void handOn() {
    const auto next = std::min_element(turns_.begin(), turns_.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    current_ = next == turns_.end() ? 0 : next->first;
    if (next != turns_.end()) now = std::max(now, next->second.first), turns_.erase(next);
    cv_.notify_all();
  }
  // What happens by itself up to now.
  void settle() {
    const Copy& c = row.copy;
    if (now >= c.shownAt && alive.count(20) && windows.insert(7).second &&
        (holder == 20 || block == PublishedCopy{COPY_STARTING, 0, 20}))
      block = {COPY_RUNNING, 7, 0};
    if (now >= c.closingAt && block == PublishedCopy{COPY_RUNNING, 7, 0})
      block.state = COPY_CLOSING;
    if (now >= c.endsAt && alive.erase(20)) {
      windows.erase(7);
      if (holder == 20) holder = 0;
    }
    if (now >= row.nameFreeAt && holder == OUTSIDE) holder = 0;
  }
  std::mutex mutex_;
  std::condition_variable cv_;
  std::map<uint32_t, std::pair<uint32_t, int>> turns_;
  uint32_t current_ = 0;
  int order_ = 0;
};

class Start : public RunningCopySystem {
 public:
  Start(World& world, uint32_t self) : world_(world), self_(self) {}
  std::string log;

  void live() {
    world_.turn(self_);
    try {
      unsigned exitCode = 99;
      const StartDecision decision = DecideStart(*this, exitCode);
      note(decision == StartDecision::Run   ? "run"
           : decision == StartDecision::End ? "end " + std::to_string(exitCode)
                                            : "anyway",
           true);
      if (decision != StartDecision::End) goOnAsCopy();
    } catch (const Stuck&) {
      note("stuck", true);
    }
    world_.leave();
  }

  NameResult takeName() override {
    go();
    if (world_.row.name == Holder::OTHER_USER) return NameResult::Refused;
    if (world_.holder == 0) world_.holder = self_;
    return world_.holder == self_ ? NameResult::Taken : NameResult::HeldElsewhere;
  }
  PublishedCopy readBlock() override { return go(), world_.block; }
  bool replaceBlock(const PublishedCopy& seen, const PublishedCopy& next) override {
    go();
    if (world_.block != seen) return false;
    world_.block = next;
    return true;
  }
  std::vector<WindowRef> topLevelWindows() override {
    return go(), std::vector<WindowRef>(world_.windows.begin(), world_.windows.end());
  }
  WindowFacts describeWindow(WindowRef window) override {
    go();
    if (!world_.windows.count(window)) return {};
    return window > 100 ? WindowFacts{true, static_cast<uint32_t>(window - 100), true}
                        : WINDOWS.at(window);
  }
  bool processAlive(uint32_t id) override { return go(), world_.alive.count(id) > 0; }
  uint32_t ownProcessId() override { return self_; }
  ForwardAnswer askToComeForward(WindowRef window) override {
    go();
    call("forward " + std::to_string(window));
    return window == 7 ? world_.row.copy.answer : ForwardAnswer::CameForward;
  }
  bool waitForEnd(WindowRef window) override {
    go();
    if (window != 7 || !world_.windows.count(7)) return false;
    call("wait 7");
    go(world_.row.copy.endsAt);
    return true;
  }
  void pause(uint32_t ms) override { go(world_.now + ms); }
  uint32_t nowMs() override { return world_.now; }
  void tell(const char*) override { call("tell"); }

 private:
  void go(uint32_t at = 0) {
    if (at > STORY_ENDS || ++calls_ > 100000) throw Stuck{};
    world_.turn(self_, std::max(at, world_.now));
  }
  // A copy's life: its main window shows, and without the name it looks for it now and then.
  void goOnAsCopy() {
    const WindowRef window = 100 + self_;
    bool holdsName = world_.holder == self_;
    pause(world_.row.windowAfter);
    world_.windows.insert(window);
    PublishRunning(*this, window, holdsName);
    while (!holdsName && world_.now + LOOK_EVERY <= STORY_ENDS) {
      pause(LOOK_EVERY);
      WindowRef stays = 0;
      const WithoutName look = LookForRunningName(*this, window, stays);
      holdsName = look == WithoutName::TookIt;
      if (holdsName) note("took the name", true);
      if (look != WithoutName::GiveWay) continue;
      note("gave way to " + std::to_string(stays), true);
      PublishClosing(*this, window);
      world_.windows.erase(window);
      world_.alive.erase(self_);
      return;
    }
  }
  void call(const std::string& what) {
    if (what != last_) note(what);
    last_ = what;
  }
  void note(const std::string& what, bool when = false) {
    log += (log.empty() ? "" : ", ") + what + (when ? " @" + std::to_string(world_.now) : "");
  }
  World& world_;
  const uint32_t self_;
  int calls_ = 0;
  std::string last_;
};

TEST(StartDecision, EveryCase) {
  using H = Holder;
  using A = ForwardAnswer;
  const PublishedCopy none{}, running{COPY_RUNNING, 7, 0}, closing{COPY_CLOSING, 7, 0};
  const PublishedCopy starting{COPY_STARTING, 0, 20};
  const Copy up{0}, upAt600{600}, upAt300{300}, silent{0, A::NoAnswer}, admin{0, A::Refused};
  const Copy closingUp{0, A::Closing, 0, 1000}, closeQueued{0, A::Closing, NEVER, 1000};
  const Copy killed{NEVER, A::CameForward, NEVER, 0};
  // clang-format off
  const Row rows[] = {
    {"none running",          H::NOBODY,     none,     {},   {},       "run @0"},
    {"running",               H::QUORVANE,   running,  {},   up,       "forward 7, end 0 @0"},
    {"starting, its window shows within the wait",
                              H::QUORVANE,   starting, {},   upAt600,  "forward 7, end 0 @600"},
    {"starting, its window shows just after the wait: it gives way to the late one",
                              H::QUORVANE,   starting, {},   {5050},   "anyway @5000, gave way to 7 @6300"},
    {"name taken, another copy starting without it",
                              H::NOBODY,     starting, {},   upAt300,  "forward 7, end 0 @300"},
    {"closing",               H::QUORVANE,   closing,  {},   closingUp, "wait 7, run @1000"},
    {"a close waiting in its queue (posted, or from the taskbar)",
                              H::QUORVANE,   running,  {},   closeQueued, "forward 7, wait 7, run @1000"},
    {"closing, two starts wait: one runs, the other brings it forward",
                              H::QUORVANE,   closing,  {},   closingUp, "wait 7, run @1000 | B wait 7, forward 101, end 0 @1300 | block: running 101", 0},
    {"name held by something else",
                              H::OUTSIDE,    none,     {},   {},       "anyway @5000"},
    {"name held, a copy runs without it, not in the block",
                              H::OUTSIDE,    none,     {},   up,       "forward 7, end 0 @5000"},
    {"holder gone, a copy runs without the name",
                              H::NOBODY,     none,     {},   up,       "forward 7, end 0 @0"},
    {"holder gone during the wait",
                              H::OUTSIDE,    none,     {},   up,       "forward 7, end 0 @1000", NEVER, 300, 1000},
    {"two anyway starts at once: one runs, takes the name once free",
                              H::OUTSIDE,    none,     {},   {},       "anyway @5000, took the name @7300 | B forward 101, end 0 @5300 | block: running 101", 0, 300, 7000},
    {"two anyway starts, windows slow: the later claim gives way to the name's taker",
                              H::OUTSIDE,    none,     {},   {},       "anyway @5000, took the name @12500 | B anyway @10000, gave way to 101 @16500 | block: running 101", 0, 5500, 12000},
    {"two anyway starts, windows slow, name never free: the later claim stays",
                              H::OUTSIDE,    none,     {},   {},       "anyway @5000, gave way to 102 @15500 | B anyway @10000 | block: running 102", 0, 5500},
    {"a copy without the name does not give way to one that closes",
                              H::QUORVANE,   starting, {},   {6000, A::CameForward, 6100, 7000}, "anyway @5000, took the name @7300"},
    {"refused with a window", H::OTHER_USER, none,     {9},  {},       "tell, end 2 @0"},
    {"refused, a window of another user's program built like ours",
                              H::OTHER_USER, none,     {10}, {},       "anyway @5000"},
    {"refused without one",   H::OTHER_USER, none,     {},   {},       "anyway @5000"},
    {"refused, this user's copy runs without the name",
                              H::OTHER_USER, none,     {9},  up,       "forward 7, end 0 @0"},
    {"another user's copy, this user's name free",
                              H::NOBODY,     none,     {9},  {},       "run @0"},
    {"a foreign window in the block",
                              H::OUTSIDE,    {COPY_RUNNING, 8, 0}, {8}, {}, "anyway @5000"},
    {"a foreign window closing in the block",
                              H::OUTSIDE,    {COPY_CLOSING, 8, 0}, {8}, {}, "anyway @5000"},
    {"a killed copy's window in the block",
                              H::NOBODY,     running,  {},   killed,   "run @0"},
    {"a killed copy closing in the block",
                              H::NOBODY,     closing,  {},   killed,   "run @0"},
    {"a killed start's claim in the block",
                              H::NOBODY,     starting, {},   killed,   "run @0"},
    {"a claim naming another program",
                              H::NOBODY,     {COPY_STARTING, 0, 30}, {}, {}, "run @5000"},
    {"running without the name, not answering",
                              H::NOBODY,       running,  {},   silent,   "forward 7, tell, end 3 @5000"},
    {"running as administrator",
                              H::QUORVANE,   running,  {},   admin,    "forward 7, tell, end 2 @0"},
  };
  // clang-format on
  for (const Row& row : rows) {
    World world(row);
    Start first(world, 1), second(world, 2);
    std::thread a([&] { first.live(); });
    std::thread b([&] {
      if (row.secondStartAt != NEVER) second.live();
    });
    world.leave();
    a.join();
    b.join();
    // With two starts, also what the block says in the end.
    const char* const states[] = {"none", "starting", "running", "closing"};
    const std::string outcome =
        first.log + (second.log.empty()
                         ? ""
                         : " | B " + second.log + " | block: " + states[world.block.state] + " " +
                               std::to_string(world.block.window));
    EXPECT_EQ(outcome, row.outcome) << row.what;
  }
}

}  // namespace
