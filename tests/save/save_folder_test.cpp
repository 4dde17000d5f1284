// The save folder's own promises, on every system: a rename never replaces
// anything, and names never leave the folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "save/save_folder.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

namespace fs = std::filesystem;

class SaveFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int error = 0;
    folder_ = SaveFolder::OpenDestination(dir_.Path(), error);
    ASSERT_TRUE(folder_.IsOpen()) << error;
  }
  void Make(const char* name, std::string_view bytes) {
    int error = 0;
    SavedFile file = folder_.CreateFile(name, error);
    ASSERT_TRUE(file.IsOpen()) << error;
    ASSERT_TRUE(file.WriteAt(0, std::as_bytes(std::span(bytes)), error)) << error;
    ASSERT_TRUE(file.Close(error)) << error;
  }

  test::TempDir dir_;
  SaveFolder folder_;
};

TEST_F(SaveFolderTest, ARenameNeverReplacesAFileOrAFolder) {
  Make(".part", "new");
  Make("taken.txt", "old");
  fs::create_directory(dir_ / "folder");
  int error = 0;
  EXPECT_FALSE(folder_.RenameFile(".part", "taken.txt", error));
  EXPECT_EQ(error, EEXIST);
  EXPECT_FALSE(folder_.RenameFile(".part", "folder", error));
  EXPECT_EQ(error, EEXIST);
  EXPECT_EQ(test::ReadFileBytes(dir_ / "taken.txt"), "old");
  EXPECT_EQ(test::ReadFileBytes(dir_ / ".part"), "new");

  EXPECT_TRUE(folder_.RenameFile(".part", "free.txt", error)) << error;
  EXPECT_EQ(test::ReadFileBytes(dir_ / "free.txt"), "new");
  EXPECT_FALSE(fs::exists(dir_ / ".part"));
}

TEST_F(SaveFolderTest, AFileIsCreatedOnlyWhereNothingOfItsNameExists) {
  Make("a.txt", "first");
  int error = 0;
  EXPECT_FALSE(folder_.CreateFile("a.txt", error).IsOpen());
  EXPECT_EQ(error, EEXIST);
  EXPECT_FALSE(folder_.CreateFolder("a.txt", error).IsOpen());
  EXPECT_EQ(error, EEXIST);
  EXPECT_FALSE(folder_.OpenFolder("a.txt", error).IsOpen());
  EXPECT_EQ(error, ENOTDIR);
  folder_.RemoveFile("a.txt");
  EXPECT_FALSE(fs::exists(dir_ / "a.txt"));
  EXPECT_EQ(test::ReadFileBytes(dir_ / "a.txt"), "");
}

}  // namespace
}  // namespace tallowin
