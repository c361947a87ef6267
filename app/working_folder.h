// Where Quorvane keeps its files: the folder it is started in, unless that folder would
// lose them, hide them from the user or refuse them.
#pragma once

#include <string>

// What a start finds, as plain values. Paths are Windows paths, best in their long form.
struct StartFolders {
  std::string current;             // the folder Quorvane was started in
  std::string program;             // the folder holding quorvane.exe
  bool uninstallerBeside = false;  // uninstall.exe lies beside quorvane.exe: installed
  std::string temporary;           // the user's temporary folder
  bool currentWritable = true;     // a file could be made in `current`
  std::string data;                // %APPDATA%\Quorvane; empty when Windows names none
};

// What the user is told at start about the choice.
enum class FolderNotice {
  None,
  Temporary,    // kept in a temporary folder: saved files will be lost
  NotWritable,  // moved to the data folder because the start folder refused a file
  MoveFailed,   // the data folder could not be made or entered: the start folder is kept
};

struct FolderChoice {
  std::string folder;  // the working folder from now on
  FolderNotice notice = FolderNotice::None;
};

// An installed copy started in its own folder works in the data folder, as its shortcuts
// start it; a folder that refuses files gives way to the data folder too. A temporary
// folder (a zip opened without unpacking) is kept, with a warning. Any other folder is
// the user's own choice and is kept.
FolderChoice chooseWorkingFolder(const StartFolders& start);

// Whether two paths name the same folder, and whether `path` is `folder` or lies inside
// it, as Windows compares paths: letter case, '/' for '\' and a closing separator make no
// difference.
bool sameFolder(const std::string& a, const std::string& b);
bool insideFolder(const std::string& path, const std::string& folder);
