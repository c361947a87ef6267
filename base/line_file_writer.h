// Writes a small text file of CR LF lines in the working directory, all or nothing: the
// new content goes to a temporary file beside it, which then replaces the old file in one
// step. A failure leaves the file with its old content (or, failing that, the new one) and
// no temporary file behind, unless neither content could be put under the file's name.
#pragma once

#include <string>
#include <vector>

#include "base/line_reader.h"

class LineFileWriter {
 public:
  // The name is kept to at most 99 characters; no directory part is added. A lone CR is
  // written as it is only into a file whose reader takes it as text.
  explicit LineFileWriter(const std::string& fileName, LoneCr loneCr = LoneCr::EndsLine);

  const std::string& fileName() const { return fileName_; }
  // Replaces the file's content by these lines, each followed by CR LF. True on success;
  // otherwise `failure` (if given) receives the system's reason and the names of any files
  // that keep a content the file does not hold.
  bool writeLines(const std::vector<std::string>& lines, std::string* failure = nullptr);

 private:
  std::string fileName_;
  LoneCr loneCr_;
};
