// Walking a BKF file window by window: which positions are examined, how far
// a file's stream header is looked for, damaged and short input, stopping,
// and the worker thread around the scan.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "catalog/text_convert.h"
#include "catalog/program_texts.h"
#include "engine/recovery_session.h"
#include "engine/bkf_scanner.h"
#include "tests/support/scan_helpers.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

using Paths = std::vector<std::u16string>;
using test::FileEntry;
using test::MemoryReader;
using test::MtfWriter;
using test::RecordingObserver;

constexpr std::size_t kWindow = CBkfScanner::kWindowSize;

std::u16string NameFor(std::size_t offset) { return u"at" + FormatUInt64(offset); }
std::u16string RowFor(std::size_t offset) { return u"BKF\\BACKUP SET 0\\" + NameFor(offset); }

// A file of `size` bytes with a one-block FILE entry at each offset, named
// after its offset; the last may be cut by the end of the file.
std::vector<std::byte> FilesAt(std::size_t size, std::vector<std::size_t> offsets) {
  MtfWriter writer;
  for (const std::size_t offset : offsets) {
    writer.PadTo(offset).File({.name = NameFor(offset), .data = "data"});
  }
  writer.PadTo(size);
  writer.Bytes().resize(size);
  return writer.Bytes();
}

struct WindowCase {
  std::size_t fileSize;
  std::vector<std::size_t> blocks;
  std::vector<std::size_t> found;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
};

void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.fileSize << " bytes"; }

class WindowArithmetic : public ::testing::TestWithParam<WindowCase> {};

TEST_P(WindowArithmetic, ExaminesTheRightPositionsAndReportsProgressPerWindow) {
  Catalogue catalogue;
  RecordingObserver observer;
  EXPECT_TRUE(test::ScanBytes(FilesAt(GetParam().fileSize, GetParam().blocks), catalogue, &observer));
  Paths expected;
  for (const std::size_t offset : GetParam().found) expected.push_back(RowFor(offset));
  EXPECT_EQ(test::Paths(catalogue), expected);
  EXPECT_EQ(observer.progress, GetParam().progress);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, WindowArithmetic,
    ::testing::Values(
        // One whole window and no tail; the last position of the window counts.
        WindowCase{65536, {0, 65024}, {0, 65024}, {{65536, 65536}}},
        // A remainder of exactly 512 bytes is not examined ...
        WindowCase{66048, {0, 65536}, {0}, {{65536, 66048}}},
        // ... one of 513 bytes is: its one block.
        WindowCase{66049, {0, 65536}, {0, 65536}, {{65536, 66049}}},
        // No window at all: the tail pass looks at the block at 0 only.
        WindowCase{1000, {0, 512}, {0}, {}},
        WindowCase{512, {0}, {}, {}},
        // A tail of 34,464 bytes holds 67 whole blocks; the 68th is cut short
        // and not examined even though the entry would fit in what is there.
        WindowCase{100000, {0, 99328, 99840}, {0, 99328}, {{65536, 100000}}},
        WindowCase{131072, {65536, 131072 - 512}, {65536, 131072 - 512},
                   {{65536, 131072}, {131072, 131072}}}));

TEST(ScanProgress, ShowsPercentAndPositionOfTheWindowsRead) {
  EXPECT_EQ(texts::ProgressPercent(65536, 100000), 65);
  EXPECT_EQ(texts::ProgressLabel(65536, 100000), u"Progress : 65536 \\ 100000");
  EXPECT_EQ(texts::ProgressPercent(65536, 65536), 100);
  EXPECT_EQ(texts::ProgressPercent(0, 0), 0);
  EXPECT_EQ(texts::FilesFoundLabel(12), u"File(s) Found : 12");
}

struct StreamCase {
  std::size_t blockOffset;   // where the FILE block starts
  std::size_t streamOffset;  // where its "STAN" starts, from the block start
  bool found;
};

void PrintTo(const StreamCase& c, std::ostream* os) {
  *os << "block at " << c.blockOffset << ", header " << c.streamOffset << " bytes on";
}

