// Snapshot files: their exact bytes, loading them back, and damaged or
// foreign files.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "catalog/snapshot.h"
#include "catalog/text_convert.h"
#include "tests/support/scan_helpers.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

using Paths = std::vector<std::u16string>;
using test::Le;
using test::TempDir;

class Loader : public SnapshotLoadObserver {
 public:
  std::optional<std::u16string> LocateMissingBkf(std::u16string_view recorded) override {
    asked.emplace_back(recorded);
    return replacement;
  }
  void OnRowsBegin(std::u16string_view bkfPath) override { rowsBegin.emplace_back(bkfPath); }
  // Before a row whose percent moved; the stop once `stopAfter` rows are on
  // their way (a small snapshot's percent moves at every row).
  void OnProgress(const JobProgress& report) override {
    progress.push_back(report.Percent());
    if (stopAfter > 0 && report.done + 1 >= static_cast<std::uint64_t>(stopAfter)) stop.request_stop();
  }

  std::optional<std::u16string> replacement;
  int stopAfter = -1;  // rows to load before the stop is seen
  std::stop_source stop;
  std::vector<std::u16string> asked, rowsBegin;
  std::vector<int> progress;
};

// A folder holding an existing BKF file, for snapshots to point at.
class SnapshotFiles : public ::testing::Test {
 protected:
  void SetUp() override { test::WriteFileBytes(bkf, "not scanned here"); }

  std::filesystem::path Write(std::u16string_view text) {
    const auto path = dir / ("s" + std::to_string(count++) + ".TWBKF");
    test::WriteFileBytes(path, Le(text));
    return path;
  }
  std::u16string Header(std::u16string_view count) const {
    return u"<" + Utf16FromPath(bkf) + u">\r\n<" + std::u16string(count) + u">\r\n";
  }
  std::vector<std::u16string> Row(RowIndex row) const {
    std::vector<std::u16string> cells;
    for (int cell = 0; cell < kCatalogueCellCount; ++cell) {
      cells.push_back(catalogue.GetCatalogueCell(row, cell));
    }
    return cells;
  }

  TempDir dir;
  std::filesystem::path bkf = dir / "backup.bkf";
  Catalogue catalogue;
  Loader loader;
  int count = 0;
};

