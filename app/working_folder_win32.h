// Settles, before anything reads a file, the folder Quorvane keeps its files in.
#pragma once

#include "app/working_folder.h"

// Looks where this start was made, chooses the working folder (see chooseWorkingFolder)
// and makes it the current folder, creating the data folder (and any missing folder above
// it) when it moves there. Answers what the user must be told; a move that fails keeps
// every file in the start folder and says so.
FolderNotice SettleWorkingFolder();
