// Scans of backups as the Windows backup utility and another writer lay them
// out: empty files, security data that pushes the data stream far into the
// block, sparse files, and a FILE block without data right before the next.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalog/activity_log.h"
#include "catalog/file_time.h"
#include "engine/bkf_scanner.h"
#include "tests/support/scan_helpers.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

using test::MtfWriter;
using test::RealFile;
using test::WriterStyle;

enum class Pass { kMain, kTail };

struct Row {
  std::u16string path;
  std::int64_t size;
  std::uint64_t offset;
  bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* os) {
  *os << ::testing::PrintToString(row.path) << " size " << row.size << " at " << row.offset;
}

std::vector<Row> Rows(const Catalogue& catalogue) {
  std::vector<Row> rows;
  for (RowIndex row = 0; row < catalogue.CatalogueRowCount(); ++row) {
    rows.push_back({catalogue.GetCatalogueCell(row, kCellPath), ParseInt64(catalogue.GetCatalogueCell(row, kCellSize)),
                    static_cast<std::uint64_t>(ParseInt64(catalogue.GetCatalogueCell(row, kCellOffset)))});
  }
  return rows;
}

std::vector<Row> ScanRows(const std::vector<std::byte>& bytes) {
  Catalogue catalogue;
  test::ScanBytes(bytes, catalogue);
  return Rows(catalogue);
}

// The backup ends with a set's end and its catalogue; a main-pass file is
// padded past one whole window.
MtfWriter& Finish(MtfWriter& writer, Pass pass) {
  writer.EndOfSet();
  if (pass == Pass::kMain) writer.PadTo(std::max<std::size_t>(writer.Size(), 2 * CBkfScanner::kWindowSize));
  return writer;
}

// Where the last file's row must point: its data, or its block when it has none.
std::uint64_t RowOffset(const MtfWriter& writer) {
  const auto& file = writer.LastFile();
  return file.data ? *file.data : file.block;
}

// A Windows-utility file whose data stream header lies `distance` bytes
// into its FILE block, made so by the size of its security data.
MtfWriter& FileWithStanAt(MtfWriter& writer, std::size_t distance, const std::string& data) {
  for (std::size_t descriptor = 0; descriptor < 4 * distance; ++descriptor) {
    MtfWriter probe(WriterStyle::kWindowsUtility);
    probe.FileWithStreams({.name = u"far.dat", .data = data, .securityDescriptorSize = descriptor});
    if (*probe.LastFile().stanHeader - probe.LastFile().block == distance) {
      return writer.FileWithStreams({.name = u"far.dat", .data = data, .securityDescriptorSize = descriptor});
    }
  }
  throw std::logic_error("no security descriptor size gives that distance");
}

TEST(RealBackup, EveryFileOfAWindowsBackupIsCataloguedWhereItsDataLies) {
  for (const Pass pass : {Pass::kMain, Pass::kTail}) {
    MtfWriter writer(WriterStyle::kWindowsUtility);
    std::vector<Row> expected;
    const auto add = [&](std::u16string path, const RealFile& file) {
      writer.FileWithStreams(file);
      const std::int64_t size = file.sparseSize ? static_cast<std::int64_t>(*file.sparseSize)
                                                : static_cast<std::int64_t>(file.data.size());
      expected.push_back({std::move(path), size, RowOffset(writer)});
    };
    writer.Tape().DataSet(u"Set created 12/05/2007").Directory(u"Documents and Settings\\ann");
    const std::u16string folder = u"BKF\\BACKUP SET 1(Set created 12_05_2007)\\Documents and Settings\\ann\\";
    add(folder + u"letter.doc", {.name = u"letter.doc", .data = std::string(3000, 'l')});
    add(folder + u"desktop.ini", {.name = u"desktop.ini"});
    add(folder + u"audited.xls", {.name = u"audited.xls", .data = "on a file server", .securityDescriptorSize = 1400});
    const std::u16string longName(100, u'n');
    add(folder + longName, {.name = longName, .data = "long name", .shortName = u"NNNNNN~1"});
    add(folder + u"disk.vhd", {.name = u"disk.vhd",
                               .sparse = {{4096, "start"}, {1 << 20, "later"}},
                               .sparseSize = std::uint64_t{2} << 20});
    add(folder + u"New Text Document.txt", {.name = u"New Text Document.txt"});
    writer.EndOfSet();
    writer.DataSet(u"Set created 12/05/2007").Directory(u"Data");
    add(u"BKF\\BACKUP SET 2(Set created 12_05_2007)\\Data\\q.csv", {.name = u"q.csv", .data = "a;b"});
    EXPECT_EQ(ScanRows(Finish(writer, pass).Bytes()), expected) << (pass == Pass::kMain ? "main" : "tail");
  }
}

