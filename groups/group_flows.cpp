// What the group windows' buttons and input dialogs decide.
#include "groups/group_flows.h"

#include "base/edit_lines.h"
#include "base/utf8.h"

const char* const NOTE_GROUP_CREATED = "New group created...";
const char* const NOTE_SELECT_GROUP =
    "Select a Group from the list to  edit\n if no Group Exists Create One";
const char* const NOTE_GROUP_MODIFIED = "Group Modified...";
const char* const NOTE_GROUP_REMOVED = "Group removed...";
const char* const NOTE_INVALID_GROUP = "Please Enter a Valid GroupName and/or Group Message";
const char* const NOTE_GROUP_EXISTS = "The Group you are trying to create already exists...";
const char* const NOTE_USER_CREATED = "New user created...";
const char* const NOTE_NO_USER_SELECTED = " A User has not been Selected";
const char* const NOTE_USER_REMOVED = "User removed...";
const char* const NOTE_INVALID_USER = "Please Enter a Valid UserName...";
const char* const NOTE_USER_EXISTS =
    "The User you are trying to create already exists in some group...";
const char* const NOTE_GROUPS_NOT_SAVED = "Could not save Groups.lst...";

bool saveGroups(GroupStore& store) {
  std::string reason;
  if (store.save(&reason)) return true;
  TellSaveFailed("Groups.lst", reason, NOTE_GROUPS_NOT_SAVED);
  return false;
}

void saveAndTell(GroupStore& store, const std::optional<GroupNote>& note) {
  const bool reportsChange = note && note->kind == NOTE_INFO;
  if (note && !reportsChange) RequestNote(note->kind, note->text);
  if (saveGroups(store) && reportsChange) RequestNote(note->kind, note->text);
}

std::string fieldText(const std::string& firstLine) {
  return joinEditLines({firstLine}, GROUP_FIELD_LIMIT);
}

std::string groupMessageFromLines(const std::vector<std::string>& lines) {
  return joinEditLines(lines, GROUP_FIELD_LIMIT);
}

std::optional<GroupNote> refuseGroupInfo(const GroupStore& store, const std::string& name,
                                         const std::string& message, bool editing) {
  if (Utf8CharCount(message) < 2 || name.empty()) return GroupNote{NOTE_ERROR, NOTE_INVALID_GROUP};
  if (!editing && store.hasGroupNamed(name)) return GroupNote{NOTE_CAUTION, NOTE_GROUP_EXISTS};
  return std::nullopt;
}

std::optional<GroupNote> refuseUserId(const GroupStore& store, const std::string& userId) {
  if (userId.empty()) return GroupNote{NOTE_ERROR, NOTE_INVALID_USER};
  if (store.findGroupMessage(userId, nullptr, false)) {
    return GroupNote{NOTE_CAUTION, NOTE_USER_EXISTS};
  }
  return std::nullopt;
}

std::optional<GroupNote> applyCreateGroup(GroupStore& store, const std::string& name,
                                          const std::string& message) {
  if (name.empty()) return std::nullopt;
  store.addGroup(name, message);
  return GroupNote{NOTE_INFO, NOTE_GROUP_CREATED};
}

std::optional<GroupNote> applyEditGroup(GroupStore& store, std::size_t index,
                                        const std::string& name, const std::string& message) {
  if (name.empty() || message.empty()) return std::nullopt;
  if (!store.updateGroup(index, name, message)) return std::nullopt;
  return GroupNote{NOTE_INFO, NOTE_GROUP_MODIFIED};
}

std::optional<GroupNote> applyRemoveGroup(GroupStore& store, std::optional<std::size_t> selection) {
  if (!selection) return GroupNote{NOTE_CAUTION, NOTE_SELECT_GROUP};
  if (!store.removeGroup(*selection)) return std::nullopt;
  return GroupNote{NOTE_INFO, NOTE_GROUP_REMOVED};
}

std::optional<GroupNote> applyAddMember(GroupStore& store, std::size_t group,
                                        const std::string& userId) {
  if (userId.empty()) return std::nullopt;
  if (!store.addMember(group, userId)) return std::nullopt;
  return GroupNote{NOTE_INFO, NOTE_USER_CREATED};
}

MemberRemoval applyRemoveMember(GroupStore& store, std::optional<std::size_t> member,
                                std::optional<std::size_t> group,
                                std::optional<std::size_t> lastSelected,
                                const MembersShown& shown) {
  MemberRemoval outcome;
  if (!group) group = lastSelected;
  if (!member) {
    outcome.note = GroupNote{NOTE_CAUTION, NOTE_NO_USER_SELECTED};
    return outcome;
  }
  if (!group || shown.group != group || *member >= shown.members.size()) return outcome;
  std::optional<Group> current = store.group(*group);
  if (!current || *member >= current->members.size() ||
      current->members[*member] != shown.members[*member]) {
    return outcome;
  }
  if (!store.removeMember(*group, *member)) return outcome;
  outcome.removed = true;
  outcome.group = *group;
  outcome.note = GroupNote{NOTE_INFO, NOTE_USER_REMOVED};
  return outcome;
}

std::string membersHeading(const std::string& groupName) {
  return "User List for Group -> " + groupName;
}