class StreamSearch : public ::testing::TestWithParam<StreamCase> {};

TEST_P(StreamSearch, HeaderIsLookedForWithinTheLimitAndTheWindow) {
  MtfWriter writer;
  writer.PadTo(GetParam().blockOffset)
      .File({.name = u"f", .data = "d", .streamOffset = GetParam().streamOffset})
      .PadTo(2 * kWindow);
  Catalogue catalogue;
  test::ScanBytes(writer.Bytes(), catalogue);
  EXPECT_EQ(catalogue.CatalogueRowCount(), GetParam().found ? 1 : 0);
  if (GetParam().found) {
    EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellOffset), FormatInt64(writer.LastDataOffset()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Positions, StreamSearch,
    ::testing::Values(
        // Position 126 of a window: limit 1024, all within the window.
        StreamCase{126 * 512, 600, true}, StreamCase{126 * 512, 1002, true},
        StreamCase{126 * 512, 1003, false},  // the header would pass the window end
        // Position 127: limit 512, so a header more than 512 bytes on is missed.
        StreamCase{127 * 512, 600, false}, StreamCase{127 * 512, 513, false},
        StreamCase{127 * 512, 400, true}, StreamCase{127 * 512, 490, true},
        StreamCase{127 * 512, 491, false},
        // Position 127 of the second window: the same.
        StreamCase{kWindow + 127 * 512, 600, false},
        StreamCase{kWindow + 126 * 512, 600, true}));

TEST(TailPass, SmallBackupFindsAHeaderUpTo1024BytesOn) {
  for (const std::size_t streamOffset : {200u, 700u, 1023u}) {
    MtfWriter writer;
    writer.File({.name = u"small.txt", .data = "abc", .streamOffset = streamOffset}).EndOfSet();
    ASSERT_LT(writer.Size(), kWindow);
    EXPECT_EQ(test::ScanPaths(writer), Paths{u"BKF\\BACKUP SET 0\\small.txt"}) << streamOffset;
  }
  MtfWriter writer;
  writer.File({.name = u"far.txt", .data = "abc", .streamOffset = 1024}).EndOfSet();
  EXPECT_EQ(test::ScanPaths(writer), Paths{});
}

TEST(DataOffset, CountsWindowBlockAndHeaderPositions) {
  MtfWriter writer;
  writer.PadTo(131072 + 1024).File({.name = u"f", .data = "xyz", .streamOffset = 30}).PadTo(3 * kWindow);
  ASSERT_EQ(writer.LastDataOffset(), 132148u);
  Catalogue catalogue;
  test::ScanBytes(writer.Bytes(), catalogue);
  ASSERT_EQ(catalogue.CatalogueRowCount(), 1);
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellOffset), u"132148");
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellSize), u"3");
}

// A backup of two sets: Mon in the first window, Tue in the tail.
class DamagedBackup : public ::testing::Test {
 protected:
  void SetUp() override {
    writer.Tape().DataSet(u"Mon").Directory(u"Docs");
    fileA = writer.Size();
    writer.File({.name = u"a.txt", .data = std::string(3000, 'a')});
    dataA = writer.LastDataOffset();
    writer.PadTo(kWindow).DataSet(u"Tue");
    dirPics = writer.Size();
    writer.Directory(u"Pics");
    writer.File({.name = u"b.jpg", .data = std::string(5000, 'b')});
    dataB = writer.LastDataOffset();
    writer.File({.name = u"c.txt", .data = "c"}).EndOfSet();
  }

  Paths Scan() {
    catalogue.ClearCatalogue();
    test::ScanBytes(writer.Bytes(), catalogue);
    return test::Paths(catalogue);
  }

  const std::u16string kA = u"BKF\\BACKUP SET 1(Mon)\\Docs\\a.txt";
  const std::u16string kB = u"BKF\\BACKUP SET 2(Tue)\\Pics\\b.jpg";
  const std::u16string kC = u"BKF\\BACKUP SET 2(Tue)\\Pics\\c.txt";