TEST_F(SnapshotFiles, WrittenFileHasExactlyTheseBytes) {
  test::AppendFileRow(catalogue, u"BKF\\BACKUP SET 1(Daily)\\Docs\\a.txt",
                          {.size = 5, .offset = 1154, .modified = 128234538450000000,
                           .accessed = 128752415990000000, .created = 0x8000'0000'0000'0001});
  catalogue.AppendCatalogueRow(u"BKF\\BACKUP SET 1(Daily)\\b");
  catalogue.SetCatalogueCell(1, kCellOffset, u"007");
  const auto target = dir / "small.TWBKF";

  const auto result = WriteSnapshot(target, u"C:\\Backups\\x.bkf", catalogue);
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(test::ReadFileBytes(target),
            Le(u"<C:\\Backups\\x.bkf>\r\n"
               u"<2>\r\n"
               u"<BKF\\BACKUP SET 1(Daily)\\Docs\\a.txt><5><1154><541038720><29856930>"
               u"<3809388928><29977507><1><-2147483648>\r\n"
               u"<BKF\\BACKUP SET 1(Daily)\\b><><007><><><><><><>\r\n"));
  // Nothing but the bkf file and the snapshot: no temporary file is left.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            2);
}

TEST_F(SnapshotFiles, WriteThenLoadGivesTheSameRowsAllChecked) {
  test::MtfWriter writer;
  writer.Tape().DataSet(u"One").Directory(u"Empty").Directory(u"Docs\\Sub");
  writer.File({.name = u"a.txt", .data = "alpha", .modified = {1999, 12, 31, 23, 59, 59}});
  writer.File({.name = u"b", .data = std::string(2000, 'b')});
  writer.DataSet(u"Two").Directory(u"Pics").File({.name = u"c.jpg", .data = ""}).EndOfSet();
  Catalogue scanned;
  test::ScanBytes(writer.Bytes(), scanned);
  ASSERT_EQ(scanned.CatalogueRowCount(), 3);
  scanned.SetCatalogueCell(2, kCellSize, u"007");  // a hand-edited value survives too
  const auto target = dir / "scan.TWBKF";
  ASSERT_TRUE(WriteSnapshot(target, Utf16FromPath(bkf), scanned).ok());

  const auto result = LoadSnapshot(target, catalogue, loader);
  EXPECT_EQ(result.status, SnapshotLoadStatus::kLoaded);
  EXPECT_EQ(result.bkfPath, Utf16FromPath(bkf));
  EXPECT_EQ(result.message, u"");
  ASSERT_EQ(catalogue.CatalogueRowCount(), 3);
  for (RowIndex row = 0; row < 3; ++row) {
    for (int cell = 0; cell < kCatalogueCellCount; ++cell) {
      EXPECT_EQ(catalogue.GetCatalogueCell(row, cell), scanned.GetCatalogueCell(row, cell))
          << "row " << row << " cell " << cell;
    }
    EXPECT_TRUE(catalogue.IsRowChecked(row));
  }
  // Only the rows' folder chains, in row order: "Empty" held no file.
  EXPECT_EQ(test::TreePaths(catalogue),
            (Paths{u"BKF", u"BKF\\BACKUP SET 1(One)", u"BKF\\BACKUP SET 1(One)\\Docs",
                   u"BKF\\BACKUP SET 1(One)\\Docs\\Sub", u"BKF\\BACKUP SET 2(Two)",
                   u"BKF\\BACKUP SET 2(Two)\\Pics"}));
  // Written again, the loaded catalogue gives the same file.
  const auto again = dir / "again.TWBKF";
  ASSERT_TRUE(WriteSnapshot(again, result.bkfPath, catalogue).ok());
  EXPECT_EQ(test::ReadFileBytes(again), test::ReadFileBytes(target));
}

TEST_F(SnapshotFiles, LoneSurrogatesInNamesSurviveTheRoundTrip) {
  const std::u16string path = u"BKF\\BACKUP SET 1()\\bad\xD800name\\x\xDFFF.txt";
  Catalogue source;
  source.AppendCatalogueRow(path);
  const auto target = dir / "odd.TWBKF";
  ASSERT_TRUE(WriteSnapshot(target, Utf16FromPath(bkf), source).ok());
  EXPECT_NE(test::ReadFileBytes(target).find(std::string("\x00\xD8", 2)), std::string::npos);
  ASSERT_EQ(LoadSnapshot(target, catalogue, loader).status, SnapshotLoadStatus::kLoaded);
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellPath), path);
}

TEST_F(SnapshotFiles, RowLineWithOneValueLeavesTheOtherCellsEmpty) {
  const auto result = LoadSnapshot(Write(Header(u"1") + u"<BKF\\X\\f.txt>\r\n"), catalogue, loader);
  EXPECT_EQ(result.status, SnapshotLoadStatus::kLoaded);
  EXPECT_EQ(Row(0), (std::vector<std::u16string>{u"BKF\\X\\f.txt", u"TXT File", u"", u"", u"",
                                                 u"", u"", u"", u"", u""}));
  EXPECT_EQ(test::TreePaths(catalogue), (Paths{u"BKF", u"BKF\\X"}));
}

TEST_F(SnapshotFiles, FewerValuesFillTheFirstCellsAndExtraValuesAreIgnored) {
  const auto file = Write(Header(u"2") + u"<BKF\\S\\a><1><2>\r\n" +
                          u"<BKF\\S\\b><1><2><3><4><5><6><7><8><9><10>\r\n");
  ASSERT_EQ(LoadSnapshot(file, catalogue, loader).status, SnapshotLoadStatus::kLoaded);
  EXPECT_EQ(Row(0), (std::vector<std::u16string>{u"BKF\\S\\a", u"File", u"1", u"2", u"", u"", u"",
                                                 u"", u"", u""}));
  EXPECT_EQ(Row(1), (std::vector<std::u16string>{u"BKF\\S\\b", u"File", u"1", u"2", u"3", u"4",
                                                 u"5", u"6", u"7", u"8"}));
}

class BadFirstLine : public SnapshotFiles, public ::testing::WithParamInterface<std::u16string> {};

TEST_P(BadFirstLine, IsRefusedWithTheOpenMessageAfterTheTreeWasCleared) {
  catalogue.EnsureFolderPath(u"BKF\\Earlier\\");
  catalogue.AppendCatalogueRow(u"BKF\\Earlier\\x");
  const auto result =
      LoadSnapshot(Write(GetParam() + u"\r\n<1>\r\n<BKF\\S\\a><1>\r\n"), catalogue, loader);
  EXPECT_EQ(result.status, SnapshotLoadStatus::kOpenFailed);
  EXPECT_EQ(result.message,
            u"Some problem occoured while opening file, make sure that file is not shared");
  EXPECT_EQ(test::TreePaths(catalogue), Paths{});
  EXPECT_EQ(test::Paths(catalogue), Paths{u"BKF\\Earlier\\x"});
  EXPECT_TRUE(loader.asked.empty());
}

