#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <limits>

#include "save/save_rows.h"
#include "catalog/file_time.h"
#include "catalog/program_texts.h"
#include "catalog/text_convert.h"
#include "tests/support/file_facts.h"
#include "tests/support/memory_reader.h"
#include "tests/support/scan_helpers.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

namespace fs = std::filesystem;
using test::FileEntry;
using test::MtfWriter;

// A BKF file whose bytes are known: byte i holds i mod 251.
std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(destination_);
    test::WriteFileBytes(bkf_, Pattern(kBkfSize));
  }

  RowIndex Row(std::u16string_view path, std::int64_t size, std::int64_t offset) {
    const RowIndex row = catalogue_.AppendCatalogueRow(path);
    catalogue_.SetCatalogueNumber(row, kCellSize, size);
    catalogue_.SetCatalogueNumber(row, kCellOffset, offset);
    catalogue_.SetRowChecked(row, true);
    return row;
  }
  SaveSummary Save(SaveObserver& observer, const BkfOpener& opener = OpenBkfFile) {
    return SaveCheckedFiles(catalogue_, {.bkfPath = bkf_, .destination = destination_, .prefix = u"Rec", .opener = opener},
                            observer, stop_.get_token());
  }
  SaveSummary Save() {
    SaveObserver quiet;
    return Save(quiet);
  }
  std::string Saved(const fs::path& relative) { return test::ReadFileBytes(destination_ / relative); }
  // Everything that exists below the folder that holds the destination.
  std::vector<fs::path> EverythingOutsideTheDestination() {
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir_.Path())) {
      if (entry.path() == bkf_ || entry.path() == destination_) continue;
      const auto relative = fs::relative(entry.path(), destination_);
      if (relative.empty() || *relative.begin() == "..") found.push_back(entry.path());
    }
    return found;
  }

  static constexpr std::size_t kBkfSize = 100'000;
  test::TempDir dir_;
  fs::path bkf_ = dir_ / "backup.bkf";
  fs::path destination_ = dir_ / "destination";
  Catalogue catalogue_;
  std::stop_source stop_;
};

