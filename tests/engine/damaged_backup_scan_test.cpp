// Scans of backups that damage has hit as it does in the field: a lost or
// copied cluster, a lost folder, file or data set block. Every DIRB and
// FILE block carries a directory id, and the end of each set repeats every
// block's name, size and place; the scan uses both to put each file where
// its own folder is and to bring back files whose blocks were lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalog/text_convert.h"
#include "engine/bkf_scanner.h"
#include "tests/support/lost_files_backup.h"
#include "tests/support/scan_helpers.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

using test::CatalogueLayout;
using test::MtfWriter;
using test::RealFile;
using test::WriterStyle;

struct Row {
  std::u16string path;
  std::int64_t size = 0;
  std::uint64_t offset = 0;
  RowSource source = RowSource::kFileBlock;
  bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* os) {
  *os << ::testing::PrintToString(row.path) << " size " << row.size << " at " << row.offset
      << (row.source == RowSource::kSetCatalogue ? " from the set's catalogue" : "");
}

struct Scanned {
  std::vector<Row> rows;
  ScanTotals totals;
  std::vector<std::uint64_t> filesFound;
};

Scanned Scan(const std::vector<std::byte>& bytes) {
  Catalogue catalogue;
  test::RecordingObserver observer;
  test::MemoryReader reader(bytes);
  CBkfScanner scanner(catalogue, test::SilentLog(), observer);
  EXPECT_TRUE(scanner.Scan(reader));
  Scanned scanned{.rows = {}, .totals = {}, .filesFound = observer.filesFound};
  for (RowIndex row = 0; row < catalogue.CatalogueRowCount(); ++row) {
    const RowNumbers numbers = catalogue.ReadRowNumbers(row);
    scanned.rows.push_back({catalogue.GetCatalogueCell(row, kCellPath), numbers.size,
                            static_cast<std::uint64_t>(numbers.offset), numbers.source});
    if (numbers.source == RowSource::kSetCatalogue) ++scanned.totals.rowsFromSetCatalogue;
  }
  return scanned;
}

std::vector<Row> ScanRows(const std::vector<std::byte>& bytes) { return Scan(bytes).rows; }

// Where the next block of a styled writer begins.
std::size_t Next(const MtfWriter& writer) { return writer.Size(); }

const std::u16string kSet = u"BKF\\BACKUP SET 1(Daily)\\";

// A set of three folders, two files each, and its end with its catalogue.
struct ThreeFolders {
  MtfWriter writer{WriterStyle::kWindowsUtility};
  std::size_t folderBlocks[3] = {};
  std::size_t filesEnd = 0;  // where the set's end begins
  std::vector<Row> rows;     // as an intact copy gives them

  explicit ThreeFolders(CatalogueLayout layout = CatalogueLayout::kInEndOfSet) {
    writer.Tape().DataSet(u"Daily");
    const char16_t* folders[] = {u"Docs\\A", u"Docs\\B", u"Docs\\C"};
    for (int folder = 0; folder < 3; ++folder) {
      folderBlocks[folder] = Next(writer);
      writer.Directory(folders[folder]);
      for (int file = 0; file < 2; ++file) {
        const std::u16string name = std::u16string(1, static_cast<char16_t>(u'a' + folder)) +
                                    static_cast<char16_t>(u'1' + file) + u".txt";
        const std::string data =
            test::SeededData(100 + 300 * static_cast<std::size_t>(2 * folder + file), static_cast<char>('A' + folder));
        writer.FileWithStreams({.name = name, .data = data});
        rows.push_back({kSet + folders[folder] + u"\\" + name, static_cast<std::int64_t>(data.size()),
                        *writer.LastFile().data});
      }
    }
    filesEnd = writer.Size();
    writer.EndOfSet(layout);
  }
  std::vector<std::byte>& Bytes() { return writer.Bytes(); }
};