  MtfWriter writer;
  Catalogue catalogue;
  std::size_t fileA = 0, dataA = 0, dirPics = 0, dataB = 0;
};

TEST_F(DamagedBackup, IntactBackupGivesEveryFile) {
  EXPECT_EQ(Scan(), (Paths{kA, kB, kC}));
}

TEST_F(DamagedBackup, TruncatedInsideFileDataKeepsTheFilesBeforeTheCut) {
  writer.Bytes().resize(dataB + 2000);
  EXPECT_EQ(Scan(), (Paths{kA, kB}));
  EXPECT_EQ(catalogue.GetCatalogueCell(1, kCellSize), u"5000");  // as recorded, not as present
  EXPECT_EQ(catalogue.GetCatalogueCell(1, kCellOffset), FormatInt64(dataB));
}

TEST_F(DamagedBackup, ZeroedDirectoryBlockLeavesItsFilesInTheDirectoryBefore) {
  std::memset(writer.Bytes().data() + dirPics, 0, 512);
  EXPECT_EQ(Scan(), (Paths{kA, u"BKF\\BACKUP SET 2(Tue)\\Docs\\b.jpg",
                           u"BKF\\BACKUP SET 2(Tue)\\Docs\\c.txt"}));
}

TEST_F(DamagedBackup, RandomBytesOverOneFileLoseOnlyThatFile) {
  std::mt19937 random(20070512);
  for (std::size_t i = fileA; i < dataA + 3000; ++i) {
    writer.Bytes()[i] = std::byte(static_cast<std::uint8_t>(random()));
  }
  EXPECT_EQ(Scan(), (Paths{kB, kC}));
}

TEST_F(DamagedBackup, FileBlockInsideAnotherFilesDataIsCatalogued) {
  MtfWriter inner;
  inner.File({.name = u"inner.txt", .data = "hidden"});
  const std::size_t at = (dataA + 511) / 512 * 512;
  std::copy(inner.Bytes().begin(), inner.Bytes().end(), writer.Bytes().begin() + at);
  EXPECT_EQ(Scan(), (Paths{kA, u"BKF\\BACKUP SET 1(Mon)\\Docs\\inner.txt",
                           kB, kC}));
  EXPECT_EQ(catalogue.GetCatalogueCell(1, kCellOffset), FormatInt64(at + inner.LastDataOffset()));
}

// Reads that fill less than asked: only the bytes read are examined, never
// what an earlier read left in the window.
class ShortReadInsideBlock : public ::testing::TestWithParam<std::pair<std::size_t, bool>> {};

TEST_P(ShortReadInsideBlock, EntryIsCataloguedOnlyWhenNameAndHeaderWereRead) {
  // The same layout in both windows: name at 96 to 110, "STAN" at 112, data at 134.
  MtfWriter writer;
  writer.File({.name = u"old.txt", .data = "1"}).PadTo(kWindow);
  writer.File({.name = u"new.txt", .data = "2"}).PadTo(2 * kWindow);
  MemoryReader reader(writer.Bytes());
  const std::size_t filled = GetParam().first;
  // Nothing from `filled` bytes into the second window on can be read.
  reader.limitRead = [filled](std::uint64_t offset, std::size_t count) -> std::size_t {
    const std::uint64_t unreadable = kWindow + filled;
    return offset >= unreadable ? 0 : std::min<std::uint64_t>(count, unreadable - offset);
  };
  Catalogue catalogue;
  EXPECT_TRUE(test::ScanReader(reader, catalogue));
  Paths expected{u"BKF\\BACKUP SET 0\\old.txt"};
  if (GetParam().second) expected.push_back(u"BKF\\BACKUP SET 0\\new.txt");
  EXPECT_EQ(test::Paths(catalogue), expected);
}

