// What the group windows' input dialogs accept and what their buttons change.
#include "groups/group_flows.h"

#include <gtest/gtest.h>

#include "scratch_dir.h"
#include "tests/support/recording_window.h"

namespace {

// Two groups: Friends {alice, Bob} and Work {carol}. Nothing is saved.
void fillTwoGroups(GroupStore& store) {
  store.addGroup("Friends", "Back soon");
  store.addGroup("Work", "In a meeting");
  store.addMember(0, "alice");
  store.addMember(0, "Bob");
  store.addMember(1, "carol");
}

struct TwoGroups : GroupStore {
  TwoGroups() : GroupStore("group_flows_test_unused.lst") { fillTwoGroups(*this); }
};

std::vector<std::string> membersOf(const GroupStore& store, std::size_t i) {
  return store.group(i) ? store.group(i)->members : std::vector<std::string>{"<no group>"};
}

TEST(GroupInfoInput, RefusesWhatTheDialogMustNotAccept) {
  TwoGroups store;
  struct Case {
    const char* name;
    std::string groupName, message;
    bool editing;
    std::optional<NoteKind> refusedAs;
    const char* text;
  } cases[] = {
      {"empty name", "", "hello", false, NOTE_ERROR, NOTE_INVALID_GROUP},
      {"one-character message", "Family", "x", false, NOTE_ERROR, NOTE_INVALID_GROUP},
      {"empty message while editing", "Friends", "", true, NOTE_ERROR, NOTE_INVALID_GROUP},
      {"two-character message", "Family", "ok", false, std::nullopt, ""},
      {"one character of three bytes", "\u5BB6", "\u597D", false, NOTE_ERROR, NOTE_INVALID_GROUP},
      {"two characters of any script", "\u5BB6", "\u4F60\u597D", false, std::nullopt, ""},
      {"same name, same case", "Friends", "hello", false, NOTE_CAUTION, NOTE_GROUP_EXISTS},
      {"name differing in case only", "friends", "hello", false, std::nullopt, ""},
      {"editing keeps its own name", "Friends", "hello", true, std::nullopt, ""},
      {"editing to another group's name", "Work", "hello", true, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    auto refusal = refuseGroupInfo(store, c.groupName, c.message, c.editing);
    ASSERT_EQ(refusal.has_value(), c.refusedAs.has_value()) << c.name;
    if (!refusal) continue;
    EXPECT_EQ(refusal->kind, *c.refusedAs) << c.name;
    EXPECT_EQ(refusal->text, c.text) << c.name;
  }
}

TEST(UserIdInput, RefusesEmptyAndIdsThatAnyGroupHolds) {
  TwoGroups store;
  struct Case {
    const char* id;
    std::optional<NoteKind> refusedAs;
  } cases[] = {
      {"", NOTE_ERROR},       {"alice", NOTE_CAUTION}, {"ALICE", NOTE_CAUTION},
      {"bob", NOTE_CAUTION},  {"Carol", NOTE_CAUTION}, {"alice2", std::nullopt},
      {"alic", std::nullopt}, {"dave", std::nullopt},
  };
  for (const Case& c : cases) {
    auto refusal = refuseUserId(store, c.id);
    ASSERT_EQ(refusal.has_value(), c.refusedAs.has_value()) << '"' << c.id << '"';
    if (refusal) {
      EXPECT_EQ(refusal->kind, *c.refusedAs) << c.id;
    }
  }
  EXPECT_EQ(refuseUserId(store, "")->text, NOTE_INVALID_USER);
  EXPECT_EQ(refuseUserId(store, "ALICE")->text, NOTE_USER_EXISTS);
}

TEST(GroupInput, FieldsAreCutAndJoined) {
  EXPECT_EQ(fieldText(std::string(200, 'n')), std::string(127, 'n'));
  EXPECT_EQ(groupMessageFromLines({"Back ", "soon"}), "Back soon");
  EXPECT_EQ(groupMessageFromLines({std::string(130, 'a'), "b"}), std::string(127, 'a') + "b");
}

TEST(GroupButtons, CreateEditRemoveAndTheirNotes) {
  TwoGroups store;

  EXPECT_FALSE(applyCreateGroup(store, "", "")) << "cancelled create";
  EXPECT_EQ(store.groupCount(), 2u);
  auto created = applyCreateGroup(store, "Family", "Hi mum");
  ASSERT_TRUE(created);
  EXPECT_EQ(created->kind, NOTE_INFO);
  EXPECT_EQ(created->text, "New group created...");
  EXPECT_EQ(store.groupNames(), (std::vector<std::string>{"Friends", "Work", "Family"}));

  EXPECT_FALSE(applyEditGroup(store, 0, "", "")) << "cancelled edit";
  EXPECT_FALSE(applyEditGroup(store, 9, "Gone", "msg")) << "edit of a group that is gone";
  auto edited = applyEditGroup(store, 0, "Pals", "Later");
  ASSERT_TRUE(edited);
  EXPECT_EQ(edited->text, "Group Modified...");
  EXPECT_EQ(store.group(0)->name, "Pals");
  EXPECT_EQ(store.group(0)->message, "Later");
  EXPECT_EQ(membersOf(store, 0), (std::vector<std::string>{"alice", "Bob"})) << "members stay";

  auto unselected = applyRemoveGroup(store, std::nullopt);
  ASSERT_TRUE(unselected);
  EXPECT_EQ(unselected->kind, NOTE_CAUTION);
  EXPECT_EQ(unselected->text,
            "Select a Group from the list to  edit\n if no Group Exists Create One");
  EXPECT_EQ(store.groupCount(), 3u);
  EXPECT_FALSE(applyRemoveGroup(store, 3)) << "a row past the groups";
  auto removed = applyRemoveGroup(store, 0);
  ASSERT_TRUE(removed);
  EXPECT_EQ(removed->text, "Group removed...");
  EXPECT_EQ(store.groupNames(), (std::vector<std::string>{"Work", "Family"}));
}

// After a button the store is saved; the change's info note only follows a save that
// worked, so a failed save asks for its error popup alone. Groups.lst is a folder in the
// failing cases, which no save can replace.
class SaveAndTellTest : public ScratchDirTest {};

TEST_F(SaveAndTellTest, AFailedSaveAsksForNoInfoNote) {
  struct Case {
    const char* name;
    bool saves;
    std::optional<GroupNote> note;
    std::vector<unsigned> popups;
  } cases[] = {
      {"change saved", true, GroupNote{NOTE_INFO, NOTE_GROUP_MODIFIED}, {UM_SHOW_NOTE_INFO}},
      {"change not saved", false, GroupNote{NOTE_INFO, NOTE_USER_CREATED}, {UM_SHOW_NOTE_ERROR}},
      {"caution, saved", true, GroupNote{NOTE_CAUTION, NOTE_SELECT_GROUP}, {UM_SHOW_NOTE_CAUTION}},
      {"caution, not saved",
       false,
       GroupNote{NOTE_CAUTION, NOTE_SELECT_GROUP},
       {UM_SHOW_NOTE_CAUTION, UM_SHOW_NOTE_ERROR}},
      {"nothing to tell, not saved", false, std::nullopt, {UM_SHOW_NOTE_ERROR}},
  };
  int number = 0;
  for (const Case& c : cases) {
    const std::string file = "Groups" + std::to_string(++number) + ".lst";
    if (!c.saves) std::filesystem::create_directory(file);
    GroupStore store(file);
    fillTwoGroups(store);
    SharedStateGuard shared;
    saveAndTell(store, c.note);
    EXPECT_EQ(shared.window.posted(), c.popups) << c.name;
    EXPECT_EQ(std::filesystem::is_regular_file(file), c.saves) << c.name;
  }
}

TEST(MemberButtons, AddAppendsToTheChosenGroup) {
  TwoGroups store;
  EXPECT_FALSE(applyAddMember(store, 1, "")) << "cancelled";
  EXPECT_FALSE(applyAddMember(store, 5, "dave")) << "group gone";
  auto added = applyAddMember(store, 1, "dave");
  ASSERT_TRUE(added);
  EXPECT_EQ(added->text, "New user created...");
  EXPECT_EQ(membersOf(store, 1), (std::vector<std::string>{"carol", "dave"}));
  EXPECT_EQ(membersOf(store, 0), (std::vector<std::string>{"alice", "Bob"}));
}

TEST(MemberButtons, RemoveTouchesOnlyTheMemberTheWindowShows) {
  struct Case {
    const char* name;
    std::optional<std::size_t> member, groupSelection, lastSelected;
    MembersShown shown;
    bool removed;
    const char* note;
    std::vector<std::string> friendsAfter, workAfter;
  } cases[] = {
      {"selected group and member",
       1,
       0,
       0,
       {0, {"alice", "Bob"}},
       true,
       "User removed...",
       {"alice"},
       {"carol"}},
      {"groups list lost its selection: last selected",
       0,
       std::nullopt,
       1,
       {1, {"carol"}},
       true,
       "User removed...",
       {"alice", "Bob"},
       {}},
      {"no member selected",
       std::nullopt,
       0,
       0,
       {0, {"alice", "Bob"}},
       false,
       " A User has not been Selected",
       {"alice", "Bob"},
       {"carol"}},
      {"last selected group now another group",
       0,
       std::nullopt,
       0,
       {0, {"zed"}},
       false,
       "",
       {"alice", "Bob"},
       {"carol"}},
      {"last selected group gone",
       0,
       std::nullopt,
       7,
       {7, {"x"}},
       false,
       "",
       {"alice", "Bob"},
       {"carol"}},
      {"window shows another group than the list",
       0,
       1,
       0,
       {0, {"alice", "Bob"}},
       false,
       "",
       {"alice", "Bob"},
       {"carol"}},
      {"row past the shown members",
       2,
       0,
       0,
       {0, {"alice", "Bob"}},
       false,
       "",
       {"alice", "Bob"},
       {"carol"}},
      {"nothing ever selected",
       0,
       std::nullopt,
       std::nullopt,
       {},
       false,
       "",
       {"alice", "Bob"},
       {"carol"}},
  };
  for (const Case& c : cases) {
    TwoGroups store;
    MemberRemoval r = applyRemoveMember(store, c.member, c.groupSelection, c.lastSelected, c.shown);
    EXPECT_EQ(r.removed, c.removed) << c.name;
    EXPECT_EQ(r.note ? r.note->text : "", c.note) << c.name;
    EXPECT_EQ(membersOf(store, 0), c.friendsAfter) << c.name;
    EXPECT_EQ(membersOf(store, 1), c.workAfter) << c.name;
  }
}

}  // namespace