TEST(IntactBackup, GivesTheSameRowsWithItsCatalogueWhereverItLiesOrWithoutIt) {
  ThreeFolders inEnd(CatalogueLayout::kInEndOfSet);
  ThreeFolders afterFilemark(CatalogueLayout::kAfterFilemark);
  ThreeFolders withoutCatalogue;
  withoutCatalogue.writer.ZeroCluster(*withoutCatalogue.writer.LastSetCatalogue(), 22);
  for (ThreeFolders* backup : {&inEnd, &afterFilemark, &withoutCatalogue}) {
    const Scanned scanned = Scan(backup->Bytes());
    EXPECT_EQ(scanned.rows, inEnd.rows);
    EXPECT_EQ(scanned.totals.rowsFromSetCatalogue, 0u);
    // The same again in the tail pass, and with the set's end in the main pass.
    std::vector<std::byte> padded = backup->Bytes();
    padded.resize(2 * CBkfScanner::kWindowSize + 1024);
    EXPECT_EQ(ScanRows(padded), inEnd.rows);
  }
}

TEST(LostFolderBlock, ItsFilesAreFiledByTheCatalogueOrInALostFolderNeverInTheFolderBefore) {
  ThreeFolders backup;
  backup.writer.ZeroCluster(backup.folderBlocks[1], 1024);
  std::vector<Row> expected = backup.rows;
  // B's files wait for the end of the set; C's come at once.
  std::rotate(expected.begin() + 2, expected.begin() + 4, expected.end());
  const Scanned scanned = Scan(backup.Bytes());
  EXPECT_EQ(scanned.rows, expected);
  EXPECT_EQ(scanned.filesFound, (std::vector<std::uint64_t>{1, 2, 3, 4, 5, 6}));

  // Without the catalogue the folder's name is gone, not its files' place.
  backup.writer.ZeroCluster(*backup.writer.LastSetCatalogue(), 22);
  for (Row& row : expected) {
    const auto b = row.path.find(u"Docs\\B\\");
    if (b != std::u16string::npos) row.path.replace(b, 7, u"[lost folder 2]\\");
  }
  EXPECT_EQ(ScanRows(backup.Bytes()), expected);
}

TEST(LostFolderBlock, ALostDirectoryAtTheStartOfASetLeavesNoFileInThePreviousSet) {
  MtfWriter writer(WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"Daily").Directory(u"Old");
  writer.FileWithStreams({.name = u"old.txt", .data = "old"});
  writer.EndOfSet();
  writer.DataSet(u"Daily");
  const std::size_t lost = Next(writer);
  writer.Directory(u"New");
  writer.FileWithStreams({.name = u"new.txt", .data = "new"});
  writer.EndOfSet();
  writer.ZeroCluster(lost, 1024);
  const std::vector<Row> rows = ScanRows(writer.Bytes());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].path, u"BKF\\BACKUP SET 2(Daily)\\New\\new.txt");
}

// A cluster that holds a copy of another part of the backup, its folder
// block among it: the real files after it keep their own folder.
TEST(CopiedCluster, OfForeignFolderBlocksMovesNoFileOutOfItsFolder) {
  MtfWriter writer(WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"Daily");
  const std::size_t folderA = Next(writer);
  writer.Directory(u"A");
  writer.FileWithStreams({.name = u"a.txt", .data = test::SeededData(100, 'a')});
  writer.Directory(u"B");
  std::vector<std::size_t> blocks;
  for (int i = 0; i < 12; ++i) {
    writer.FileWithStreams({.name = u"b" + std::u16string(1, static_cast<char16_t>(u'a' + i)) + u".txt",
                            .data = test::SeededData(200 + 10 * static_cast<std::size_t>(i), 'b')});
    blocks.push_back(writer.LastFile().block);
  }
  writer.EndOfSet();
  // A and a.txt land where four of B's files were.
  writer.CopyCluster(folderA, blocks[4], 2048);

  const std::vector<Row> rows = ScanRows(writer.Bytes());
  std::size_t inB = 0;
  for (const Row& row : rows) {
    if (row.path.starts_with(kSet + u"B\\")) ++inB;
    // Only a.txt itself, and its copy, are in A.
    if (row.path.find(u"\\A\\") != std::u16string::npos) {
      EXPECT_EQ(row.path.substr(row.path.size() - 5), u"a.txt");
    }
  }
  // Two of B's files lay where the copy now lies: those alone are gone.
  EXPECT_EQ(inB, 10u);
}