INSTANTIATE_TEST_SUITE_P(Filled, ShortReadInsideBlock,
                         ::testing::Values(std::pair<std::size_t, bool>{0, false},
                                           std::pair<std::size_t, bool>{3, false},
                                           std::pair<std::size_t, bool>{109, false},
                                           std::pair<std::size_t, bool>{111, false},
                                           std::pair<std::size_t, bool>{133, false},
                                           std::pair<std::size_t, bool>{134, true},
                                           std::pair<std::size_t, bool>{700, true}));

TEST(ShortRead, UnreadableBytesCostOnlyTheWindowThatHoldsThem) {
  // Two files at the start of each of 40 windows; bytes 300 to 399 of window
  // 21 cannot be read, as a bad sector would behave.
  constexpr std::size_t kWindows = 40, kBad = 21 * kWindow + 300;
  MtfWriter writer;
  Paths expected;
  for (std::size_t w = 0; w < kWindows; ++w) {
    for (const char* tag : {"a", "b"}) {
      const std::u16string name = u"w" + Utf16FromBytes(std::to_string(w)) + Utf16FromBytes(tag);
      writer.File({.name = name, .data = "x"});
      if (w != 21 || tag[0] == 'a') expected.push_back(u"BKF\\BACKUP SET 0\\" + name);
    }
    writer.PadTo((w + 1) * kWindow);
  }
  MemoryReader reader(writer.Bytes());
  reader.limitRead = [](std::uint64_t offset, std::size_t count) -> std::size_t {
    if (offset >= kBad && offset < kBad + 100) return 0;
    return offset < kBad ? std::min<std::uint64_t>(count, kBad - offset) : count;
  };
  Catalogue catalogue;
  EXPECT_TRUE(test::ScanReader(reader, catalogue));
  EXPECT_EQ(test::Paths(catalogue), expected);
}

// A long file with many files in every window is read ahead on a second
// thread: a bad sector there costs exactly what it costs without it.
TEST(ShortRead, ABadSectorInAWindowReadAheadCostsOnlyThatWindow) {
  constexpr std::size_t kWindows = 100, kFilesPerWindow = 8, kBad = 61 * kWindow + 300;
  MtfWriter writer;
  Paths expected;
  for (std::size_t w = 0; w < kWindows; ++w) {
    for (std::size_t f = 0; f < kFilesPerWindow; ++f) {
      const std::u16string name = u"w" + Utf16FromBytes(std::to_string(w)) + u"f" + Utf16FromBytes(std::to_string(f));
      writer.File({.name = name, .data = "x"});
      if (w != 61 || f == 0) expected.push_back(u"BKF\\BACKUP SET 0\\" + name);
    }
    writer.PadTo((w + 1) * kWindow);
  }
  MemoryReader reader(writer.Bytes());
  reader.limitRead = [](std::uint64_t offset, std::size_t count) -> std::size_t {
    if (offset >= kBad && offset < kBad + 100) return 0;
    return offset < kBad ? std::min<std::uint64_t>(count, kBad - offset) : count;
  };
  Catalogue catalogue;
  EXPECT_TRUE(test::ScanReader(reader, catalogue));
  EXPECT_EQ(test::Paths(catalogue), expected);
}

TEST(ShortRead, FileThatShrankAfterItsSizeWasTakenShowsOnlyItsRealBytes) {
  MtfWriter writer;
  writer.PadTo(20 * 512).File({.name = u"first.txt", .data = "1"});
  writer.PadTo(kWindow + 1024).File({.name = u"tail.txt", .data = "2"}).PadTo(70000);
  MemoryReader reader(writer.Bytes());
  reader.ReportSize(100000);  // the tail read fills 4,464 of 34,464 bytes
  Catalogue catalogue;
  EXPECT_TRUE(test::ScanReader(reader, catalogue));
  EXPECT_EQ(test::Paths(catalogue),
            (Paths{u"BKF\\BACKUP SET 0\\first.txt", u"BKF\\BACKUP SET 0\\tail.txt"}));
}

std::vector<std::byte> TwoWindowsOfFiles() {
  MtfWriter writer;
  writer.File({.name = u"1", .data = "1"}).File({.name = u"2", .data = "2"});
  writer.PadTo(kWindow).File({.name = u"3", .data = "3"}).PadTo(2 * kWindow);
  return writer.Bytes();
}

