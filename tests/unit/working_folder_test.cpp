// Where a start keeps its files, for the ways Windows users start Quorvane.
#include "app/working_folder.h"

#include <gtest/gtest.h>

namespace {

const std::string PROGRAM = "C:\\Users\\Ann\\AppData\\Local\\Programs\\Quorvane";
const std::string TEMP = "C:\\Users\\Ann\\AppData\\Local\\Temp";
const std::string DATA = "C:\\Users\\Ann\\AppData\\Roaming\\Quorvane";
const std::string ZIP = TEMP + "\\Temp1_Quorvane.zip\\Quorvane";
const std::string OWN = "D:\\Tools\\Quorvane";
const std::string SYSTEM = "C:\\Windows\\System32";

TEST(WorkingFolder, EachKindOfStartFolderKeepsTheFilesWhereTheUserFindsThem) {
  struct Case {
    std::string current;
    bool uninstaller, writable;
    std::string data, folder;
    FolderNotice notice;
  } cases[] = {
      {DATA, true, true, DATA, DATA, FolderNotice::None},  // a shortcut
      {PROGRAM, true, true, DATA, DATA, FolderNotice::None},
      {"c:/users/ann/appdata/local/programs/QUORVANE/", true, true, DATA, DATA, FolderNotice::None},
      {PROGRAM, false, true, DATA, PROGRAM, FolderNotice::None},  // the zip unpacked there
      {ZIP, false, true, DATA, ZIP, FolderNotice::Temporary},
      {TEMP + "\\", false, true, DATA, TEMP + "\\", FolderNotice::Temporary},
      {TEMP + "2", false, true, DATA, TEMP + "2", FolderNotice::None},
      {SYSTEM, false, false, DATA, DATA, FolderNotice::NotWritable},
      {ZIP, false, false, DATA, DATA, FolderNotice::NotWritable},
      {SYSTEM, false, false, "", SYSTEM, FolderNotice::None},  // no data folder known
      {OWN, false, true, DATA, OWN, FolderNotice::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.current + (c.uninstaller ? " installed" : "") + (c.writable ? "" : " refusing"));
    const FolderChoice choice =
        chooseWorkingFolder({c.current, PROGRAM, c.uninstaller, TEMP, c.writable, c.data});
    EXPECT_EQ(choice.folder, c.folder);
    EXPECT_EQ(choice.notice, c.notice);
  }
}

}  // namespace
