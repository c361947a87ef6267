// Groups.lst from arbitrary bytes: every member that loads is found by the lookup in both
// forms, and saving what was loaded keeps the groups and reaches a fixed point at once.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "groups/group_store.h"
#include "base/letter_case.h"
#include "base/utf8.h"

namespace {

const char* const FILE_NAME = "Groups.lst";

std::vector<Group> groupsOf(const GroupStore& store) {
  std::vector<Group> groups;
  for (std::size_t i = 0; i < store.groupCount(); ++i) groups.push_back(*store.group(i));
  return groups;
}

bool sameGroups(const std::vector<Group>& a, const std::vector<Group>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].message != b[i].message || a[i].members != b[i].members) {
      return false;
    }
  }
  return true;
}

// The message the first group holding this ID (in any letter case) answers with.
const std::string* firstGroupMessageFor(const std::vector<Group>& groups, const std::string& id) {
  for (const Group& group : groups) {
    for (const std::string& member : group.members) {
      if (EqualNoCase(member, id)) return &group.message;
    }
  }
  return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnterScratchFolder("groups");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const UnitTimeLimit limit;
  WriteWholeFile(FILE_NAME, data, size);
  GroupStore store;
  store.load();
  const std::vector<Group> loaded = groupsOf(store);

  for (const Group& group : loaded) {
    QV_REQUIRE(Utf8CharCount(group.name) <= 1023 && Utf8CharCount(group.message) <= 1023);
    QV_REQUIRE(IsValidUtf8(group.name) && IsValidUtf8(group.message));
    for (const std::string& member : group.members) {
      QV_REQUIRE(Utf8CharCount(member) <= 1023 && IsValidUtf8(member));
      const std::string* expected = firstGroupMessageFor(loaded, member);
      QV_REQUIRE(expected != nullptr);
      QV_REQUIRE(store.findGroupMessage(member, nullptr, false));
      QV_REQUIRE(store.findGroupMessage(UpperCase(member), nullptr, false));
      std::string reply = "untouched";
      QV_REQUIRE(store.findGroupMessage(member + ",>", &reply, true));
      QV_REQUIRE(reply == *expected + ">");
    }
  }

  QV_REQUIRE(store.save());
  const std::string saved = ReadWholeFile(FILE_NAME);
  GroupStore again;
  again.load();
  QV_REQUIRE(sameGroups(groupsOf(again), loaded));
  QV_REQUIRE(again.save());
  QV_REQUIRE(ReadWholeFile(FILE_NAME) == saved);
  QV_REQUIRE(WorkingFolderEntries() == std::vector<std::string>{FILE_NAME});
  return 0;
}