TEST(Stop, TakesEffectAtTheNextWindowAndKeepsTheRowsFound) {
  Catalogue catalogue;
  std::stop_source stop;
  class StopAfterFirstWindow : public ScanObserver {
   public:
    explicit StopAfterFirstWindow(std::stop_source& stop) : stop_(stop) {}
    void OnProgress(const JobProgress& progress) override {
      if (progress.done == kWindow) stop_.request_stop();
    }

   private:
    std::stop_source& stop_;
  } observer(stop);
  CBkfScanner scanner(catalogue, test::SilentLog(), observer);
  MemoryReader reader(TwoWindowsOfFiles());
  EXPECT_FALSE(scanner.Scan(reader, stop.get_token()));
  EXPECT_EQ(test::Paths(catalogue), (Paths{u"BKF\\BACKUP SET 0\\1", u"BKF\\BACKUP SET 0\\2"}));
}

// Stops the scan that it watches as soon as `after` files are found; with 0,
// as soon as the scan begins.
class StoppingObserver : public RecordingObserver {
 public:
  explicit StoppingObserver(std::uint64_t after) : after_(after) {}
  void OnSearching() override {
    RecordingObserver::OnSearching();
    if (after_ == 0) stop.request_stop();
  }
  void OnProgress(const JobProgress& progress) override {
    RecordingObserver::OnProgress(progress);
    if (after_ != 0 && progress.files == after_) stop.request_stop();
  }
  std::stop_source stop;

 private:
  std::uint64_t after_;
};

TEST(Stop, TakesEffectAtTheNextPositionOfTheSameWindow) {
  Catalogue catalogue;
  StoppingObserver observer(1);
  CBkfScanner scanner(catalogue, test::SilentLog(), observer);
  MemoryReader reader(TwoWindowsOfFiles());
  EXPECT_FALSE(scanner.Scan(reader, observer.stop.get_token()));
  EXPECT_EQ(test::Paths(catalogue), Paths{u"BKF\\BACKUP SET 0\\1"});
}

BkfOpener OpenerOf(std::vector<std::byte> bytes) {
  return [bytes](const std::filesystem::path&) { return std::make_unique<MemoryReader>(bytes); };
}

TEST(Worker, StoppedScanEndsLikeAFinishedOneWithEveryRowChecked) {
  Catalogue catalogue;
  StoppingObserver observer(2);
  CBkfScanner scanner(catalogue, test::SilentLog(), observer, OpenerOf(TwoWindowsOfFiles()));
  ASSERT_TRUE(scanner.Run("backup.bkf", observer.stop.get_token()));
  EXPECT_FALSE(scanner.IsScanning());
  ASSERT_EQ(catalogue.CatalogueRowCount(), 2);
  EXPECT_TRUE(catalogue.IsRowChecked(0));
  EXPECT_TRUE(catalogue.IsRowChecked(1));
  EXPECT_EQ(observer.searching.load(), 1);
  EXPECT_EQ(observer.filesFound, (std::vector<std::uint64_t>{1, 2}));
  EXPECT_EQ(observer.finished, (std::vector<std::pair<std::int32_t, std::u16string>>{{2, u""}}));
  EXPECT_GE(observer.stopped.load(), 1);
}

// The front end may ask for the stop before its thread has begun the scan:
// the scan reads nothing and ends as a stopped one does.
TEST(Worker, AStopAskedForBeforeTheScanBeginsEndsItAtOnce) {
  Catalogue catalogue;
  RecordingObserver observer;
  CBkfScanner scanner(catalogue, test::SilentLog(), observer, OpenerOf(TwoWindowsOfFiles()));
  std::stop_source stop;
  stop.request_stop();
  MemoryReader reader(TwoWindowsOfFiles());
  EXPECT_FALSE(scanner.Scan(reader, stop.get_token()));
  EXPECT_EQ(catalogue.CatalogueRowCount(), 0);
  ASSERT_TRUE(scanner.Run("backup.bkf", stop.get_token()));
  EXPECT_FALSE(scanner.IsScanning());
  EXPECT_TRUE(observer.progress.empty());
  EXPECT_TRUE(observer.lastTotals.stopped);
  EXPECT_EQ(observer.finished, (std::vector<std::pair<std::int32_t, std::u16string>>{
                                   {0, u"No data found in backup file"}}));
}

