// How data set, directory and file blocks become catalogue paths and folders.
#include <gtest/gtest.h>


#include <string>
#include <vector>

#include "engine/catalogue_builder.h"
#include "tests/support/scan_helpers.h"

namespace tallowin {
namespace {

using Paths = std::vector<std::u16string>;
using test::FileEntry;
using test::MtfWriter;
using test::ScanPaths;

enum class Pass { kMain, kTail };

// A backup of one full window is read by the main pass alone; one below
// 64 KiB by the tail pass alone. The closing block keeps the last block
// examined (a last remainder of 512 bytes is not).
MtfWriter& Finish(MtfWriter& writer, Pass pass) {
  writer.EndOfSet();
  if (pass == Pass::kMain) writer.PadTo(CBkfScanner::kWindowSize);
  return writer;
}

FileEntry Named(std::u16string name) { return FileEntry{.name = std::move(name), .data = "x"}; }

struct SetNameCase {
  std::u16string stored;
  std::u16string mainLabel;
  std::u16string tailLabel;
};

void PrintTo(const SetNameCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.stored); }

class SetName : public ::testing::TestWithParam<SetNameCase> {};

TEST_P(SetName, LabelFollowsTheRulesOfEachPass) {
  for (const Pass pass : {Pass::kMain, Pass::kTail}) {
    MtfWriter writer;
    writer.DataSet(GetParam().stored).File(Named(u"f.txt"));
    const auto& label = pass == Pass::kMain ? GetParam().mainLabel : GetParam().tailLabel;
    EXPECT_EQ(ScanPaths(Finish(writer, pass)), Paths{u"BKF\\" + label + u"\\f.txt"})
        << (pass == Pass::kMain ? "main pass" : "tail pass");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, SetName,
    ::testing::Values(
        SetNameCase{u"Daily", u"BACKUP SET 1(Daily)", u"BACKUP SET 1(Daily)"},
        SetNameCase{u"Set created 12/05/2007", u"BACKUP SET 1(Set created 12_05_2007)",
                    u"BACKUP SET 1(Set created 12_05_2007)"},
        SetNameCase{u"C:\\Users", u"BACKUP SET 1(C__Users)", u"BACKUP SET 1(C__Users)"},
        SetNameCase{std::u16string(u"a\0b", 3), u"BACKUP SET 1(a_b)", u"BACKUP SET 1(a_b)"},
        SetNameCase{u"x\"y", u"BACKUP SET 1(x_y)", u"BACKUP SET 1(x\"y)"},
        SetNameCase{u"", u"BACKUP SET 1()", u"BACKUP SET 1()"},
        SetNameCase{u"a*b", u"BACKUP SET 1()", u"BACKUP SET 1()"},
        SetNameCase{u"a|b", u"BACKUP SET 1()", u"BACKUP SET 1()"},
        SetNameCase{u"a?b", u"BACKUP SET 1()", u"BACKUP SET 1()"},
        SetNameCase{u"a<b", u"BACKUP SET 1()", u"BACKUP SET 1()"},
        SetNameCase{u"a>b", u"BACKUP SET 1()", u"BACKUP SET 1()"}));

TEST(SetBlock, NameOver260BytesIsIgnoredAndDoesNotCountAsASet) {
  MtfWriter writer;
  writer.DataSet(u"A").File(Named(u"1.txt"));
  writer.DataSet(std::u16string(131, u'x')).File(Named(u"2.txt"));  // 262 bytes
  writer.DataSet(std::u16string(130, u'y')).File(Named(u"3.txt"));  // 260 bytes
  EXPECT_EQ(ScanPaths(Finish(writer, Pass::kTail)),
            (Paths{u"BKF\\BACKUP SET 1(A)\\1.txt", u"BKF\\BACKUP SET 1(A)\\2.txt",
                   u"BKF\\BACKUP SET 2(" + std::u16string(130, u'y') + u")\\3.txt"}));
}

TEST(SetBlock, NewSetKeepsTheCurrentDirectory) {
  MtfWriter writer;
  writer.DataSet(u"A").Directory(u"D").DataSet(u"B").File(Named(u"f.txt"));
  EXPECT_EQ(ScanPaths(Finish(writer, Pass::kTail)), Paths{u"BKF\\BACKUP SET 2(B)\\D\\f.txt"});
}

TEST(FileBlock, FileBeforeAnySetOrDirectoryGoesUnderSetZero) {
  MtfWriter writer;
  writer.File(Named(u"readme.txt"));
  Finish(writer, Pass::kTail);
  Catalogue catalogue;
  ScanObserver observer;
  test::MemoryReader file(writer.Bytes());
  CatalogueBuilder builder(catalogue, test::SilentLog(), observer, file, {});
  builder.OnFileBlock({writer.Bytes(), 0, 0}, CBkfScanner::kStreamSearchLimit);
  EXPECT_EQ(test::Paths(catalogue), Paths{u"BKF\\BACKUP SET 0\\readme.txt"});
  EXPECT_EQ(test::TreePaths(catalogue), (Paths{u"BKF", u"BKF\\BACKUP SET 0"}));
  // The directory stays a single backslash for the files that follow, in
  // the next set too.
  MtfWriter next;
  next.DataSet(u"B").File(Named(u"next.txt"));
  builder.OnSetBlock({next.Bytes(), 0, 0}, ScanPass::kMain);
  builder.OnFileBlock({next.Bytes(), 512, 0}, CBkfScanner::kStreamSearchLimit);
  EXPECT_EQ(test::Paths(catalogue).back(), u"BKF\\BACKUP SET 1(B)\\next.txt");
}

TEST(DirectoryBlock, StoredPathBecomesFoldersAndFilePath) {
  MtfWriter writer;
  writer.DataSet(u"Daily").Directory(u"Docs\\A").File(Named(u"a.txt"));
  Finish(writer, Pass::kTail);
  Catalogue catalogue;
  test::ScanBytes(writer.Bytes(), catalogue);
  EXPECT_EQ(test::Paths(catalogue), Paths{u"BKF\\BACKUP SET 1(Daily)\\Docs\\A\\a.txt"});
  EXPECT_EQ(test::TreePaths(catalogue),
            (Paths{u"BKF", u"BKF\\BACKUP SET 1(Daily)", u"BKF\\BACKUP SET 1(Daily)\\Docs",
                   u"BKF\\BACKUP SET 1(Daily)\\Docs\\A"}));
}

struct DirectoryCase {
  std::u16string stored;
  std::u16string directory;  // as it appears in the file's path
};

void PrintTo(const DirectoryCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.stored); }

class DirectoryName : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(DirectoryName, IsMadeIntoABackslashBoundDirectory) {
  MtfWriter writer;
  writer.DirectoryRaw(GetParam().stored).File(Named(u"f"));
  EXPECT_EQ(ScanPaths(Finish(writer, Pass::kTail)),
            Paths{u"BKF\\BACKUP SET 0" + GetParam().directory + u"f"});
}

INSTANTIATE_TEST_SUITE_P(
    Names, DirectoryName,
    ::testing::Values(DirectoryCase{std::u16string(u"Docs\0", 5), u"\\Docs\\"},
                      DirectoryCase{u"Docs", u"\\Docs\\"},
                      DirectoryCase{u"\\Docs\\", u"\\Docs\\"},
                      DirectoryCase{u"", u"\\"},
                      DirectoryCase{std::u16string(u"\0", 1), u"\\"},
                      DirectoryCase{u"Sa\"id", u"\\Sa\"id\\"},
                      DirectoryCase{u"a?b", u"\\lost dir0\\"},
                      DirectoryCase{u"a:b", u"\\lost dir0\\"},
                      DirectoryCase{std::u16string(300, u'd'),
                                    u"\\" + std::u16string(255, u'd') + u"\\"}));

TEST(DirectoryBlock, LostDirectoriesAreNumberedPerScan) {
  MtfWriter writer;
  writer.Directory(u"what?").File(Named(u"1")).Directory(u"ok").Directory(u"a|b").File(Named(u"2"));
  Finish(writer, Pass::kTail);
  const Paths expected{u"BKF\\BACKUP SET 0\\lost dir0\\1", u"BKF\\BACKUP SET 0\\lost dir1\\2"};
  EXPECT_EQ(ScanPaths(writer), expected);
  EXPECT_EQ(ScanPaths(writer), expected) << "a second scan starts counting at 0 again";
}

TEST(DirectoryBlock, FolderChainLongerThan260CharactersStaysOutOfTheTree) {
  // "BKF\BACKUP SET 1(S)" is 19 characters; a directory of n letters makes
  // the text 21 + n characters long.
  const std::u16string fits(239, u'a'), tooLong(240, u'b');
  MtfWriter writer;
  writer.DataSet(u"S").Directory(fits).Directory(tooLong);
  Catalogue catalogue;
  test::ScanBytes(Finish(writer, Pass::kTail).Bytes(), catalogue);
  EXPECT_EQ(test::TreePaths(catalogue),
            (Paths{u"BKF", u"BKF\\BACKUP SET 1(S)", u"BKF\\BACKUP SET 1(S)\\" + fits}));

  // A file below the long directory is still filed there, and its own folder
  // chain has no length limit.
  writer.File(Named(u"f"));
  Catalogue withFile;
  test::ScanBytes(Finish(writer, Pass::kTail).Bytes(), withFile);
  EXPECT_EQ(test::Paths(withFile), Paths{u"BKF\\BACKUP SET 1(S)\\" + tooLong + u"\\f"});
  EXPECT_EQ(test::TreePaths(withFile).back(), u"BKF\\BACKUP SET 1(S)\\" + tooLong);
}

struct FileNameCase {
  std::u16string stored;
  std::optional<std::u16string> catalogued;  // nothing: the block yields no row
};

void PrintTo(const FileNameCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.stored); }