INSTANTIATE_TEST_SUITE_P(Lines, BadFirstLine,
                         ::testing::Values(u"C:\\x.bkf", u"<C:\\x.bkf", u"C:\\x.bkf>",
                                           u">C:\\x.bkf<", u""));

TEST_F(SnapshotFiles, MissingSnapshotFileIsAnOpenFailure) {
  const auto result = LoadSnapshot(dir / "none.TWBKF", catalogue, loader);
  EXPECT_EQ(result.status, SnapshotLoadStatus::kOpenFailed);
  EXPECT_EQ(result.message,
            u"Some problem occoured while opening file, make sure that file is not shared");
}

TEST_F(SnapshotFiles, CountZeroAndNoRowsIsNoData) {
  catalogue.AppendCatalogueRow(u"BKF\\Earlier\\x");
  const auto result = LoadSnapshot(Write(Header(u"0")), catalogue, loader);
  EXPECT_EQ(result.status, SnapshotLoadStatus::kNoData);
  EXPECT_EQ(result.message, u"No data found in backup file");
  EXPECT_EQ(catalogue.CatalogueRowCount(), 0);
}

// The bar is told each new value once, not a million times the same.
TEST_F(SnapshotFiles, ProgressFollowsTheExpectedCountOrStaysAtZero) {
  const std::u16string rows = u"<BKF\\a>\r\n<BKF\\b>\r\n<BKF\\c>\r\n<BKF\\d>\r\n";
  const std::vector<std::pair<std::u16string, std::vector<int>>> cases = {
      {u"4", {0, 25, 50, 75}}, {u"3", {0, 33, 66, 100}}, {u"0", {0}},
      {u"-3", {0}},            {u"abc", {0}},            {u" 8x", {0, 12, 25, 37}}};
  for (const auto& [countText, progress] : cases) {
    Loader fresh;
    ASSERT_EQ(LoadSnapshot(Write(Header(countText) + rows), catalogue, fresh).status,
              SnapshotLoadStatus::kLoaded);
    EXPECT_EQ(catalogue.CatalogueRowCount(), 4) << "count " << std::string(countText.begin(), countText.end());
    EXPECT_EQ(fresh.progress, progress);
  }
}

TEST_F(SnapshotFiles, StopFlagEndsTheLoadKeepingTheRowsRead) {
  const auto file = Write(Header(u"3") + u"<BKF\\S\\a>\r\n<BKF\\S\\b>\r\n<BKF\\S\\c>\r\n");
  loader.stopAfter = 2;
  EXPECT_EQ(LoadSnapshot(file, catalogue, loader, loader.stop.get_token()).status, SnapshotLoadStatus::kLoaded);
  EXPECT_EQ(test::Paths(catalogue), (Paths{u"BKF\\S\\a", u"BKF\\S\\b"}));
  EXPECT_TRUE(catalogue.IsRowChecked(0) && catalogue.IsRowChecked(1));

  // A stop asked for before the load begins: the header is read, no row.
  Loader stopAtOnce;
  stopAtOnce.stop.request_stop();
  const auto result = LoadSnapshot(file, catalogue, stopAtOnce, stopAtOnce.stop.get_token());
  EXPECT_EQ(result.status, SnapshotLoadStatus::kNoData);
  EXPECT_EQ(result.message, u"No data found in backup file");
}

TEST_F(SnapshotFiles, MovedBkfFileIsLocatedAndTheChoiceIsUsed) {
  const std::u16string recorded = Utf16FromPath(dir / "moved-away.bkf");
  const auto file = Write(u"<" + recorded + u">\r\n<1>\r\n<BKF\\S\\a><1>\r\n");
  loader.replacement = Utf16FromPath(bkf);
  const auto result = LoadSnapshot(file, catalogue, loader);
  EXPECT_EQ(loader.asked, std::vector<std::u16string>{recorded});
  EXPECT_EQ(result.status, SnapshotLoadStatus::kLoaded);
  EXPECT_EQ(result.bkfPath, Utf16FromPath(bkf));
  EXPECT_EQ(loader.rowsBegin, std::vector<std::u16string>{Utf16FromPath(bkf)});
}

