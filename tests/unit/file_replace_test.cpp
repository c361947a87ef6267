// The steps of a save against files in memory whose calls fail on request: whatever
// fails, the old and the new content can both be found, and the reason says where.
#include "base/file_replace.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

using Files = std::map<std::string, std::string>;
const char* const REPLACE_FAILED = "Unable to move the replacement file";

// A call named in `failing`, alone or with its first name ("move Groups.lst.tmp"), fails;
// a failing replace may first move the old content to the backup name, as Wine's does.
class MemoryFiles : public SaveFiles {
 public:
  Files files;
  std::set<std::string> failing;
  bool replaceMovesOldAway = false;

  unsigned long processId() override { return 7; }
  std::string examine(const std::string& name, bool& found) override {
    found = exists(name);
    return "";
  }
  std::string create(const std::string& name, const std::string& content) override {
    if (exists(name) || fails("create", name)) return "Cannot create";
    files[name] = content;
    return "";
  }
  std::string replace(const std::string& target, const std::string& source,
                      const std::string& backup) override {
    const bool failed = fails("replace", target);
    if (!failed || replaceMovesOldAway) rename(target, backup);
    if (!failed) rename(source, target);
    return failed ? REPLACE_FAILED : "";
  }
  std::string move(const std::string& from, const std::string& to) override {
    if (fails("move", from) || exists(to)) return "Sharing violation.";
    rename(from, to);
    return "";
  }
  std::string keepProperties(const std::string& name) override {
    return fails("keepProperties", name) ? "Denied" : "";
  }
  bool exists(const std::string& name) override { return files.count(name) > 0; }
  void remove(const std::string& name) override { files.erase(name); }

 private:
  bool fails(const std::string& call, const std::string& name) const {
    return failing.count(call) || failing.count(call + " " + name);
  }
  void rename(const std::string& from, const std::string& to) {
    files[to] = files[from];
    files.erase(from);
  }
};

TEST(SaveSteps, EveryFailureLeavesBothContentsWhereTheyCanBeFound) {
  const std::string kept = std::string(REPLACE_FAILED) + ". The new content is kept in Groups.lst.";
  struct Case {
    const char* name;
    std::set<std::string> failing;
    bool oldMovedAway;
    Files after;
    std::string reason;  // empty for a save that succeeds
  } cases[] = {
      {"nothing fails", {}, false, {{"Groups.lst", "new"}}, ""},
      {"no temporary file", {"create"}, false, {{"Groups.lst", "old"}}, "Cannot create"},
      {"replace refused", {"replace"}, false, {{"Groups.lst", "old"}}, REPLACE_FAILED},
      {"replace stopped half-way", {"replace"}, true, {{"Groups.lst", "new"}}, ""},
      {"the new one cannot move",
       {"replace", "move Groups.lst.tmp"},
       true,
       {{"Groups.lst", "old"}},
       REPLACE_FAILED},
      {"attributes lost",
       {"keepProperties"},
       false,
       {{"Groups.lst", "new"}},
       "Its attributes could not be set again: Denied"},
      {"nothing moves",
       {"replace", "move"},
       true,
       {{"Groups.lst.old", "old"}, {"Groups.lst.new", "new"}},
       kept + "new, the old in Groups.lst.old"},
      {"nothing moves, no copy",
       {"replace", "move", "create Groups.lst.new"},
       true,
       {{"Groups.lst.old", "old"}, {"Groups.lst.tmp", "new"}},
       kept + "tmp, the old in Groups.lst.old"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFiles files;
    files.files = {{"Groups.lst", "old"}};
    files.failing = c.failing;
    files.replaceMovesOldAway = c.oldMovedAway;
    std::string reason;
    EXPECT_EQ(ReplaceFileContent(files, "Groups.lst", "new", &reason), c.reason.empty());
    EXPECT_EQ(files.files, c.after);
    EXPECT_EQ(reason, c.reason);
  }
}

// What earlier failures kept is never written over or removed; while the file itself is
// missing, that includes a temporary file.
TEST(SaveSteps, LaterSavesLeaveKeptCopiesAlone) {
  MemoryFiles files;
  Files kept = {{"Groups.lst.old", "1"}, {"Groups.lst.new", "2"}, {"Groups.lst.tmp", "3"}};
  files.files = kept;
  EXPECT_TRUE(ReplaceFileContent(files, "Groups.lst", "4"));
  kept["Groups.lst"] = "4";
  EXPECT_EQ(files.files, kept);

  files.failing = {"replace", "move"};
  files.replaceMovesOldAway = true;
  EXPECT_FALSE(ReplaceFileContent(files, "Groups.lst", "5"));
  EXPECT_EQ(files.files["Groups.lst.7-1.old"], "4");
  EXPECT_EQ(files.files["Groups.lst.7-1.new"], "5");
  EXPECT_EQ(files.files["Groups.lst.old"], "1");
  EXPECT_EQ(files.files["Groups.lst.new"], "2");
}

}  // namespace