class FileName : public ::testing::TestWithParam<FileNameCase> {};

TEST_P(FileName, IsCataloguedOrLeftOut) {
  MtfWriter writer;
  writer.File(Named(GetParam().stored));
  const Paths paths = ScanPaths(Finish(writer, Pass::kTail));
  if (GetParam().catalogued) {
    EXPECT_EQ(paths, Paths{u"BKF\\BACKUP SET 0\\" + *GetParam().catalogued});
  } else {
    EXPECT_EQ(paths, Paths{});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileName,
    ::testing::Values(FileNameCase{u"a.txt", u"a.txt"}, FileNameCase{u"\\a.txt", u"a.txt"},
                      FileNameCase{u"Say \"hi\".txt", u"Say \"hi\".txt"},
                      FileNameCase{std::u16string(300, u'n'), std::u16string(255, u'n')},
                      FileNameCase{u"", std::nullopt}, FileNameCase{u"a:b.txt", std::nullopt},
                      FileNameCase{u"a/b", std::nullopt}, FileNameCase{u"a|b", std::nullopt},
                      FileNameCase{u"a*b", std::nullopt}, FileNameCase{u"a?b", std::nullopt},
                      FileNameCase{u"a<b", std::nullopt}, FileNameCase{u"a>b", std::nullopt}));

TEST(FileBlock, CellsHoldSizeOffsetAndTheThreeTimesInTheirPlaces) {
  MtfWriter writer;
  writer.DataSet(u"S").File({.name = u"t.bin",
                             .data = "12345",
                             .modified = {2007, 5, 12, 14, 30, 45},
                             .created = {2006, 1, 2, 3, 4, 5},
                             .accessed = {2008, 12, 31, 23, 59, 59},
                             .declaredLength = 0x1'0000'0005});
  const auto dataOffset = writer.LastDataOffset();
  Catalogue catalogue;
  test::ScanBytes(Finish(writer, Pass::kTail).Bytes(), catalogue);
  ASSERT_EQ(catalogue.CatalogueRowCount(), 1);
  const std::vector<std::u16string> expected{
      u"BKF\\BACKUP SET 1(S)\\t.bin", u"BIN File", u"4294967301", FormatInt64(dataOffset),
      u"541038720", u"29856930",     // modified 2007-05-12 14:30:45
      u"3809388928", u"29977507",    // accessed 2008-12-31 23:59:59
      u"816332928", u"29757257"};    // created 2006-01-02 03:04:05
  for (int cell = 0; cell < kCatalogueCellCount; ++cell) {
    EXPECT_EQ(catalogue.GetCatalogueCell(0, cell), expected[static_cast<std::size_t>(cell)])
        << "cell " << cell;
  }
}

TEST(FileBlock, StreamLengthOfTopBitSetIsWrittenNegative) {
  MtfWriter writer;
  writer.File({.name = u"f", .data = "", .declaredLength = 0xFFFF'FFFF'FFFF'FFFE});
  Catalogue catalogue;
  test::ScanBytes(Finish(writer, Pass::kTail).Bytes(), catalogue);
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellSize), u"-2");
}

TEST(FileBlock, DuplicateBlocksGiveDuplicateRowsAndOneFolderChain) {
  MtfWriter writer;
  writer.DataSet(u"S").Directory(u"D").File(Named(u"f.txt")).File(Named(u"f.txt"));
  Catalogue catalogue;
  test::ScanBytes(Finish(writer, Pass::kTail).Bytes(), catalogue);
  EXPECT_EQ(test::Paths(catalogue),
            (Paths{u"BKF\\BACKUP SET 1(S)\\D\\f.txt", u"BKF\\BACKUP SET 1(S)\\D\\f.txt"}));
  EXPECT_EQ(test::TreePaths(catalogue),
            (Paths{u"BKF", u"BKF\\BACKUP SET 1(S)", u"BKF\\BACKUP SET 1(S)\\D"}));
}

// Fields that lie past the filled bytes of the window are never read.
TEST(BlockCutByTheFilledEnd, FieldsPastItCountAsEmpty) {
  MtfWriter sets, dirs, files, probe;
  sets.DataSet(u"Name");
  dirs.Directory(u"Docs");
  files.File({.name = u"f.txt", .data = "x", .streamOffset = 30});  // name at 96 to 106
  probe.File(Named(u"p.txt"));

  Catalogue catalogue;
  ScanObserver observer;
  test::MemoryReader file({});
  CatalogueBuilder builder(catalogue, test::SilentLog(), observer, file, {});
  // A whole FILE block after each cut one shows the set and directory it left.
  const auto probed = [&] {
    builder.OnFileBlock({probe.Bytes(), 0, 0}, CBkfScanner::kStreamSearchLimit);
    return test::Paths(catalogue).back();
  };
  // The set name starts at 128, the directory name at 96.
  builder.OnSetBlock({Bytes(sets.Bytes()).first(128 + 7), 0, 0}, ScanPass::kMain);
  EXPECT_EQ(probed(), u"BKF\\BACKUP SET 1()\\p.txt");
  builder.OnDirectoryBlock({dirs.Bytes(), 0, 0});
  ASSERT_EQ(probed(), u"BKF\\BACKUP SET 1()\\Docs\\p.txt");
  builder.OnDirectoryBlock({Bytes(dirs.Bytes()).first(96 + 9), 0, 0});
  EXPECT_EQ(probed(), u"BKF\\BACKUP SET 1()\\p.txt");
  builder.OnFileBlock({Bytes(files.Bytes()).first(105), 0, 0}, CBkfScanner::kStreamSearchLimit);
  EXPECT_EQ(catalogue.CatalogueRowCount(), 3);
  builder.OnFileBlock({Bytes(files.Bytes()).first(106), 0, 0}, CBkfScanner::kStreamSearchLimit);
  EXPECT_EQ(test::Paths(catalogue).back(), u"BKF\\BACKUP SET 1()\\f.txt");
}

}  // namespace
}  // namespace tallowin