TEST(Worker, ScanWithoutRowsReportsNoData) {
  const std::vector<std::vector<std::byte>> files = {FilesAt(512, {0}),
                                                     std::vector<std::byte>(3 * kWindow),
                                                     TwoWindowsOfFiles()};
  for (std::size_t i = 0; i < files.size(); ++i) {
    Catalogue catalogue;
    StoppingObserver observer(i == 2 ? 0 : 99);  // the last is stopped before any file is found
    CBkfScanner scanner(catalogue, test::SilentLog(), observer, OpenerOf(files[i]));
    ASSERT_TRUE(scanner.Run("backup.bkf", observer.stop.get_token()));
    EXPECT_EQ(observer.finished, (std::vector<std::pair<std::int32_t, std::u16string>>{
                                     {0, u"No data found in backup file"}}))
        << "file " << i;
  }
}

TEST(Run, MissingFileIsReportedWithItsCauseAndNoScanRuns) {
  test::TempDir dir;
  Catalogue catalogue;
  RecordingObserver observer;
  CBkfScanner scanner(catalogue, test::SilentLog(), observer);
  EXPECT_FALSE(scanner.Run(dir / "missing.bkf"));
  EXPECT_FALSE(scanner.IsScanning());
  EXPECT_EQ(observer.openFailed,
            std::vector<std::u16string>{
                u"Some Error occoured while opening file. Make sure that file is not shared\n"
                u"No such file or directory"});
  EXPECT_EQ(observer.searching.load(), 0);
  EXPECT_TRUE(observer.finished.empty());
}

TEST(Run, FromTheScansOwnThreadIsRefusedInsteadOfAborting) {
  test::TempDir dir;
  MtfWriter writer;
  writer.File({.name = u"a.txt", .data = "a"}).PadTo(2048);
  writer.WriteTo(dir / "a.bkf");
  Catalogue catalogue;
  class Restarter : public ScanObserver {
   public:
    void OnScanFinished(const ScanTotals&, std::u16string_view) override { restarted = scanner->Run(path); }
    CBkfScanner* scanner = nullptr;
    std::filesystem::path path;
    bool restarted = true;
  } observer;
  CBkfScanner scanner(catalogue, test::SilentLog(), observer);
  observer.scanner = &scanner;
  observer.path = dir / "a.bkf";
  ASSERT_TRUE(scanner.Run(observer.path));
  EXPECT_FALSE(observer.restarted);
  EXPECT_EQ(catalogue.CatalogueRowCount(), 1);
}

// Tries to open the BKF file itself each time a file is found.
class LockProbe : public RecordingObserver {
 public:
  explicit LockProbe(std::filesystem::path path) : path_(std::move(path)) {}
  void OnProgress(const JobProgress& progress) override {
    RecordingObserver::OnProgress(progress);
    CBkfFile other;
    openedDuringScan = openedDuringScan || other.Open(path_);
  }
  bool openedDuringScan = false;

 private:
  std::filesystem::path path_;
};

TEST(Run, FileIsHeldExclusivelyExactlyWhileTheScanRuns) {
  test::TempDir dir;
  const auto path = dir / "backup.bkf";
  MtfWriter writer;
  writer.Tape().DataSet(u"S").File({.name = u"f.txt", .data = "abc"}).PadTo(kWindow + 4096);
  writer.WriteTo(path);
  Catalogue catalogue;
  LockProbe observer(path);
  CBkfScanner scanner(catalogue, test::SilentLog(), observer);
  ASSERT_TRUE(scanner.Run(path));
  EXPECT_EQ(test::Paths(catalogue), Paths{u"BKF\\BACKUP SET 1(S)\\f.txt"});
  EXPECT_FALSE(observer.openedDuringScan);
  CBkfFile after;
  EXPECT_TRUE(after.Open(path)) << "the lock outlived the scan";
}

