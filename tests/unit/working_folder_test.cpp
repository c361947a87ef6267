// Where a start keeps its files, for the ways Windows users start Quorvane.
#include "app/working_folder.h"

#include <gtest/gtest.h>

namespace {

const char* const PROGRAM = "C:\\Users\\Ann\\AppData\\Local\\Programs\\Quorvane";
const char* const TEMP = "C:\\Users\\Ann\\AppData\\Local\\Temp";
const char* const DATA = "C:\\Users\\Ann\\AppData\\Roaming\\Quorvane";

TEST(WorkingFolder, EachKindOfStartFolderKeepsTheFilesWhereTheUserFindsThem) {
  struct Case {
    const char* name;
    std::string current;
    bool uninstaller, writable;
    std::string data;
    std::string folder;
    FolderNotice notice;
  } cases[] = {
      {"shortcut", DATA, true, true, DATA, DATA, FolderNotice::None},
      {"program folder", PROGRAM, true, true, DATA, DATA, FolderNotice::None},
      {"program folder spelt otherwise", "c:/users/ann/appdata/local/programs/QUORVANE/", true,
       true, DATA, DATA, FolderNotice::None},
      {"unpacked zip beside no uninstaller", PROGRAM, false, true, DATA, PROGRAM,
       FolderNotice::None},
      {"zip opened in Explorer", std::string(TEMP) + "\\Temp1_Quorvane.zip\\Quorvane", false, true,
       DATA, std::string(TEMP) + "\\Temp1_Quorvane.zip\\Quorvane", FolderNotice::Temporary},
      {"the temporary folder itself", std::string(TEMP) + "\\", false, true, DATA,
       std::string(TEMP) + "\\", FolderNotice::Temporary},
      {"a sibling named like it", std::string(TEMP) + "2", false, true, DATA,
       std::string(TEMP) + "2", FolderNotice::None},
      {"System32", "C:\\Windows\\System32", false, false, DATA, DATA, FolderNotice::NotWritable},
      {"read-only temporary copy", std::string(TEMP) + "\\x", false, false, DATA, DATA,
       FolderNotice::NotWritable},
      {"no data folder", "C:\\Windows\\System32", false, false, "", "C:\\Windows\\System32",
       FolderNotice::None},
      {"a folder of the user's own", "D:\\Tools\\Quorvane", false, true, DATA,
       "D:\\Tools\\Quorvane", FolderNotice::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FolderChoice choice =
        chooseWorkingFolder({c.current, PROGRAM, c.uninstaller, TEMP, c.writable, c.data});
    EXPECT_EQ(choice.folder, c.folder);
    EXPECT_EQ(choice.notice, c.notice);
  }
}

}  // namespace
