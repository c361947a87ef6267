// The reply groups: names, messages and member user IDs, the member lookup the responder
// asks, and their file "Groups.lst".
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/line_file_writer.h"

struct Group {
  std::string name;
  std::string message;
  std::vector<std::string> members;
};

// Every operation holds the store's mutex, so the guard thread's lookup sees a group
// either before or after a change made on the interface thread, never half-changed.
class GroupStore {
 public:
  explicit GroupStore(const std::string& fileName = "Groups.lst");

  // True when some member of some group equals the probe without regard to letter case
  // (with "," and ">" appended to the member when senderKeyForm); the reply, if given,
  // then becomes that group's message followed by ">".
  bool findGroupMessage(const std::string& probe, std::string* reply, bool senderKeyForm) const;
  bool hasGroupNamed(const std::string& name) const;

  // List changes; an index that no longer exists changes nothing and answers false.
  void addGroup(const std::string& name, const std::string& message);
  bool updateGroup(std::size_t index, const std::string& name, const std::string& message);
  bool removeGroup(std::size_t index);
  bool addMember(std::size_t groupIndex, const std::string& userId);
  bool removeMember(std::size_t groupIndex, std::size_t memberIndex);

  std::size_t groupCount() const;
  std::vector<std::string> groupNames() const;
  std::optional<Group> group(std::size_t index) const;

  // "Groups.lst": save writes the whole store (all or nothing); load replaces the store's
  // groups with those of the file, or leaves it empty when there is none. A failed save
  // hands its reason to `failure` if given.
  bool save(std::string* failure = nullptr);
  void load();

 private:
  mutable std::mutex mutex_;
  std::vector<Group> groups_;
  LineFileWriter writer_;
};
