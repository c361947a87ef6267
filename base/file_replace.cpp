// The steps of a save and what a failure at each of them leaves: the user's file holds its
// old content or the new one, and no content's only copy is ever deleted.
#include "base/file_replace.h"

namespace {

bool fail(std::string* failure, const std::string& reason) {
  if (failure) *failure = reason;
  return false;
}

// The reason, followed by where the contents are that fileName does not hold.
std::string keptElsewhere(const std::string& reason, const std::string& newAt,
                          const std::string& oldAt) {
  std::string kept;
  if (!newAt.empty()) kept = "The new content is kept in " + newAt;
  if (!oldAt.empty())
    kept += (kept.empty() ? "The old content is kept in " : ", the old in ") + oldAt;
  if (kept.empty()) return reason;
  return reason + (reason.empty() || reason.back() == '.' ? " " : ". ") + kept;
}

// Creates a temporary file of a name nothing has yet, holding the content. A leftover
// "<fileName>.tmp" is removed only while fileName exists: while it does not, that leftover
// may be the one copy of content a failed save could put nowhere else.
std::string createTemporary(SaveFiles& files, const std::string& fileName,
                            const std::string& content, bool fileExists, std::string& tempName) {
  std::string reason;
  for (unsigned attempt = 0; attempt < MOST_TEMPORARY_NAMES; ++attempt) {
    tempName = TemporaryName(fileName, files.processId(), attempt);
    if (attempt == 0 && fileExists) files.remove(tempName);  // a stale one, if it can go
    reason = files.create(tempName, content);
    // Only a name that is taken (by a file or a folder) is worth another try.
    if (reason.empty() || !files.exists(tempName)) break;
  }
  return reason;
}

// A name nothing has for the old or the new content; empty if every one tried is taken.
std::string freeName(SaveFiles& files, const std::string& fileName, const char* content) {
  for (unsigned attempt = 0; attempt < MOST_TEMPORARY_NAMES; ++attempt) {
    const std::string name = KeptName(fileName, content, files.processId(), attempt);
    if (!files.exists(name)) return name;
  }
  return std::string();
}

// The new content is under fileName: the old one is no longer needed, and what the user
// had set on the file is set again if the replacement dropped it.
bool finish(SaveFiles& files, const std::string& fileName, const std::string& backup,
            std::string* failure) {
  files.remove(backup);
  const std::string reason = files.keepProperties(fileName);
  if (reason.empty()) return true;
  return fail(failure, "Its attributes could not be set again: " + reason);
}

// The replacement failed part-way. A rename moves a file, so the new content is under the
// temporary name until it is under fileName, and the old content is under fileName until
// it is under the backup name.
bool recover(SaveFiles& files, const std::string& fileName, const std::string& content,
             const std::string& tempName, const std::string& backup, const std::string& reason,
             std::string* failure) {
  const bool newInTemporary = files.exists(tempName);
  if (files.exists(fileName)) {
    if (!newInTemporary) return finish(files, fileName, backup, failure);
    // The old content is still in place. Whatever is under the backup name now was put
    // there during this save, perhaps a copy of the old content; it stays all the same.
    files.remove(tempName);
    return fail(failure, keptElsewhere(reason, "", files.exists(backup) ? backup : ""));
  }
  // The old content has left its name: the new one takes it, or else the old one returns.
  if (newInTemporary && files.move(tempName, fileName).empty())
    return finish(files, fileName, backup, failure);
  if (files.exists(backup) && files.move(backup, fileName).empty()) {
    files.remove(tempName);
    return fail(failure, reason);
  }
  // Neither could: the new content is kept under a name that later saves leave alone,
  // where one can be made, and in the temporary file otherwise.
  std::string newAt = newInTemporary ? tempName : "";
  const std::string copy = freeName(files, fileName, "new");
  if (newInTemporary && !copy.empty() && files.create(copy, content).empty()) {
    files.remove(tempName);
    newAt = copy;
  }
  return fail(failure, keptElsewhere(reason, newAt, files.exists(backup) ? backup : ""));
}

}  // namespace

bool ReplaceFileContent(SaveFiles& files, const std::string& fileName, const std::string& content,
                        std::string* failure) {
  bool existed = false;
  std::string reason = files.examine(fileName, existed);
  if (!reason.empty()) return fail(failure, reason);

  std::string tempName;
  reason = createTemporary(files, fileName, content, existed, tempName);
  if (!reason.empty()) return fail(failure, reason);

  if (!existed) {
    reason = files.move(tempName, fileName);
    if (reason.empty()) return true;
    // There was no old content, so the user's file is as it was.
    files.remove(tempName);
    return fail(failure, reason);
  }
  const std::string backup = freeName(files, fileName, "old");
  if (backup.empty()) {
    files.remove(tempName);
    return fail(failure, "No free name for the old content beside the file");
  }
  reason = files.replace(fileName, tempName, backup);
  if (reason.empty()) return finish(files, fileName, backup, failure);
  return recover(files, fileName, content, tempName, backup, reason, failure);
}