TEST(RealBackup, TheOtherWritersFilesAreFoundWithTheirDataOffTheGrid) {
  MtfWriter writer(WriterStyle::kOtherWriter);
  writer.Tape().DataSet(u"Nightly").Directory(u"srv");
  writer.File({.name = u"a.txt", .data = "alpha"});
  const std::uint64_t a = writer.LastDataOffset();
  writer.File({.name = u"b.txt", .data = std::string(2000, 'b')});
  const std::uint64_t b = writer.LastDataOffset();
  writer.EndOfSet().XmlCatalogue();
  EXPECT_NE(a % 4, 0u);
  EXPECT_EQ(ScanRows(writer.Bytes()),
            (std::vector<Row>{{u"BKF\\BACKUP SET 1(Nightly)\\srv\\a.txt", 5, a},
                              {u"BKF\\BACKUP SET 1(Nightly)\\srv\\b.txt", 2000, b}}));
}

TEST(EmptyFile, IsARowOfSizeZeroAtItsBlockWithItsTimesAndLogLine) {
  test::TempDir dir;
  ActivityLog log(dir / "TwBkf.log");
  log.SetGenerateLog(true);
  MtfWriter writer(WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"S").Directory(u"D");
  writer.FileWithStreams({.name = u"before.txt", .data = "1"});
  writer.FileWithStreams({.name = u"empty.lock",
                          .modified = {2010, 3, 4, 5, 6, 7},
                          .created = {2009, 1, 1, 0, 0, 0},
                          .accessed = {2011, 2, 2, 2, 2, 2}});
  const std::size_t block = writer.LastFile().block;
  writer.FileWithStreams({.name = u"after.txt", .data = "2"});
  Finish(writer, Pass::kTail);

  Catalogue catalogue;
  ScanObserver quiet;
  CBkfScanner scanner(catalogue, log, quiet);
  test::MemoryReader reader(writer.Bytes());
  scanner.Scan(reader);
  ASSERT_EQ(catalogue.CatalogueRowCount(), 3);
  EXPECT_EQ(catalogue.GetCatalogueCell(1, kCellPath), u"BKF\\BACKUP SET 1(S)\\D\\empty.lock");
  EXPECT_EQ(catalogue.GetCatalogueCell(1, kCellSize), u"0");
  EXPECT_EQ(catalogue.GetCatalogueCell(1, kCellOffset), FormatInt64(static_cast<std::int64_t>(block)));
  const auto time = [&](int low) {
    return JoinFileTime(catalogue.GetCatalogueCell(1, low), catalogue.GetCatalogueCell(1, low + 1));
  };
  EXPECT_EQ(time(kCellModifiedLow), *FileTimeFromCalendar({2010, 3, 4, 5, 6, 7, 0}));
  EXPECT_EQ(time(kCellCreatedLow), *FileTimeFromCalendar({2009, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(time(kCellAccessedLow), *FileTimeFromCalendar({2011, 2, 2, 2, 2, 2, 0}));
  const std::string text = test::ReadFileBytes(log.Path());
  const std::string rowLine = test::Le(u"SUCC 0013\r\n");
  std::size_t rowLines = 0;
  for (auto at = text.find(rowLine); at != std::string::npos; at = text.find(rowLine, at + 1)) ++rowLines;
  EXPECT_EQ(rowLines, 3u);
}

// Its data is in an "NTED" stream that this program cannot decrypt: the row
// says so much as that the file exists, and saves what is stored.
TEST(EncryptedFile, GetsARowOfItsStoredBytes) {
  for (const Pass pass : {Pass::kMain, Pass::kTail}) {
    MtfWriter writer(WriterStyle::kWindowsUtility);
    writer.Tape().DataSet(u"S");
    writer.FileWithStreams({.name = u"secret.doc", .data = "ciphertext", .encrypted = true});
    const std::uint64_t secret = *writer.LastFile().data;
    writer.FileWithStreams({.name = u"plain.doc", .data = "text"});
    EXPECT_EQ(ScanRows(Finish(writer, pass).Bytes()),
              (std::vector<Row>{{u"BKF\\BACKUP SET 1(S)\\secret.doc", 10, secret},
                                {u"BKF\\BACKUP SET 1(S)\\plain.doc", 4, RowOffset(writer)}}));
  }
}

struct FarStreamCase {
  std::size_t distance;
  Pass pass;
};

class FarDataStream : public ::testing::TestWithParam<FarStreamCase> {};

TEST_P(FarDataStream, IsFoundByTheBlocksOwnStreamChain) {
  MtfWriter writer(WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"S");
  FileWithStanAt(writer, GetParam().distance, "data past the search");
  const Row expected{u"BKF\\BACKUP SET 1(S)\\far.dat", 20, RowOffset(writer)};
  EXPECT_EQ(ScanRows(Finish(writer, GetParam().pass).Bytes()), std::vector<Row>{expected});
}

INSTANTIATE_TEST_SUITE_P(Distances, FarDataStream,
                         ::testing::Values(FarStreamCase{1024, Pass::kMain}, FarStreamCase{1236, Pass::kMain},
                                           FarStreamCase{1024, Pass::kTail}, FarStreamCase{1236, Pass::kTail}));

// A FILE block at the last position of a window (where data has been
// shifted by damage), whose stream chain leads into the next window.
std::vector<std::byte> ShiftedToPosition127(MtfWriter& writer, std::size_t& dataOffset) {
  writer.Tape().DataSet(u"S");
  writer.PadTo(126 * kBlockSize);
  FileWithStanAt(writer, 700, "across the window");
  Finish(writer, Pass::kMain);
  std::vector<std::byte> bytes(kBlockSize, std::byte{0});
  bytes.insert(bytes.end(), writer.Bytes().begin(), writer.Bytes().end());
  dataOffset = *writer.LastFile().data + kBlockSize;
  return bytes;
}

TEST(StreamChain, LeadsFromTheLastPositionOfAWindowIntoTheNext) {
  MtfWriter writer(WriterStyle::kWindowsUtility);
  std::size_t dataOffset = 0;
  const auto bytes = ShiftedToPosition127(writer, dataOffset);
  ASSERT_EQ(writer.LastFile().block + kBlockSize, 127 * kBlockSize);
  EXPECT_EQ(ScanRows(bytes), (std::vector<Row>{{u"BKF\\BACKUP SET 1(S)\\far.dat", 17, dataOffset}}));

  // A failed read of the next window ends the walk without a result.
  Catalogue catalogue;
  test::MemoryReader reader(bytes);
  reader.limitRead = [](std::uint64_t offset, std::size_t count) {
    return offset >= CBkfScanner::kWindowSize && offset < 2 * CBkfScanner::kWindowSize ? 0 : count;
  };
  test::ScanReader(reader, catalogue);
  EXPECT_EQ(catalogue.CatalogueRowCount(), 0);
}

// What ends a walk without a row: a stream header or block header that does
// not check out, the bound of 64 KiB, the end of the file.
TEST(StreamChain, EndsWithoutAResultWhereNothingCanBeKnown) {
  const auto farFile = [](std::size_t descriptor) {
    MtfWriter writer(WriterStyle::kWindowsUtility);
    writer.Tape().DataSet(u"S");
    writer.FileWithStreams({.name = u"far.dat", .data = "x", .securityDescriptorSize = descriptor});
    return writer;
  };
  MtfWriter good = farFile(1400);
  const std::size_t block = good.LastFile().block;
  ASSERT_EQ(ScanRows(Finish(good, Pass::kTail).Bytes()).size(), 1u);

  MtfWriter badStream = farFile(1400);
  const std::size_t nacl = block + test::U16At(badStream.Bytes(), block + 8);
  badStream.Bytes()[nacl + 20] ^= std::byte{1};
  EXPECT_TRUE(ScanRows(Finish(badStream, Pass::kTail).Bytes()).empty()) << "a stream header that does not check out";

  MtfWriter badBlock = farFile(1400);
  badBlock.Bytes()[block + 20] ^= std::byte{1};  // the format logical address
  EXPECT_TRUE(ScanRows(Finish(badBlock, Pass::kTail).Bytes()).empty()) << "a block header that does not check out";

  MtfWriter within = farFile(65'000);
  ASSERT_LT(*within.LastFile().stanHeader + 22 - block, 65'536u);
  EXPECT_EQ(ScanRows(Finish(within, Pass::kMain).Bytes()).size(), 1u);
  MtfWriter beyond = farFile(65'600);
  ASSERT_GT(*beyond.LastFile().stanHeader + 22 - block, 65'536u);
  EXPECT_TRUE(ScanRows(Finish(beyond, Pass::kMain).Bytes()).empty()) << "past the bound";

  MtfWriter cut = farFile(3000);
  cut.Bytes().resize(block + 2048);
  EXPECT_TRUE(ScanRows(cut.Bytes()).empty()) << "the file ends inside the security data";
}

// With 512-byte blocks, a FILE block without data is followed directly by
// the next file's block, whose data stream lies within the old search limit.
TEST(NeighbourBlock, AFileWithoutDataNeverTakesTheNextFilesData) {
  for (const WriterStyle style : {WriterStyle::kWindowsUtility, WriterStyle::kOtherWriter}) {
    MtfWriter writer(style, 512);
    writer.Tape().DataSet(u"S");
    writer.FileWithStreams({.name = u"empty.txt", .securityDescriptorSize = 40});
    const std::size_t emptyBlock = writer.LastFile().block;
    writer.FileWithStreams({.name = u"next.txt", .data = "the next file's bytes", .securityDescriptorSize = 40});
    const std::uint64_t nextData = writer.LastDataOffset();
    writer.EndOfSet();
    ASSERT_EQ(writer.LastFile().block, emptyBlock + kBlockSize);
    ASSERT_LT(*writer.LastFile().stanHeader - emptyBlock, 1024u);

    std::vector<Row> expected{{u"BKF\\BACKUP SET 1(S)\\next.txt", 21, nextData}};
    // The Windows utility's chain of streams shows the empty file; the other
    // writer leaves its checksums at zero, so it cannot be told from damage.
    if (style == WriterStyle::kWindowsUtility) {
      expected.insert(expected.begin(), {u"BKF\\BACKUP SET 1(S)\\empty.txt", 0, emptyBlock});
    }
    EXPECT_EQ(ScanRows(writer.Bytes()), expected);
  }
}

TEST(SparseFile, IsCataloguedWithTheFilesSizeAndItsPiecesAfterTheEmptyDataStream) {
  MtfWriter writer(WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"S");
  writer.FileWithStreams({.name = u"big.img", .sparse = {{0, "head"}}, .sparseSize = std::uint64_t{5} << 32});
  const Row expected{u"BKF\\BACKUP SET 1(S)\\big.img", std::int64_t{5} << 32, *writer.LastFile().data};
  EXPECT_EQ(ScanRows(Finish(writer, Pass::kTail).Bytes()), std::vector<Row>{expected});
}

}  // namespace
}  // namespace tallowin