TEST(RecoveryWorker, SecondScanNeverMixesWithTheRowsOfTheFirst) {
  test::TempDir dir;
  MtfWriter first, second;
  first.DataSet(u"One").Directory(u"Old").File({.name = u"old.txt", .data = "1"}).EndOfSet();
  second.DataSet(u"Two").File({.name = u"new.txt", .data = "2"}).EndOfSet();
  first.WriteTo(dir / "first.bkf");
  second.WriteTo(dir / "second.bkf");
  Catalogue catalogue;
  ScanObserver observer;
  CBkfScanner scanner(catalogue, test::SilentLog(), observer);
  for (const auto* name : {"first.bkf", "second.bkf"}) {
    ASSERT_TRUE(RunRecoveryWorker(catalogue, scanner, test::SilentLog(), dir / name, {}));
  }
  EXPECT_EQ(test::Paths(catalogue), Paths{u"BKF\\BACKUP SET 1(Two)\\new.txt"});
  EXPECT_EQ(test::TreePaths(catalogue), (Paths{u"BKF", u"BKF\\BACKUP SET 1(Two)"}));
}

// One scan of a sparse file of a little over 4 GiB: positions, sizes and
// offsets past 2^32 must not wrap. Reading the holes takes a few seconds.
TEST(LargeFile, BlocksBeyond4GiBAreFoundWithTheirTrueOffsets) {
  test::TempDir dir;
  const auto path = dir / "large.bkf";
  constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;
  constexpr std::uint64_t kSize = k4GiB + 2 * kWindow + 3000;
  MtfWriter near, far, tail;
  near.DataSet(u"Big").File({.name = u"near.txt", .data = "n"});
  far.Directory(u"Far").PadTo(126 * 512).File({.name = u"far.txt", .data = "far", .streamOffset = 700});
  tail.File({.name = u"tail.txt", .data = "t"});
  {
    { std::ofstream create(path, std::ios::binary); }
    std::filesystem::resize_file(path, kSize);
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    const auto put = [&](std::uint64_t at, const MtfWriter& part) {
      out.seekp(static_cast<std::streamoff>(at));
      out.write(reinterpret_cast<const char*>(part.Bytes().data()),
                static_cast<std::streamsize>(part.Size()));
    };
    put(0, near);
    put(k4GiB + kWindow, far);
    put(k4GiB + 2 * kWindow, tail);
    ASSERT_TRUE(out.good());
  }
  ASSERT_EQ(std::filesystem::file_size(path), kSize);

  Catalogue catalogue;
  RecordingObserver observer;
  CBkfScanner scanner(catalogue, test::SilentLog(), observer);
  ASSERT_TRUE(scanner.Run(path));
  EXPECT_EQ(test::Paths(catalogue),
            (Paths{u"BKF\\BACKUP SET 1(Big)\\near.txt", u"BKF\\BACKUP SET 1(Big)\\Far\\far.txt",
                   u"BKF\\BACKUP SET 1(Big)\\Far\\tail.txt"}));
  EXPECT_EQ(catalogue.GetCatalogueCell(1, kCellOffset),
            FormatUInt64(k4GiB + kWindow + far.LastDataOffset()));
  EXPECT_EQ(catalogue.GetCatalogueCell(2, kCellOffset),
            FormatUInt64(k4GiB + 2 * kWindow + tail.LastDataOffset()));
  ASSERT_FALSE(observer.progress.empty());
  EXPECT_EQ(observer.progress.back(), std::make_pair(k4GiB + 2 * kWindow, kSize));
  EXPECT_EQ(observer.progress.size(), (k4GiB + 2 * kWindow) / kWindow);
}

}  // namespace
}  // namespace tallowin