TEST_F(SaveTest, CheckedRowsAreCopiedByteForByteIntoTheirFolders) {
  MtfWriter writer;
  writer.Tape().DataSet(u"Daily").Directory(u"Docs\\A");
  writer.File({.name = u"a.txt", .data = "alpha"}).File({.name = u"big.bin", .data = Pattern(70'000)});
  writer.Directory(u"Other").File({.name = u"skip.txt", .data = "not checked"});
  writer.WriteTo(bkf_);
  test::ScanBytes(writer.Bytes(), catalogue_);
  ASSERT_EQ(catalogue_.CatalogueRowCount(), 3);
  catalogue_.SetAllRowsChecked(true);
  catalogue_.SetRowChecked(2, false);

  const SaveSummary summary = Save();
  EXPECT_TRUE(summary.Complete()) << Utf8ForDisplay(SaveSummaryText(summary));
  EXPECT_EQ(summary.saved, 2u);
  EXPECT_EQ(Saved("RecBKF/BACKUP SET 1(Daily)/Docs/A/a.txt"), "alpha");
  EXPECT_EQ(Saved("RecBKF/BACKUP SET 1(Daily)/Docs/A/big.bin"), Pattern(70'000));
  EXPECT_FALSE(fs::exists(destination_ / "RecBKF/BACKUP SET 1(Daily)/Other"));

  const auto modified = FileTimeFromCalendar({2007, 5, 12, 14, 30, 45, 0});
  EXPECT_EQ(test::TimesOf(destination_ / "RecBKF/BACKUP SET 1(Daily)/Docs/A/a.txt").modified, *modified);
}

TEST_F(SaveTest, SavingTwiceMakesTwoCompleteCopiesAndChangesNoCheckMark) {
  Row(u"BKF\\S\\a.txt", 10, 0);
  Row(u"BKF\\S\\b.txt", 10, 10);
  catalogue_.SetRowChecked(1, false);
  EXPECT_EQ(Save().saved, 1u);
  EXPECT_EQ(Save().saved, 1u);
  EXPECT_EQ(Saved("RecBKF/S/a.txt"), Pattern(10));
  EXPECT_EQ(Saved("RecBKF (2)/S/a.txt"), Pattern(10));
  EXPECT_TRUE(catalogue_.IsRowChecked(0));
  EXPECT_FALSE(catalogue_.IsRowChecked(1));
}

TEST_F(SaveTest, NothingCheckedSavesNothing) {
  Row(u"BKF\\S\\a.txt", 10, 0);
  catalogue_.SetAllRowsChecked(false);
  const SaveSummary summary = Save();
  EXPECT_EQ(summary.saved + summary.incomplete + summary.failed, 0u);
}

TEST_F(SaveTest, RowsOfTheSamePathGetNumberedNamesAndNothingIsOverwritten) {
  Row(u"BKF\\S\\a.txt", 3, 0);
  Row(u"BKF\\S\\a.txt", 3, 100);
  Row(u"BKF\\S\\a.txt", 3, 200);
  EXPECT_EQ(Save().saved, 3u);
  EXPECT_EQ(Saved("RecBKF/S/a.txt"), Pattern(3));
  EXPECT_EQ(Saved("RecBKF/S/a (2).txt"), Pattern(203).substr(100, 3));
  EXPECT_EQ(Saved("RecBKF/S/a (3).txt"), Pattern(203).substr(200, 3));
}

TEST_F(SaveTest, ManyRowsOfOneNameAreNumberedInOrderWithoutGaps) {
  constexpr int kRows = 300;
  for (int i = 0; i < kRows; ++i) Row(u"BKF\\S\\same.txt", 1, i);
  Row(u"BKF\\S\\same (2).txt", 1, 999);  // a name that numbering also makes
  EXPECT_EQ(Save().saved, static_cast<std::uint64_t>(kRows + 1));
  EXPECT_EQ(Saved("RecBKF/S/same.txt"), Pattern(1));
  for (int n = 2; n <= kRows; ++n) {
    EXPECT_EQ(Saved("RecBKF/S/same (" + std::to_string(n) + ").txt"), Pattern(n).substr(n - 1, 1)) << n;
  }
  EXPECT_EQ(Saved("RecBKF/S/same (2) (2).txt"), Pattern(1000).substr(999, 1));
}

TEST_F(SaveTest, ATimeBeyondEveryRangeIsLeftAsItIsNeverWrapped) {
  // A hand-edited snapshot: high halves of 2^31 and more are no file time
  // any system can hold.
  const RowIndex row = Row(u"BKF\\S\\far.txt", 4, 0);
  catalogue_.SetCatalogueCell(row, kCellModifiedLow, u"4294967295");
  catalogue_.SetCatalogueCell(row, kCellModifiedHigh, u"4294967295");
  catalogue_.SetCatalogueCell(row, kCellAccessedHigh, u"2147483648");
  // Seconds since 1601, as the file times count them.
  const auto now = [] { return static_cast<FileTime>(std::time(nullptr)) + 11'644'473'600; };
  const FileTime before = now();
  EXPECT_EQ(Save().saved, 1u);
  const test::FileTimes times = test::TimesOf(destination_ / "RecBKF/S/far.txt");
  EXPECT_GE(times.modified / 10'000'000, before - 1);
  EXPECT_LE(times.modified / 10'000'000, now() + 1);
  EXPECT_GE(times.accessed / 10'000'000, before - 1);
}

TEST_F(SaveTest, AFileAndAFolderOfOneNameBothSurvive) {
  Row(u"BKF\\S\\x", 4, 0);
  Row(u"BKF\\S\\x\\inner.txt", 4, 4);
  EXPECT_EQ(Save().saved, 2u);
  EXPECT_EQ(Saved("RecBKF/S/x"), Pattern(4));
  EXPECT_EQ(Saved("RecBKF/S/x (2)/inner.txt"), Pattern(8).substr(4));
}

#ifndef _WIN32
// POSIX names; the Windows rules have a test of their own.
TEST_F(SaveTest, HostileNamesNeverReachOutsideTheDestination) {
  const std::u16string nul(u"n\0l", 3);
  const std::u16string paths[] = {
      u"BKF\\..\\..\\..\\escape1.txt", u"..\\..\\escape2.txt", u"BKF\\S\\..",
      u"BKF\\S\\.", u"BKF\\S\\", u"BKF\\/etc\\/passwd", u"BKF\\S\\" + nul + u"\\f",
      u"BKF\\S\\ctl\x01\x1b\\f", u"BKF\\S\\lone\xD800\\f\xDC00",
      u"BKF\\" + std::u16string(300, u'L') + u"\\" + std::u16string(300, u'n') + u".txt",
      u"/", u"", u"BKF\\\\\\f"};
  for (const auto& path : paths) Row(path, 5, 0);

  const SaveSummary summary = Save();
  EXPECT_EQ(summary.saved, std::size(paths)) << Utf8ForDisplay(SaveSummaryText(summary));
  EXPECT_TRUE(EverythingOutsideTheDestination().empty());
  EXPECT_EQ(Saved("RecBKF/_../_../_../escape1.txt"), Pattern(5));
  EXPECT_EQ(Saved("Rec../_../escape2.txt"), Pattern(5));
  EXPECT_EQ(Saved("RecBKF/S/_.."), Pattern(5));
  EXPECT_EQ(Saved("RecBKF/_etc/_passwd"), Pattern(5));
  EXPECT_EQ(Saved("RecBKF/S/n_l/f"), Pattern(5));
  EXPECT_EQ(Saved("Rec/_"), Pattern(5));
  EXPECT_EQ(Saved("Rec/_ (2)"), Pattern(5));
}
#endif

#ifndef _WIN32
// A symbolic link; on Windows a junction stands in its place.
TEST_F(SaveTest, ALinkPlantedWhereTheSaveFolderGoesIsNeverFollowed) {
  const fs::path outside = dir_ / "outside";
  fs::create_directories(outside);
  fs::create_directory_symlink(outside, destination_ / "RecBKF");
  Row(u"BKF\\S\\a.txt", 5, 0);
  EXPECT_EQ(Save().saved, 1u);
  EXPECT_TRUE(fs::is_empty(outside));
  EXPECT_EQ(Saved("RecBKF (2)/S/a.txt"), Pattern(5));
}
#endif

TEST_F(SaveTest, AbsurdSizesAndOffsetsAreSkippedWithAReason) {
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  Row(u"BKF\\S\\huge.bin", kMax, 10);
  Row(u"BKF\\S\\negative.bin", -1, 0);
  Row(u"BKF\\S\\before.bin", 5, -5);
  Row(u"BKF\\S\\beyond.bin", 5, static_cast<std::int64_t>(kBkfSize) + 1);
  Row(u"BKF\\S\\empty.bin", 0, 0);
  // A snapshot may hold anything in a row's cells: text that is no number
  // is no size of 0 either.
  catalogue_.SetCatalogueCell(Row(u"BKF\\S\\words.bin", 0, 0), kCellSize, u"twelve");
  catalogue_.SetCatalogueCell(Row(u"BKF\\S\\unplaced.bin", 5, 0), kCellOffset, u"");
  catalogue_.SetCatalogueCell(Row(u"BKF\\S\\trailing.bin", 5, 0), kCellOffset, u"12 bytes");
  catalogue_.SetCatalogueCell(Row(u"BKF\\S\\spaced.bin", 5, 0), kCellOffset, u" +12 ");
  const SaveSummary summary = Save();
  EXPECT_EQ(summary.failed, 7u);
  EXPECT_EQ(summary.saved, 2u);
  ASSERT_EQ(summary.problems.size(), 7u);
  EXPECT_NE(summary.problems[0].reason.find("size"), std::string::npos);
  EXPECT_NE(summary.problems[3].reason.find("past the end"), std::string::npos);
  EXPECT_EQ(summary.problems[4].reason, "the file size \"twelve\" is not a number; the file was skipped");
  EXPECT_EQ(summary.problems[5].reason, "the data offset \"\" is not a number; the file was skipped");
  EXPECT_EQ(summary.problems[6].reason, "the data offset \"12 bytes\" is not a number; the file was skipped");
  EXPECT_FALSE(fs::exists(destination_ / "RecBKF/S/huge.bin"));
  EXPECT_FALSE(fs::exists(destination_ / "RecBKF/S/words.bin"));
  EXPECT_EQ(Saved("RecBKF/S/empty.bin"), "");
  EXPECT_EQ(Saved("RecBKF/S/spaced.bin"), Pattern(17).substr(12));
}

TEST_F(SaveTest, DataPastTheEndIsSavedAsFarAsItExistsAndReportedIncomplete) {
  Row(u"BKF\\S\\cut.bin", 5000, kBkfSize - 1000);
  const SaveSummary summary = Save();
  EXPECT_EQ(summary.incomplete, 1u);
  EXPECT_EQ(Saved("RecBKF/S/cut.bin"), Pattern(kBkfSize).substr(kBkfSize - 1000));
  EXPECT_FALSE(summary.Complete());
}

TEST_F(SaveTest, AReadErrorInsideAFileKeepsTheBytesReadAndReportsIt) {
  Row(u"BKF\\S\\a.bin", 40'000, 1000);
  Row(u"BKF\\S\\b.bin", 10, 90'000);
  const auto failingReader = [](const fs::path&) -> std::unique_ptr<BkfReader> {
    std::vector<std::byte> bytes(kBkfSize);
    const std::string pattern = Pattern(kBkfSize);
    std::memcpy(bytes.data(), pattern.data(), kBkfSize);
    auto reader = std::make_unique<test::MemoryReader>(std::move(bytes));
    // Bytes 20,000 to 29,999 cannot be read.
    reader->limitRead = [](std::uint64_t offset, std::size_t count) -> std::size_t {
      if (offset >= 20'000 && offset < 30'000) return 0;
      return offset < 20'000 ? std::min<std::uint64_t>(count, 20'000 - offset) : count;
    };
    return reader;
  };
  SaveObserver quiet;
  const SaveSummary summary = Save(quiet, failingReader);
  EXPECT_EQ(summary.incomplete, 1u);
  EXPECT_EQ(summary.saved, 1u);
  EXPECT_EQ(Saved("RecBKF/S/a.bin"), Pattern(20'000).substr(1000));
  EXPECT_NE(summary.problems[0].reason.find("could not be read"), std::string::npos);
}

TEST_F(SaveTest, ABkfFileThatShrinksWhileSavingGivesAnIncompleteFile) {
  Row(u"BKF\\S\\a.bin", 50'000, 40'000);
  const auto shrunk = [](const fs::path&) -> std::unique_ptr<BkfReader> {
    auto reader = std::make_unique<test::MemoryReader>(std::vector<std::byte>(60'000, std::byte{7}));
    reader->ReportSize(kBkfSize);  // the size it had when it was opened
    return reader;
  };
  SaveObserver quiet;
  const SaveSummary summary = Save(quiet, shrunk);
  EXPECT_EQ(summary.incomplete, 1u);
  EXPECT_EQ(Saved("RecBKF/S/a.bin"), std::string(20'000, '\7'));
}

#ifndef _WIN32
// Windows has no file-size limit to stand in for a full disk.
TEST_F(SaveTest, AFullDestinationFailsTheFileRemovesItsPartAndKeepsEarlierFiles) {
  Row(u"BKF\\S\\small.bin", 100, 0);
  Row(u"BKF\\S\\large.bin", 50'000, 0);
  // A file-size limit stands in for a full disk: writes past it fail.
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = old;
  limited.rlim_cur = 8192;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  const SaveSummary summary = Save();
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(summary.saved, 1u);
  EXPECT_EQ(summary.failed, 1u);
  EXPECT_EQ(Saved("RecBKF/S/small.bin"), Pattern(100));
  EXPECT_FALSE(fs::exists(destination_ / "RecBKF/S/large.bin"));
  EXPECT_FALSE(fs::exists(destination_ / "RecBKF/S/.large.bin.twbkf-part"));
  ASSERT_EQ(summary.problems.size(), 1u);
  EXPECT_NE(summary.problems[0].reason.find("writing large.bin failed"), std::string::npos);
}
#endif

TEST_F(SaveTest, CancelInsideAFileRemovesItAndKeepsTheFinishedOnes) {
  Row(u"BKF\\S\\first.bin", 10, 0);
  Row(u"BKF\\S\\second.bin", 3 << 20, 0);
  Row(u"BKF\\S\\third.bin", 10, 0);
  // Until it is complete a file has a hidden name of its own, never its own.
  class CancelInSecond : public SaveObserver {
   public:
    CancelInSecond(std::stop_source& stop, const fs::path& folder) : stop_(stop), folder_(folder) {}
    void OnProgress(const JobProgress& progress) override {
      if (progress.files != 1 || progress.done <= 10 || stop_.stop_requested()) return;
      partWhileWriting = fs::exists(folder_ / ".second.bin.twbkf-part");
      nameWhileWriting = fs::exists(folder_ / "second.bin");
      stop_.request_stop();
    }
    std::stop_source& stop_;
    fs::path folder_;
    bool partWhileWriting = false, nameWhileWriting = true;
  } observer(stop_, destination_ / "RecBKF/S");
  const auto memory = [](const fs::path&) -> std::unique_ptr<BkfReader> {
    return std::make_unique<test::MemoryReader>(std::vector<std::byte>(4 << 20, std::byte{1}));
  };
  const SaveSummary summary = Save(observer, memory);
  EXPECT_TRUE(summary.cancelled);
  EXPECT_EQ(summary.saved, 1u);
  EXPECT_TRUE(fs::exists(destination_ / "RecBKF/S/first.bin"));
  EXPECT_TRUE(observer.partWhileWriting);
  EXPECT_FALSE(observer.nameWhileWriting);
  // Cancel removes the unfinished file, hidden name and all.
  std::vector<fs::path> left;
  for (const auto& entry : fs::directory_iterator(destination_ / "RecBKF/S")) left.push_back(entry.path().filename());
  EXPECT_EQ(left, std::vector<fs::path>{"first.bin"});
}

// A file opened or dragged out is saved on its own, flat into the folder the
// program chose: under its own name, or numbered when the name is taken,
// never over what is there and never through a link planted there.
TEST_F(SaveTest, AFlatSaveOfNamedRowsTakesOnlyThoseAndNeverReplacesAnything) {
  Row(u"BKF\\S\\Docs\\a.txt", 5, 0);
  Row(u"BKF\\S\\b.txt", 7, 10);
  Row(u"BKF\\S\\Other\\a.txt", 3, 20);
  catalogue_.SetAllRowsChecked(false);
  test::WriteFileBytes(destination_ / "a.txt", "mine");
#ifdef _WIN32
  // Wine makes no symbolic links: a file of that name stands in for one.
  test::WriteFileBytes(destination_ / "a (2).txt", "theirs");
#else
  fs::create_symlink(dir_ / "elsewhere.txt", destination_ / "a (2).txt");
#endif

  class Reports : public SaveObserver {
   public:
    void OnFileDone(const FileReport& report) override { seen.push_back(report); }
    std::vector<FileReport> seen;
  } observer;
  const SaveSummary summary =
      SaveRows(catalogue_,
               {.bkfPath = bkf_, .destination = destination_, .prefix = u"Rec", .opener = OpenBkfFile,
                .layout = {.flat = true}},
               RowSelection::Listed({2, 0, 2}), observer, stop_.get_token());
  EXPECT_EQ(summary.saved, 2u);
  EXPECT_TRUE(summary.folders.empty());
  EXPECT_EQ(Saved("a.txt"), "mine");
  EXPECT_FALSE(fs::exists(dir_ / "elsewhere.txt"));
  EXPECT_EQ(Saved("a (3).txt"), Pattern(5));
  EXPECT_EQ(Saved("a (4).txt"), Pattern(23).substr(20));
  EXPECT_FALSE(fs::exists(destination_ / "b.txt"));
  ASSERT_EQ(observer.seen.size(), 2u);
  EXPECT_EQ(observer.seen[0].row, 0);
  EXPECT_EQ(observer.seen[0].file, destination_ / "a (3).txt");
  EXPECT_EQ(observer.seen[0].verdict, FileVerdict::kUnchecked);
  EXPECT_EQ(observer.seen[1].row, 2);
  EXPECT_EQ(observer.seen[1].file, destination_ / "a (4).txt");
}

// Every file the save gets to is told, with where it went and its verdict;
// a file whose data is not there at all has no place and is skipped.
TEST_F(SaveTest, EachFileIsToldWithItsPlaceAndVerdict) {
  Row(u"BKF\\S\\a.txt", 5, 0);
  Row(u"BKF\\S\\gone.txt", 5, 2 * kBkfSize);
  class Reports : public SaveObserver {
   public:
    void OnFileDone(const FileReport& report) override { seen.push_back(report); }
    std::vector<FileReport> seen;
  } observer;
  Save(observer);
  ASSERT_EQ(observer.seen.size(), 2u);
  EXPECT_EQ(observer.seen[0].file, destination_ / "RecBKF/S/a.txt");
  EXPECT_EQ(observer.seen[1].file, fs::path());
  EXPECT_EQ(observer.seen[1].verdict, FileVerdict::kSkipped);
  EXPECT_NE(observer.seen[1].reason.find("past the end"), std::string::npos);
}

TEST_F(SaveTest, MissingDestinationOrBkfFileStopsTheSaveWithAMessage) {
  Row(u"BKF\\S\\a.bin", 1, 0);
  fs::remove(destination_);
  EXPECT_FALSE(Save().fatalError.empty());
  fs::create_directories(destination_);
  fs::remove(bkf_);
  const SaveSummary summary = Save();
  EXPECT_TRUE(summary.bkfUnreadable);
  EXPECT_NE(Utf8ForDisplay(SaveSummaryText(summary)).find("cannot be opened"), std::string::npos);
}

// The front end may ask for the stop before its thread has begun the save.
TEST_F(SaveTest, AStopAskedForBeforeTheSaveBeginsSavesNothing) {
  Row(u"BKF\\S\\a.bin", 10, 0);
  stop_.request_stop();
  const SaveSummary summary = Save();
  EXPECT_TRUE(summary.cancelled);
  EXPECT_EQ(summary.Attempted(), 0u);
  EXPECT_TRUE(summary.folders.empty());
  EXPECT_TRUE(fs::is_empty(destination_));
  EXPECT_EQ(Utf8ForDisplay(SaveSummaryText(summary)),
            "0 file(s) saved (0 verified, 0 unchecked), 0 damaged, 0 stored encrypted, 0 stored compressed, "
            "0 incomplete, 0 failed." + std::string(tallowin::texts::kSaveCancelled));
}

// The verify-only pass goes through the same rows but makes no folder and
// writes no file, not even into a destination it is given.
TEST_F(SaveTest, AVerifyOnlyPassWritesNothingAnywhere) {
  Row(u"BKF\\S\\a.bin", 10, 0);
  Row(u"BKF\\S\\gone.bin", 5, 2 * kBkfSize);
  class Reports : public SaveObserver {
   public:
    void OnFileDone(const FileReport& report) override { seen.push_back(report); }
    std::vector<FileReport> seen;
  } observer;
  SaveRequest request = VerifyOnlyRequest(bkf_);
  request.destination = destination_;
  const SaveSummary summary = SaveCheckedFiles(catalogue_, request, observer, stop_.get_token());
  EXPECT_TRUE(fs::is_empty(destination_));
  EXPECT_TRUE(summary.folders.empty());
  EXPECT_EQ(summary.Count(FileVerdict::kUnchecked), 1u);
  EXPECT_EQ(summary.Count(FileVerdict::kSkipped), 1u);
  EXPECT_FALSE(summary.Complete());
  ASSERT_EQ(observer.seen.size(), 2u);
  EXPECT_EQ(observer.seen[0].file, fs::path());
  EXPECT_EQ(observer.seen[1].verdict, FileVerdict::kSkipped);
  EXPECT_EQ(VerifySummaryText(summary),
            "2 file(s): 0 verified, 0 damaged, 1 unchecked, 0 incomplete, 0 stored encrypted, "
            "0 stored compressed, 1 skipped.");
  // A destination that is not there is no concern of a verification.
  fs::remove(destination_);
  EXPECT_TRUE(SaveCheckedFiles(catalogue_, request, observer).fatalError.empty());
  EXPECT_FALSE(fs::exists(destination_));
}

}  // namespace
}  // namespace tallowin
