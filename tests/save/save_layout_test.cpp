// The save's layouts and targets: leading folders left out or all of them,
// and a destination that refuses every file, said once.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "save/save_rows.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

namespace fs = std::filesystem;

class SaveLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(destination_);
    test::WriteFileBytes(bkf_, std::string(4096, 'x'));
  }
  void Row(std::u16string_view path, std::int64_t size = 3, std::int64_t offset = 0) {
    const RowIndex row = catalogue_.AppendCatalogueRow(path);
    catalogue_.SetCatalogueNumber(row, kCellSize, size);
    catalogue_.SetCatalogueNumber(row, kCellOffset, offset);
    catalogue_.SetRowChecked(row, true);
  }
  SaveSummary Save(SaveLayout layout, SaveTarget* target = nullptr) {
    SaveObserver quiet;
    return SaveCheckedFiles(catalogue_,
                            {.bkfPath = bkf_, .destination = destination_, .prefix = u"Rec", .opener = OpenBkfFile,
                             .layout = layout, .target = target},
                            quiet);
  }
  // Every file below the destination, by its path there.
  std::map<std::string, std::string> Files() {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(destination_)) {
      if (entry.is_regular_file()) {
        files[fs::relative(entry.path(), destination_).generic_string()] = test::ReadFileBytes(entry.path());
      }
    }
    return files;
  }

  test::TempDir dir_;
  fs::path bkf_ = dir_ / "backup.bkf";
  fs::path destination_ = dir_ / "out";
  Catalogue catalogue_;
};

TEST_F(SaveLayoutTest, StrippedFoldersGoStraightIntoTheDestinationAndNeverLoseAFileName) {
  Row(u"BKF\\SET 1\\Docs\\a.txt");
  Row(u"BKF\\SET 1\\b.txt");
  const SaveSummary summary = Save({.stripFolders = 3, .flat = false});
  EXPECT_EQ(summary.saved, 2u);
  EXPECT_TRUE(summary.folders.empty()) << "no new top folder";
  EXPECT_EQ(Files(), (std::map<std::string, std::string>{{"a.txt", "xxx"}, {"b.txt", "xxx"}}));
}

TEST_F(SaveLayoutTest, StrippingTwoKeepsTheFoldersBelowTheSet) {
  Row(u"BKF\\SET 1\\Docs\\a.txt");
  Row(u"BKF\\SET 2\\Docs\\a.txt");
  EXPECT_EQ(Save({.stripFolders = 2, .flat = false}).saved, 2u);
  EXPECT_EQ(Files(), (std::map<std::string, std::string>{{"Docs/a (2).txt", "xxx"}, {"Docs/a.txt", "xxx"}}));
}

TEST_F(SaveLayoutTest, FlatNumbersClashesAndNeverReplacesWhatIsThere) {
  test::WriteFileBytes(destination_ / "a.txt", "mine");
  Row(u"BKF\\SET 1\\Docs\\a.txt");
  Row(u"BKF\\SET 2\\Other\\a.txt");
  EXPECT_EQ(Save({.stripFolders = 0, .flat = true}).saved, 2u);
  EXPECT_EQ(Files(),
            (std::map<std::string, std::string>{{"a (2).txt", "xxx"}, {"a (3).txt", "xxx"}, {"a.txt", "mine"}}));
}

// A destination that refuses every file for one reason (full, read-only)
// is said once: the files after it are counted, not tried one by one.
TEST_F(SaveLayoutTest, ADestinationThatRefusesEveryFileIsSaidOnce) {
  class FullDisk final : public SaveTarget {
   public:
    bool MakeFolder(TargetFolder, const std::string&, bool, int&) override { return true; }
    std::unique_ptr<TargetFile> CreateFile(TargetFolder, const std::string&, const FileTimes&, int& error) override {
      ++attempts;
      error = ENOSPC;
      return nullptr;
    }
    fs::path Where(TargetFolder, const std::string& name) const override { return name; }
    int attempts = 0;
  } full;
  for (int i = 0; i < 50; ++i) Row(u"BKF\\SET 1\\f" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u".txt");
  const SaveSummary summary = Save({}, &full);
  EXPECT_EQ(full.attempts, 1);
  EXPECT_EQ(summary.failed, 50u);
  EXPECT_EQ(summary.notTried, 49u);
  ASSERT_EQ(summary.problems.size(), 2u);
  EXPECT_EQ(summary.problems[1].reason,
            "49 more file(s) were not tried: the destination refuses every file: No space left on device");
  EXPECT_FALSE(summary.Complete());
}

}  // namespace
}  // namespace tallowin
