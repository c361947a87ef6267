// An all-or-nothing file save: its steps, and the platform's file calls they are made of.
#pragma once

#include <string>

// How many temporary names one save tries before it gives up.
constexpr unsigned MOST_TEMPORARY_NAMES = 100;

// The name of a save's temporary file beside fileName. The first attempt is "Groups.lst.tmp"
// for "Groups.lst": a leftover of that name (a save killed half-way) is removed first while
// "Groups.lst" exists, so crashes leave nothing behind for long. Where it cannot be removed
// (a read-only file on Windows, a folder) the save takes names of its own, such as
// "Groups.lst.4120-1.tmp" for process 4120, which are only ever created new and so never
// write into a leftover.
inline std::string TemporaryName(const std::string& fileName, unsigned long processId,
                                 unsigned attempt) {
  if (attempt == 0) return fileName + ".tmp";
  return fileName + "." + std::to_string(processId) + "-" + std::to_string(attempt) + ".tmp";
}

// A name for a content the user's file does not hold: "Groups.lst.old" for the old content
// while the new one is put in place, "Groups.lst.new" for new content that could not take
// the file's name; "Groups.lst.4120-1.old" and so on where those are taken. Only a name
// nothing has is used, and no save removes a file of such a name that it did not make.
inline std::string KeptName(const std::string& fileName, const char* content,
                            unsigned long processId, unsigned attempt) {
  if (attempt == 0) return fileName + "." + content;
  return fileName + "." + std::to_string(processId) + "-" + std::to_string(attempt) + "." + content;
}

// The file calls a save is made of, for one save. Each call answers an empty text when it
// succeeded, and otherwise the system's reason in words, on one line. The program's calls
// are the system's; tests use files in memory.
class SaveFiles {
 public:
  virtual ~SaveFiles() = default;
  virtual unsigned long processId() = 0;
  // Looks at the file the save replaces: `exists` tells whether there is one. A file that
  // may not be replaced (made read-only, a folder) is refused with its reason.
  virtual std::string examine(const std::string& fileName, bool& exists) = 0;
  // Makes `name`, a name nothing has, a new file with exactly this content, durably. Where
  // the platform can, it already carries what the user set on the examined file. A
  // failure leaves nothing of it behind.
  virtual std::string create(const std::string& name, const std::string& content) = 0;
  // Puts `source` in place of the existing `target`. The old content may go to `backup`, a
  // name nothing has, on the way.
  virtual std::string replace(const std::string& target, const std::string& source,
                              const std::string& backup) = 0;
  // Gives the file `from` the name `to`, which nothing has.
  virtual std::string move(const std::string& from, const std::string& to) = 0;
  // Sets on `name` again what the user had set on the examined file, where the
  // replacement has dropped it.
  virtual std::string keepProperties(const std::string& name) = 0;
  virtual bool exists(const std::string& name) = 0;
  virtual void remove(const std::string& name) = 0;
};

// Writes the content completely into a new temporary file beside fileName and then puts it
// in place of fileName. An existing fileName keeps what the user set on it (its attributes,
// permissions and, where the system keeps one, its creation time); one that is read-only
// or not a plain file is refused. On a failure `failure` (if given) receives the reason, on
// one line, and fileName holds its old content, or the new one; no file made by the save
// remains. Only where neither content can be put under fileName do the files that keep
// them remain, and the reason names them. True on success.
bool ReplaceFileContent(SaveFiles& files, const std::string& fileName, const std::string& content,
                        std::string* failure = nullptr);

// The same with the system's file calls.
bool ReplaceFileContent(const std::string& fileName, const std::string& content,
                        std::string* failure = nullptr);
