// The reply groups: the member lookup, the list changes and the file "Groups.lst" in
// both directions, damaged files included.
#include "groups/group_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "scratch_dir.h"

namespace {

// "name|message|member,member;" for each group, to compare a store with a table.
std::string dump(const GroupStore& store) {
  std::string text;
  for (std::size_t i = 0; i < store.groupCount(); ++i) {
    const Group g = *store.group(i);
    text += g.name + "|" + g.message + "|";
    for (std::size_t m = 0; m < g.members.size(); ++m) text += (m ? "," : "") + g.members[m];
    text += ";";
  }
  return text;
}

TEST(GroupLookup, MembersMatchWholeIdsWithoutRegardToCase) {
  GroupStore store;
  store.addGroup("Work", "At work");
  store.addMember(0, "JohnDoe");
  store.addMember(0, "john");
  store.addGroup("Friends", "Back soon");
  store.addMember(1, "johndoe");
  store.addMember(1, "ren\u00E9");
  store.addGroup("Quiet", "");
  store.addMember(2, "mute");

  struct Case {
    const char* probe;
    bool keyForm;
    bool found;
    const char* reply;
  } cases[] = {
      {"johndoe,>", true, true, "At work>"},  // the first group holding the ID wins
      {"JOHNDOE", false, true, "At work>"},
      {"JohnDoe", true, false, "untouched"},
      {"johnny,>", true, false, "untouched"},
      {"joh,>", true, false, "untouched"},
      {"john,>", true, true, "At work>"},
      {"REN\u00C9,>", true, true, "Back soon>"},
      {"mute,>", true, true, ">"},
      {"Work", false, false, "untouched"},  // group names are not members
      {"", false, false, "untouched"},
  };
  for (const Case& c : cases) {
    std::string reply = "untouched";
    EXPECT_EQ(store.findGroupMessage(c.probe, &reply, c.keyForm), c.found) << c.probe;
    EXPECT_EQ(reply, c.reply) << c.probe;
    EXPECT_EQ(store.findGroupMessage(c.probe, nullptr, c.keyForm), c.found) << c.probe;
  }
  EXPECT_FALSE(GroupStore().findGroupMessage("johndoe,>", nullptr, true));
}

TEST(GroupList, ChangesByIndex) {
  GroupStore store;
  store.addGroup("Friends", "Back soon");
  store.addGroup("friends", "later");
  EXPECT_TRUE(store.hasGroupNamed("Friends"));
  EXPECT_FALSE(store.hasGroupNamed("FRIENDS"));
  store.addMember(0, "alice");
  store.addMember(0, "bob");
  store.addMember(0, "carol");
  EXPECT_TRUE(store.removeMember(0, 1));
  EXPECT_TRUE(store.updateGroup(1, "Family", "home"));
  EXPECT_EQ(dump(store), "Friends|Back soon|alice,carol;Family|home|;");

  // Indexes that no longer exist change nothing.
  EXPECT_FALSE(store.updateGroup(2, "x", "y"));
  EXPECT_FALSE(store.addMember(2, "x"));
  EXPECT_FALSE(store.removeMember(0, 2));
  EXPECT_FALSE(store.removeMember(5, 0));
  EXPECT_FALSE(store.removeGroup(2));
  EXPECT_FALSE(store.group(2).has_value());
  EXPECT_EQ(dump(store), "Friends|Back soon|alice,carol;Family|home|;");

  EXPECT_TRUE(store.removeGroup(0));
  EXPECT_EQ(store.groupNames(), (std::vector<std::string>{"Family"}));
  EXPECT_FALSE(store.findGroupMessage("alice,>", nullptr, true));
}

class GroupsFile : public ScratchDirTest {};

TEST_F(GroupsFile, SavedBytesAndReadBack) {
  GroupStore store;
  EXPECT_TRUE(store.save());
  EXPECT_TRUE(exists("Groups.lst"));
  EXPECT_EQ(readFile("Groups.lst"), "");

  store.addGroup("Friends", "Back soon");
  store.addMember(0, "alice");
  store.addMember(0, "bob");
  store.addGroup(" User Group ", " ---Group--- ");
  store.addMember(1, " User--- ");
  EXPECT_TRUE(store.save());
  const std::string expected =
      "Group---\r\nFriends\r\nBack soon\r\nUser---\r\nalice\r\nUser---\r\nbob\r\n---\r\n"
      "Group---\r\n User Group \r\n ---Group--- \r\nUser---\r\n User--- \r\n---\r\n";
  EXPECT_EQ(readFile("Groups.lst"), expected);

  GroupStore loaded;
  loaded.load();
  EXPECT_EQ(dump(loaded), dump(store));
}

TEST_F(GroupsFile, DamagedAndUnusualFiles) {
  const std::string l1023(1023, 'a'), l1024(1024, 'b'), l100k(100000, 'c');
  struct Case {
    const char* name;
    std::string bytes;
    std::string groups;
  } cases[] = {
      {"empty file", "", ""},
      {"LF line ends", "Group---\nF\nhi\nUser---\nann\n---\n", "F|hi|ann;"},
      {"a lone CR ends no line", "Group---\rF\rhi\rUser---\rann\r---\r", "||;"},
      {"lower-case markers", "group---\r\nF\r\nhi\r\nuser---\r\nann\r\n---\r\n", ""},
      {"no closing line", "Group---\r\nF\r\nhi\r\nUser---\r\nann\r\nUser---\r\nbob",
       "F|hi|ann,bob;"},
      {"ends after Group", "Group---\r\nF\r\nhi\r\n---\r\nGroup---\r\n", "F|hi|;||;"},
      {"junk between groups",
       "junk\r\nGroup---\r\nF\r\nm\r\nxx\r\nmore\r\nGroup---\r\nG\r\nn\r\n---\r\n", "F|m|;G|n|;"},
      {"NUL bytes", std::string("Group---\r\nF\0x\r\nhi\r\n---\r\n", 24),
       std::string("F\0x|hi|;", 8)},
      {"binary junk", std::string("\xFF\xFE\x00\x01\r\x80Group\x00\n\x1B\x7F\n", 16),
       std::string("\x1B\x7F||;", 5)},
      {"1023 characters", "Group---\r\n" + l1023 + "\r\nm\r\n---\r\n", l1023 + "|m|;"},
      {"1024 characters", "Group---\r\n" + l1024 + "\r\nm\r\n---\r\n",
       l1024.substr(0, 1023) + "|m|;"},
      {"100000 characters", "Group---\r\nF\r\n" + l100k + "\r\nUser---\r\nann\r\n---\r\n",
       "F|" + std::string(1023, 'c') + "|ann;"},
  };
  for (const Case& c : cases) {
    writeFile("Groups.lst", c.bytes);
    GroupStore store;
    store.addGroup("stale", "");
    store.load();
    EXPECT_EQ(dump(store), c.groups) << c.name;
  }
}

TEST_F(GroupsFile, LoneCrStaysInItsLineAndIsSavedBack) {
  const std::string bytes = "Group---\r\nFriends\r\r\nBack\rsoon\r\nUser---\r\nalice\r\n---\r\n";
  writeFile("Groups.lst", bytes);
  GroupStore store;
  store.load();
  EXPECT_EQ(dump(store), "Friends\r|Back\rsoon|alice;");
  EXPECT_TRUE(store.save());
  EXPECT_EQ(readFile("Groups.lst"), bytes);
}

TEST_F(GroupsFile, MissingOrUnwritableFile) {
  GroupStore store;
  store.addGroup("stale", "");
  store.load();
  EXPECT_EQ(store.groupCount(), 0u) << "missing file";

  std::filesystem::create_directory("Groups.lst");
  store.load();
  EXPECT_EQ(store.groupCount(), 0u) << "directory";
  store.addGroup("Friends", "hi");
  EXPECT_FALSE(store.save());
  std::filesystem::remove("Groups.lst");

  writeFile("Groups.lst", "Group---\r\nOld\r\nm\r\n---\r\n");
  setReadOnly("Groups.lst", true);
  EXPECT_FALSE(store.save());
  setReadOnly("Groups.lst", false);
  EXPECT_EQ(readFile("Groups.lst"), "Group---\r\nOld\r\nm\r\n---\r\n");
  EXPECT_EQ(dump(store), "Friends|hi|;");
}

// The guard thread's lookups while the interface thread keeps changing the store: every
// answer is one a whole group gives, before or after a change.
TEST(GroupStoreThreads, LookupDuringChanges) {
  GroupStore store;
  store.addGroup("A", "alpha");
  store.addMember(0, "ann");
  std::atomic<bool> done{false};
  int wrong = 0;
  std::thread guard([&] {
    while (!done) {
      std::string reply;
      if (store.findGroupMessage("ANN,>", &reply, true) && reply != "alpha>" && reply != "beta>") {
        ++wrong;
      }
    }
  });
  for (int i = 0; i < 2000; ++i) {
    store.updateGroup(0, i % 2 ? "B" : "A", i % 2 ? "beta" : "alpha");
    store.addGroup("extra", "x");
    store.addMember(1, "bob");
    store.removeGroup(1);
    store.removeMember(0, 0);
    store.addMember(0, "ann");
  }
  done = true;
  guard.join();
  EXPECT_EQ(wrong, 0);
}

}  // namespace