// A checked block found in the middle of data, with a directory id that no
// folder has: it is filed where the scan was when it met it, after the rest.
TEST(HeldFile, AnImplausibleDirectoryIdFilesItWhereItWasMetAndAPlausibleOneInALostFolder) {
  MtfWriter writer(WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"Daily").Directory(u"Here");
  writer.FileWithStreams({.name = u"text.bin", .data = "read as a block"});
  writer.Patch(writer.LastFile().block + 76, 0x65482074, 4).ResealBlock(writer.LastFile().block);
  writer.FileWithStreams({.name = u"near.bin", .data = "its folder lost"});
  writer.Patch(writer.LastFile().block + 76, 9, 4).ResealBlock(writer.LastFile().block);
  writer.FileWithStreams({.name = u"plain.bin", .data = "at home"});
  const Scanned scanned = Scan(writer.Bytes());  // no set end: the scan's end ends the scope
  ASSERT_EQ(scanned.rows.size(), 3u);
  EXPECT_EQ(scanned.rows[0].path, kSet + u"Here\\plain.bin");
  EXPECT_EQ(scanned.rows[1].path, kSet + u"Here\\text.bin");
  EXPECT_EQ(scanned.rows[2].path, kSet + u"[lost folder 9]\\near.bin");
}

// The rows that the scan should give for the lost files' backup.
std::vector<Row> ExpectedRows(const test::LostFilesBackup& backup) {
  std::vector<Row> rows;
  for (const auto& row : backup.rows) {
    rows.push_back({kSet + u"Docs\\" + row.name, row.size, row.offset,
                    row.fromSetCatalogue ? RowSource::kSetCatalogue : RowSource::kFileBlock});
  }
  return rows;
}

TEST(LostFileBlock, ComesBackFromTheCatalogueByItsDataHeaderItsChecksumOrAsAnEmptyFile) {
  const test::LostFilesBackup backup;
  const Scanned scanned = Scan(backup.writer.Bytes());
  EXPECT_EQ(scanned.rows, ExpectedRows(backup));
  EXPECT_EQ(scanned.totals.rowsFromSetCatalogue, 4u);
}

TEST(LostFileBlock, TheScanTellsWhatTheCatalogueGaveAndWhatItListsInVain) {
  test::LostFilesBackup backup;
  const test::TempDir dir;
  backup.writer.WriteTo(dir / "lost.bkf");
  Catalogue catalogue;
  test::RecordingObserver observer;
  CBkfScanner scanner(catalogue, test::SilentLog(), observer);
  ASSERT_TRUE(scanner.Run(dir / "lost.bkf"));
  EXPECT_EQ(observer.lastTotals.rows, 6);
  EXPECT_EQ(observer.lastTotals.rowsFromSetCatalogue, 4u);
  EXPECT_EQ(observer.lastTotals.setCatalogueFilesNotFound, 1u);
  EXPECT_FALSE(observer.lastTotals.stopped);
}

TEST(LostFileBlock, ACatalogueEntryThatRunsPastItsStreamEndsTheCatalogue) {
  test::LostFilesBackup backup;
  // The stream now ends in the middle of bare.txt's entry.
  const std::size_t header = *backup.writer.LastSetCatalogue();
  std::size_t entry = header + 22;
  for (int i = 0; i < 4; ++i) entry += test::U16At(backup.writer.Bytes(), entry);  // VOLB, DIRB, intact, far
  backup.writer.Patch(header + 8, entry + 10 - (header + 22), 8).ResealStream(header);
  const std::vector<Row> rows = ScanRows(backup.writer.Bytes());
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].path, kSet + u"Docs\\far.txt");
}

