// The platform's part of an all-or-nothing file save.
#pragma once

#include <string>

// How many temporary names one save tries before it gives up.
constexpr unsigned MOST_TEMPORARY_NAMES = 100;

// The name of a save's temporary file beside fileName, such as "Groups.lst.4120-0.tmp" for
// process 4120's first attempt. It is only ever created new, so a leftover of that name
// (from a crash, say, even a read-only file or a folder) is never written to: the save
// takes the next name.
inline std::string TemporaryName(const std::string& fileName, unsigned long processId,
                                 unsigned attempt) {
  return fileName + "." + std::to_string(processId) + "-" + std::to_string(attempt) + ".tmp";
}

// Writes the content completely into a new temporary file beside fileName, makes it
// durable and then puts it in place of fileName in one step. An existing fileName that is
// read-only or not a plain file is refused. On any failure fileName is left as it was and
// the temporary file made for the save does not remain. True on success.
bool ReplaceFileContent(const std::string& fileName, const std::string& content);
