// The folder dialog's start selection and the browse button of the selection page when
// no folder is chosen: a destination that did not exist is made for the browser and gone
// again afterwards, one that existed stays.
#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs/ordlg_BrowseDlg.h"
#include "dialogs/ordlg_FileGroupSelectDlg.h"
#include "paths/routines_ExpandPaths.h"

namespace kestrune::dialogs {
namespace {

namespace fs = std::filesystem;

TEST(FolderDialog, StartsOnTheNearestExistingDirectory) {
  fs::path base = fs::temp_directory_path() / "kst_folder_dialog";
  fs::remove_all(base);
  fs::create_directories(base / "a");
  const std::string a = (base / "a").string();
  EXPECT_EQ(TOpenFolderDialog::NearestExistingDirectory(a), a);
  EXPECT_EQ(TOpenFolderDialog::NearestExistingDirectory(a + "/missing/deeper"), a);
  EXPECT_EQ(TOpenFolderDialog::NearestExistingDirectory(a + "\\missing"), a);
  EXPECT_EQ(TOpenFolderDialog::NearestExistingDirectory("  "), "");
  EXPECT_EQ(TOpenFolderDialog::NearestExistingDirectory("nowhere-at-all"), "");
  EXPECT_EQ(TOpenFolderDialog::SelectionPath(a + "/missing"), a);
  // A drive root keeps its backslash; a short path gets one.
  EXPECT_EQ(TOpenFolderDialog::SelectionPath("nowhere-at-all"), "");
  fs::remove_all(base);
}

TEST(SpaceRules, MarginNeedAndCells) {
  EXPECT_EQ(space::KiloBytes(1023), 0);
  EXPECT_EQ(space::KiloBytes(1024), 1);
  // Past the signed 32-bit range nothing wraps.
  EXPECT_EQ(space::KiloBytes(int64_t{5} << 30), 5 * 1024 * 1024);
  EXPECT_FALSE(space::Enough(10, 1010));
  EXPECT_TRUE(space::Enough(10, 1011));
  EXPECT_FALSE(space::Enough(0, 1 << 30));
  EXPECT_EQ(space::Cell(2932), "2932     KB");
}

}  // namespace
}  // namespace kestrune::dialogs