TEST_F(SnapshotFiles, BkfPathThatIsNotUtf8IsFoundAgain) {
  const auto latin1 = dir / "B\xE4" "ckup\xFF.bkf";  // not UTF-8: kept as lone surrogates
  test::WriteFileBytes(latin1, "x");
  catalogue.AppendCatalogueRow(u"BKF\\S\\a");
  const auto target = dir / "latin1.TWBKF";
  ASSERT_TRUE(WriteSnapshot(target, Utf16FromPath(latin1), catalogue).ok());
  Catalogue loaded;
  const auto result = LoadSnapshot(target, loaded, loader);
  EXPECT_EQ(result.status, SnapshotLoadStatus::kLoaded);
  EXPECT_TRUE(loader.asked.empty());
  EXPECT_EQ(PathFromUtf16(result.bkfPath), latin1);
}

TEST_F(SnapshotFiles, CancelledChoiceOfTheMovedBkfFileLoadsNothing) {
  catalogue.AppendCatalogueRow(u"BKF\\Earlier\\x");
  const auto file = Write(u"<" + Utf16FromPath(dir / "gone.bkf") + u">\r\n<1>\r\n<BKF\\S\\a>\r\n");
  const auto result = LoadSnapshot(file, catalogue, loader);
  EXPECT_EQ(result.status, SnapshotLoadStatus::kCancelled);
  EXPECT_EQ(loader.asked.size(), 1u);
  EXPECT_TRUE(loader.rowsBegin.empty());
  EXPECT_EQ(test::Paths(catalogue), Paths{u"BKF\\Earlier\\x"});
}

TEST_F(SnapshotFiles, EightBitTextIsNotASnapshot) {
  const std::string path = bkf.string();
  const auto file = dir / "ansi.TWBKF";
  test::WriteFileBytes(file, "<" + path + ">\r\n<1>\r\n<BKF\\S\\a.txt><5>\r\n");
  EXPECT_FALSE(LooksLikeSnapshot(file));
  const auto result = LoadSnapshot(file, catalogue, loader);
  EXPECT_EQ(result.status, SnapshotLoadStatus::kOpenFailed);
  EXPECT_EQ(catalogue.CatalogueRowCount(), 0);
}

TEST_F(SnapshotFiles, ByteOrderMarkStaysOutsideTheBkfPath) {
  // The mark lies before the first "<", so it is part of no value.
  const auto file = dir / "bom.TWBKF";
  test::WriteFileBytes(file, "\xFF\xFE" + Le(Header(u"1") + u"<BKF\\S\\a><1>\r\n"));
  const auto result = LoadSnapshot(file, catalogue, loader);
  EXPECT_EQ(result.status, SnapshotLoadStatus::kLoaded);
  EXPECT_EQ(result.bkfPath, Utf16FromPath(bkf));
  EXPECT_TRUE(loader.asked.empty());
}

TEST_F(SnapshotFiles, FailedWriteIsReportedAndLeavesTheTargetAsItWas) {
  catalogue.AppendCatalogueRow(u"BKF\\S\\a");
  const auto missingFolder = WriteSnapshot(dir / "no-such-folder" / "s.TWBKF", u"x", catalogue);
  EXPECT_FALSE(missingFolder.ok());
  EXPECT_FALSE(missingFolder.error.empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "no-such-folder"));

  std::filesystem::create_directory(dir / "taken.TWBKF");
  const auto overFolder = WriteSnapshot(dir / "taken.TWBKF", u"x", catalogue);
  EXPECT_FALSE(overFolder.ok());
  EXPECT_FALSE(overFolder.error.empty());
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.TWBKF"));
  // The temporary file was removed again.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            2);
}

TEST_F(SnapshotFiles, ExistingSnapshotIsReplacedWhole) {
  const auto target = dir / "s.TWBKF";
  test::WriteFileBytes(target, Le(Header(u"400") + std::u16string(10000, u'x')));
  catalogue.AppendCatalogueRow(u"BKF\\S\\a");
  ASSERT_TRUE(WriteSnapshot(target, u"p", catalogue).ok());
  EXPECT_EQ(test::ReadFileBytes(target), Le(u"<p>\r\n<1>\r\n<BKF\\S\\a><><><><><><><><>\r\n"));
}

}  // namespace
}  // namespace tallowin
