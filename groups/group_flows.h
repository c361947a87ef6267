// The decisions behind the groups and members windows: what the two small input dialogs
// accept, and what each button changes in the group store and which note it asks for.
// The windows only read their controls, run the dialogs and show what these answer.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "groups/group_store.h"
#include "base/shared_state.h"

// The longest name, message line or user ID that an input field gives.
constexpr std::size_t GROUP_FIELD_LIMIT = 127;

// A popup's kind and text: what a button reports, or why an input dialog stays open (then
// the text also goes on the dialog's status line).
struct GroupNote {
  NoteKind kind;
  std::string text;
};

extern const char* const NOTE_GROUP_CREATED;
extern const char* const NOTE_SELECT_GROUP;
extern const char* const NOTE_GROUP_MODIFIED;
extern const char* const NOTE_GROUP_REMOVED;
extern const char* const NOTE_INVALID_GROUP;
extern const char* const NOTE_GROUP_EXISTS;
extern const char* const NOTE_USER_CREATED;
extern const char* const NOTE_NO_USER_SELECTED;
extern const char* const NOTE_USER_REMOVED;
extern const char* const NOTE_INVALID_USER;
extern const char* const NOTE_USER_EXISTS;
extern const char* const NOTE_GROUPS_NOT_SAVED;

// Saves "Groups.lst". A save that fails is told at once, with its reason in the main
// window's status line and an error note, whatever the notification switch says: the
// change holds for this run but would be gone at the next start. True when saved.
bool saveGroups(GroupStore& store);

// Saves after a button and tells what the button did. A caution (nothing changed) is
// requested before the save as it stands; a change's info note only once the change is
// saved, so that a failed save tells nothing but its error.
void saveAndTell(GroupStore& store, const std::optional<GroupNote>& note);

// What the fields give: the first line of a single-line field, the joined lines of the
// message field, each cut to GROUP_FIELD_LIMIT.
std::string fieldText(const std::string& firstLine);
std::string groupMessageFromLines(const std::vector<std::string>& lines);

// The group information dialog's OK: a name and a message of at least two characters
// are needed; a new group may not take a name that a group has already (letter case
// counts). An existing group being edited may take any name.
std::optional<GroupNote> refuseGroupInfo(const GroupStore& store, const std::string& name,
                                         const std::string& message, bool editing);

// The user ID dialog's OK: an ID is needed, and no group may hold it already, letter case
// ignored.
std::optional<GroupNote> refuseUserId(const GroupStore& store, const std::string& userId);

// After the group information dialog for a new group; none when it was cancelled.
std::optional<GroupNote> applyCreateGroup(GroupStore& store, const std::string& name,
                                          const std::string& message);

// After the dialog for group `index`; none when it was cancelled or the group is gone.
std::optional<GroupNote> applyEditGroup(GroupStore& store, std::size_t index,
                                        const std::string& name, const std::string& message);

// Remove with the groups list's selection; without one, the caution to select a group.
// None when the selection names no group any more.
std::optional<GroupNote> applyRemoveGroup(GroupStore& store, std::optional<std::size_t> selection);

// After the user ID dialog; none when it was cancelled or the group is gone.
std::optional<GroupNote> applyAddMember(GroupStore& store, std::size_t group,
                                        const std::string& userId);

// What the members window shows: the group it was filled for and that group's members
// as they stood then, row by row.
struct MembersShown {
  std::optional<std::size_t> group;
  std::vector<std::string> members;
};

struct MemberRemoval {
  bool removed = false;
  std::size_t group = 0;  // the group removed from, when removed
  std::optional<GroupNote> note;
};

// [Remove]: `member` is the members list's selection, `group` the groups list's, with
// `lastSelected` standing in when the groups list has none. Only the member the user sees
// is removed: when the group or the row no longer holds what the window shows (the group
// was removed or the list refilled since), nothing changes.
MemberRemoval applyRemoveMember(GroupStore& store, std::optional<std::size_t> member,
                                std::optional<std::size_t> group,
                                std::optional<std::size_t> lastSelected, const MembersShown& shown);

// The members window's heading for a group.
std::string membersHeading(const std::string& groupName);
