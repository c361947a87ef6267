// The platform's part of an all-or-nothing file save.
#pragma once

#include <string>

// How many temporary names one save tries before it gives up.
constexpr unsigned MOST_TEMPORARY_NAMES = 100;

// The name of a save's temporary file beside fileName. The first attempt is "Groups.lst.tmp"
// for "Groups.lst": a leftover of that name (a save killed half-way) is removed first, so
// crashes leave nothing behind for long. Where it cannot be removed (a read-only file on
// Windows, a folder) the save takes names of its own, such as "Groups.lst.4120-1.tmp" for
// process 4120, which are only ever created new and so never write into a leftover.
inline std::string TemporaryName(const std::string& fileName, unsigned long processId,
                                 unsigned attempt) {
  if (attempt == 0) return fileName + ".tmp";
  return fileName + "." + std::to_string(processId) + "-" + std::to_string(attempt) + ".tmp";
}

// Writes the content completely into a new temporary file beside fileName, makes it
// durable and then puts it in place of fileName in one step. An existing fileName keeps
// what the user set on it (its attributes, permissions and, where the system keeps one,
// its creation time); one that is read-only or not a plain file is refused. On any
// failure fileName is left as it was, the temporary file made for the save does not
// remain, and `failure` (if given) receives the system's reason in words, on one line.
// True on success.
bool ReplaceFileContent(const std::string& fileName, const std::string& content,
                        std::string* failure = nullptr);
