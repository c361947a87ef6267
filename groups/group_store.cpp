// The reply groups, the member lookup the guard thread asks for every reply, and the
// file "Groups.lst" they are kept in.
#include "groups/group_store.h"

#include "base/line_reader.h"
#include "base/letter_case.h"

namespace {

// A name, message or ID line is kept to this many characters; the rest of a longer line
// is dropped so that every later line keeps its place in the file.
constexpr std::size_t MAX_LINE_CHARS = 1023;

bool contains(const std::string& line, const char* marker) {
  return line.find(marker) != std::string::npos;
}

}  // namespace

// A CR inside a line of "Groups.lst" (a hand-edited file, say) belongs to the text and
// goes back into the file as it came; only LF and CR LF end lines there.
GroupStore::GroupStore(const std::string& fileName) : writer_(fileName, LoneCr::IsText) {}

// Every operation below takes the store's mutex for its whole length: the guard thread's
// lookup waits for a change the user is making on the interface thread and then sees the
// group as it is afterwards, never with a name changed and a message not yet.

bool GroupStore::findGroupMessage(const std::string& probe, std::string* reply,
                                  bool senderKeyForm) const {
  const std::string wanted = UpperCase(probe);
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Group& group : groups_) {
    for (const std::string& member : group.members) {
      const std::string candidate = senderKeyForm ? member + ",>" : member;
      if (UpperCase(candidate) != wanted) continue;
      if (reply) *reply = group.message + ">";
      return true;
    }
  }
  return false;
}

bool GroupStore::hasGroupNamed(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Group& group : groups_) {
    if (group.name == name) return true;
  }
  return false;
}

void GroupStore::addGroup(const std::string& name, const std::string& message) {
  Group group{name, message, {}};
  std::lock_guard<std::mutex> lock(mutex_);
  groups_.push_back(std::move(group));
}

bool GroupStore::updateGroup(std::size_t index, const std::string& name,
                             const std::string& message) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= groups_.size()) return false;
  groups_[index].name = name;
  groups_[index].message = message;
  return true;
}

bool GroupStore::removeGroup(std::size_t index) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= groups_.size()) return false;
  groups_.erase(groups_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

bool GroupStore::addMember(std::size_t groupIndex, const std::string& userId) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (groupIndex >= groups_.size()) return false;
  groups_[groupIndex].members.push_back(userId);
  return true;
}

bool GroupStore::removeMember(std::size_t groupIndex, std::size_t memberIndex) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (groupIndex >= groups_.size()) return false;
  std::vector<std::string>& members = groups_[groupIndex].members;
  if (memberIndex >= members.size()) return false;
  members.erase(members.begin() + static_cast<std::ptrdiff_t>(memberIndex));
  return true;
}

std::size_t GroupStore::groupCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return groups_.size();
}

std::vector<std::string> GroupStore::groupNames() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> names;
  names.reserve(groups_.size());
  for (const Group& group : groups_) names.push_back(group.name);
  return names;
}

std::optional<Group> GroupStore::group(std::size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= groups_.size()) return std::nullopt;
  return groups_[index];
}

bool GroupStore::save(std::string* failure) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> lines;
  for (const Group& group : groups_) {
    lines.push_back("Group---");
    lines.push_back(group.name);
    lines.push_back(group.message);
    for (const std::string& member : group.members) {
      lines.push_back("User---");
      lines.push_back(member);
    }
    lines.push_back("---");
  }
  return writer_.writeLines(lines, failure);
}

void GroupStore::load() {
  // The file is read first and the store replaced in one step, so a lookup meanwhile
  // sees the old groups or the new ones.
  std::vector<Group> loaded;
  LineReader in(writer_.fileName(), LoneCr::IsText);
  if (in.isOpen()) {
    // Names, messages and IDs are taken by their position after a "Group" line and are
    // never examined, so they may hold the markers themselves. Past the end every read
    // gives an empty line: a file cut short still yields its last group.
    while (!in.atEnd()) {
      if (!contains(in.readLine(MAX_LINE_CHARS), "Group")) continue;
      Group group;
      group.name = in.readLine(MAX_LINE_CHARS);
      group.message = in.readLine(MAX_LINE_CHARS);
      for (std::string line = in.readLine(MAX_LINE_CHARS); contains(line, "User");
           line = in.readLine(MAX_LINE_CHARS)) {
        group.members.push_back(in.readLine(MAX_LINE_CHARS));
      }
      loaded.push_back(std::move(group));
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  groups_ = std::move(loaded);
}
