// The choice of the working folder from what a start finds.
#include "app/working_folder.h"

#include "base/letter_case.h"

namespace {

// A path in one spelling: upper-case letters (Windows ignores their case in names),
// backslashes, and no separator at the end.
std::string comparable(const std::string& path) {
  std::string out = UpperCase(path);
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

}  // namespace

bool sameFolder(const std::string& a, const std::string& b) {
  return !a.empty() && comparable(a) == comparable(b);
}

bool insideFolder(const std::string& path, const std::string& folder) {
  const std::string p = comparable(path), f = comparable(folder);
  if (f.empty() || p.size() < f.size() || p.compare(0, f.size(), f) != 0) return false;
  return p.size() == f.size() || p[f.size()] == '\\';
}

FolderChoice chooseWorkingFolder(const StartFolders& start) {
  const bool dataKnown = !start.data.empty();
  if (dataKnown && start.uninstallerBeside && sameFolder(start.current, start.program))
    return {start.data, FolderNotice::None};
  if (dataKnown && !start.currentWritable && !sameFolder(start.current, start.data))
    return {start.data, FolderNotice::NotWritable};
  if (insideFolder(start.current, start.temporary)) return {start.current, FolderNotice::Temporary};
  return {start.current, FolderNotice::None};
}