TEST(LostSetBlock, TheCatalogueFindsItsPlaceFromTheOtherBlocksAndTheSetsStayApart) {
  MtfWriter writer(WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"Monday").Directory(u"Docs");
  writer.FileWithStreams({.name = u"one.txt", .data = "first set"});
  writer.EndOfSet();
  const std::size_t set = Next(writer);
  writer.DataSet(u"Tuesday").Directory(u"Docs");
  writer.FileWithStreams({.name = u"two.txt", .data = test::SeededData(800, 't'), .securityDescriptorSize = 700});
  const std::size_t lost = writer.LastFile().block;
  const std::uint64_t data = *writer.LastFile().data;
  writer.FileWithStreams({.name = u"three.txt", .data = "third"});
  const std::uint64_t three = *writer.LastFile().data;
  writer.EndOfSet();
  writer.ZeroCluster(set, 1024).ZeroCluster(lost, 512);
  // Without its SSET block the second set keeps the first one's label, as
  // ever; its directory ids are its own all the same.
  const std::u16string label = u"BKF\\BACKUP SET 1(Monday)\\Docs\\";
  const std::vector<Row> rows = ScanRows(writer.Bytes());
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], (Row{label + u"three.txt", 5, three}));
  EXPECT_EQ(rows[2], (Row{label + u"two.txt", 800, data, RowSource::kSetCatalogue}));
}

TEST(NameInStream, ALongFolderPathAndAFileNameComeFromTheirStreams) {
  MtfWriter writer(WriterStyle::kWindowsUtility);
  std::u16string path;
  while (path.size() < 532) path += u"a folder with a long name\\";
  path.resize(532);
  writer.Tape().DataSet(u"Daily").Directory(path);
  writer.FileWithStreams({.name = u"deep.txt", .data = "deep"});
  writer.Directory(u"Short");
  writer.FileWithStreams({.name = u"named in a stream.txt", .data = "fnam", .nameInStream = true});
  writer.EndOfSet();
  const std::vector<Row> rows = ScanRows(writer.Bytes());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].path, kSet + path + u"\\deep.txt");
  EXPECT_EQ(rows[1].path, kSet + u"Short\\named in a stream.txt");
}

// Stopped before the end of its set, a scan still files the files it held.
TEST(HeldFile, AStoppedScanCataloguesTheFilesItHeld) {
  ThreeFolders backup;
  backup.writer.ZeroCluster(backup.folderBlocks[1], 1024);
  // Cut before the set's end, so that only the scan's end ends the scope.
  std::vector<std::byte> bytes = backup.Bytes();
  bytes.resize(backup.filesEnd);
  bytes.resize(4 * CBkfScanner::kWindowSize);
  std::stop_source stop;
  class StopAtFirstWindow : public ScanObserver {
   public:
    explicit StopAtFirstWindow(std::stop_source& stop) : stop_(stop) {}
    void OnProgress(const JobProgress& progress) override {
      if (progress.done > 0) stop_.request_stop();
    }

   private:
    std::stop_source& stop_;
  } observer(stop);
  Catalogue catalogue;
  test::MemoryReader reader(bytes);
  CBkfScanner scanner(catalogue, test::SilentLog(), observer);
  EXPECT_FALSE(scanner.Scan(reader, stop.get_token()));
  ASSERT_EQ(catalogue.CatalogueRowCount(), 6);
  EXPECT_EQ(catalogue.GetCatalogueCell(5, kCellPath), kSet + u"[lost folder 2]\\b2.txt");
}

}  // namespace
}  // namespace tallowin
