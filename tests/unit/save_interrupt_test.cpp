// A save killed at a random moment: a child process saves a large Groups.lst or conf.qvr
// over an old one and is killed part-way, many times over. The file is always the whole
// old or the whole new content, and the next save succeeds and leaves nothing else behind.
// Process killing is the host's; under Windows this file holds no test.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "config/settings_store.h"
#include "groups/group_store.h"
#include "scratch_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

class SaveKilledMidway : public ScratchDirTest {
 protected:
  void SetUp() override {
    // A kill, unlike a power cut, does not depend on the disk: the files go to memory
    // where the system has it, so that a few hundred saves take seconds, not minutes.
    const char* previous = std::getenv("TMPDIR");
    const std::string kept = previous ? previous : "";
    if (std::filesystem::is_directory("/dev/shm")) ::setenv("TMPDIR", "/dev/shm", 1);
    ScratchDirTest::SetUp();
    if (previous) {
      ::setenv("TMPDIR", kept.c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
#ifdef __SANITIZE_THREAD__
    GTEST_SKIP() << "no threads here, and forking under ThreadSanitizer is slow";
#endif
  }

  struct Outcomes {
    int oldKept = 0;
    int newWhole = 0;
  };

  // Kills a child that runs saveNew over the file saveOld wrote, `rounds` times.
  Outcomes killDuringSaves(const std::string& fileName, const std::function<bool()>& saveOld,
                           const std::function<bool()>& saveNew, int rounds) {
    Outcomes outcomes;
    EXPECT_TRUE(saveNew());
    const std::string newBytes = wholeFile(fileName);
    EXPECT_TRUE(saveOld());
    const std::string oldBytes = wholeFile(fileName);
    EXPECT_NE(oldBytes, newBytes);

    // Kills are spread over the time one save takes, counted from the moment the child
    // starts it (the fork itself takes longer than the save).
    const auto started = Clock::now();
    EXPECT_TRUE(saveNew());
    const auto saveMicros =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started).count();
    EXPECT_TRUE(saveOld());

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> delay(0, 3 * saveMicros);
    for (int round = 0; round < rounds; ++round) {
      const pid_t child = startChild(saveNew);
      if (child <= 0) break;
      ::usleep(static_cast<useconds_t>(delay(random)));
      ::kill(child, SIGKILL);
      waitFor(child);

      const std::string found = wholeFile(fileName);
      if (found == oldBytes) {
        ++outcomes.oldKept;
      } else if (found == newBytes) {
        ++outcomes.newWhole;
      } else {
        ADD_FAILURE() << fileName << " torn in round " << round << ": " << found.size()
                      << " bytes, old " << oldBytes.size() << ", new " << newBytes.size();
        break;
      }
      // The killed save may have left its temporary file; the next one still succeeds
      // and nothing but the file itself remains.
      EXPECT_TRUE(saveOld()) << "round " << round;
      EXPECT_EQ(wholeFile(fileName), oldBytes) << "round " << round;
      EXPECT_EQ(folderEntries(), std::vector<std::string>{fileName}) << "round " << round;
      if (HasFailure()) break;
    }
    std::printf("%s: %d kills, old file kept %d times, new file whole %d times\n", fileName.c_str(),
                rounds, outcomes.oldKept, outcomes.newWhole);
    return outcomes;
  }

 private:
  // Returns once the child is about to save.
  static pid_t startChild(const std::function<bool()>& save) {
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
      const char go = 1;
      if (::write(ready[1], &go, 1) != 1) ::_exit(2);
      ::_exit(save() ? 0 : 1);
    }
    ::close(ready[1]);
    char go = 0;
    while (child > 0 && ::read(ready[0], &go, 1) < 0 && errno == EINTR) {
    }
    ::close(ready[0]);
    EXPECT_GT(child, 0);
    return child;
  }

  static void waitFor(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }

  // Read in one go: a few hundred rounds read the file twice each.
  static std::string wholeFile(const std::string& name) {
    std::string bytes;
    if (std::FILE* in = std::fopen(name.c_str(), "rb")) {
      char buffer[65536];
      for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) {
        bytes.append(buffer, n);
      }
      std::fclose(in);
    }
    return bytes;
  }

  static std::vector<std::string> folderEntries() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

void fillGroups(GroupStore& store, int groups, int members, const std::string& tag) {
  for (int g = 0; g < groups; ++g) {
    store.addGroup(tag + " group " + std::to_string(g),
                   tag + " is away, back soon " + std::string(40, 'x'));
    for (int m = 0; m < members; ++m) {
      store.addMember(static_cast<std::size_t>(g), tag + "_member_" + std::to_string(g) + "_" +
                                                       std::to_string(m) + std::string(40, 'm'));
    }
  }
}

TEST_F(SaveKilledMidway, GroupsFileIsAlwaysWholeOldOrWholeNew) {
  GroupStore oldStore;
  GroupStore newStore;
  fillGroups(oldStore, 60, 20, "old");
  fillGroups(newStore, 80, 25, "new");
  const Outcomes outcomes = killDuringSaves(
      "Groups.lst", [&] { return oldStore.save(); }, [&] { return newStore.save(); }, 150);
  // Some kills must land before the save is done, or nothing was tested.
  EXPECT_GT(outcomes.oldKept, 0);
}

TEST_F(SaveKilledMidway, SettingsFileIsAlwaysWholeOldOrWholeNew) {
  SettingsStore oldStore;
  SettingsStore newStore;
  oldStore.settings().defaultMessage = std::string(100000, 'o');
  newStore.settings().defaultMessage = std::string(150000, 'n');
  newStore.settings().replyMode = 3;
  const Outcomes outcomes = killDuringSaves(
      "conf.qvr", [&] { return oldStore.save(); }, [&] { return newStore.save(); }, 100);
  EXPECT_GT(outcomes.oldKept, 0);
}

}  // namespace

#endif  // _WIN32
