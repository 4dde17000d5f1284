// The catalogue store: cell text forms, number helpers and the folder tree.
#include <gtest/gtest.h>

#include <set>

#include <map>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "catalog/catalogue.h"
#include "catalog/file_time.h"
#include "catalog/number_text.h"
#include "tests/support/scan_helpers.h"

namespace tallowin {
namespace {

using Paths = std::vector<std::u16string>;

// The two cell texts of a file time.
std::pair<std::u16string, std::u16string> SplitFileTime(FileTime time) {
  return {FormatLowHalf(static_cast<std::uint32_t>(time)), FormatHighHalf(static_cast<std::uint32_t>(time >> 32))};
}

struct ParseCase {
  std::u16string text;
  std::int64_t value;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.text); }

class ParseInt64Case : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseInt64Case, ReadsLikeTheCellReaderDoes) {
  EXPECT_EQ(ParseInt64(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseInt64Case,
    ::testing::Values(ParseCase{u"123", 123}, ParseCase{u"-123", -123}, ParseCase{u"+7", 7},
                      ParseCase{u"  \t12", 12}, ParseCase{u"007", 7}, ParseCase{u"-0", 0},
                      ParseCase{u"12abc", 12}, ParseCase{u"abc", 0}, ParseCase{u"", 0},
                      ParseCase{u"-", 0}, ParseCase{u"--5", 0}, ParseCase{u"1 2", 1},
                      ParseCase{u"\x0661", 0},  // an Arabic-Indic digit is no digit here
                      ParseCase{u"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
                      ParseCase{u"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
                      ParseCase{u"99999999999999999999", std::numeric_limits<std::int64_t>::max()},
                      ParseCase{u"-99999999999999999999",
                                std::numeric_limits<std::int64_t>::min()}));

TEST(FileTimeText, Iso8601WithFractionsOnlyWhereThereAreAny) {
  EXPECT_EQ(FormatIso8601(0), "1601-01-01T00:00:00Z");
  EXPECT_EQ(FormatIso8601(130000000001234567), "2012-12-14T23:06:40.1234567Z");
  EXPECT_EQ(FormatIso8601(130000000000000005), "2012-12-14T23:06:40.0000005Z");
  EXPECT_EQ(FormatIso8601(UINT64_MAX).substr(0, 6), "60056-");
  EXPECT_TRUE(FormatIso8601(UINT64_MAX).ends_with(".9551615Z"));
}

TEST(NumberText, FileTimeHalvesRoundTripAndATopBitHighHalfReadsAsZero) {
  EXPECT_EQ(SplitFileTime(128234538450000000),  // 2007-05-12 14:30:45
            (std::pair<std::u16string, std::u16string>{u"541038720", u"29856930"}));
  EXPECT_EQ(JoinFileTime(u"541038720", u"29856930"), FileTime{128234538450000000});
  EXPECT_EQ(SplitFileTime(0xFFFF'FFFF), (std::pair<std::u16string, std::u16string>{u"4294967295", u"0"}));
  EXPECT_EQ(SplitFileTime(0x8000'0001'0000'0002),
            (std::pair<std::u16string, std::u16string>{u"2", u"-2147483647"}));
  EXPECT_EQ(JoinFileTime(u"2", u"-2147483647"), FileTime{2});
}

TEST(NumberText, JoinTakesLowBitsAndTreatsNegativeOrNoDigitsAsZero) {
  EXPECT_EQ(JoinFileTime(u"abc", u""), FileTime{0});
  EXPECT_EQ(JoinFileTime(u"-5", u"1"), FileTime{1} << 32);
  EXPECT_EQ(JoinFileTime(u"4294967297", u"0"), FileTime{1});  // 2^32 + 1: low 32 bits
  EXPECT_EQ(JoinFileTime(u" 7x", u"+3"), (FileTime{3} << 32) | 7);
}

TEST(Catalogue, AppendedRowHasPathAndTypeOnlyAndIsUnchecked) {
  Catalogue catalogue([](std::u16string_view extension) {
    return FileTypeInfo{extension == u"txt" ? u"Text document" : u"Other", {}};
  });
  EXPECT_EQ(catalogue.AppendCatalogueRow(u"BKF\\S\\a.txt"), 0);
  EXPECT_EQ(catalogue.AppendCatalogueRow(u"BKF\\x.txt\\noext"), 1);
  EXPECT_EQ(catalogue.CatalogueRowCount(), 2);
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellPath), u"BKF\\S\\a.txt");
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellType), u"Text document");
  EXPECT_EQ(catalogue.GetCatalogueCell(1, kCellType), u"Other");  // the folder's dot does not count
  for (int cell = kCellSize; cell < kCatalogueCellCount; ++cell) {
    EXPECT_EQ(catalogue.GetCatalogueCell(0, cell), u"") << "cell " << cell;
  }
  EXPECT_FALSE(catalogue.IsRowChecked(0));
  EXPECT_NE(catalogue.IconIndex(0), catalogue.IconIndex(1));
  EXPECT_EQ(catalogue.FileType(catalogue.IconIndex(0)).description, u"Text document");
}

TEST(Catalogue, IndexOrCellOutOfRangeReadsEmptyAndWritesNothing) {
  Catalogue catalogue;
  catalogue.AppendCatalogueRow(u"BKF\\a");
  catalogue.SetCatalogueCell(0, kCellPath, u"other");
  catalogue.SetCatalogueCell(0, kCellType, u"other");
  catalogue.SetCatalogueCell(1, kCellSize, u"5");
  catalogue.SetCatalogueCell(-1, kCellSize, u"5");
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellPath), u"BKF\\a");
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellType), u"File");
  for (const auto& [row, cell] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 10}}) {
    EXPECT_EQ(catalogue.GetCatalogueCell(row, cell), u"") << row << "," << cell;
  }
  EXPECT_FALSE(catalogue.IsRowChecked(1));
}

struct CellCase {
  int cell;
  std::u16string text;
};

void PrintTo(const CellCase& c, std::ostream* os) {
  *os << "cell " << c.cell << " " << ::testing::PrintToString(c.text);
}

class CellText : public ::testing::TestWithParam<CellCase> {};

// Cells hold numbers compactly, but any text set reads back exactly as set.
TEST_P(CellText, ReadsBackExactlyAsSet) {
  Catalogue catalogue;
  const RowIndex row = catalogue.AppendCatalogueRow(u"BKF\\a");
  catalogue.SetCatalogueCell(row, GetParam().cell, GetParam().text);
  EXPECT_EQ(catalogue.GetCatalogueCell(row, GetParam().cell), GetParam().text);
  for (int other = kCellSize; other < kCatalogueCellCount; ++other) {
    if (other != GetParam().cell) {
      EXPECT_EQ(catalogue.GetCatalogueCell(row, other), u"") << "cell " << other;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CellText,
    ::testing::Values(
        // Canonical forms.
        CellCase{kCellSize, u"0"}, CellCase{kCellSize, u"-1"},
        CellCase{kCellOffset, u"-9223372036854775808"}, CellCase{kCellOffset, u"9223372036854775807"},
        CellCase{kCellModifiedLow, u"4294967295"}, CellCase{kCellModifiedHigh, u"-2147483648"},
        CellCase{kCellCreatedHigh, u"2147483647"},
        // Anything else, unchanged.
        CellCase{kCellSize, u"007"}, CellCase{kCellSize, u" 12"}, CellCase{kCellSize, u"-0"},
        CellCase{kCellSize, u"+5"}, CellCase{kCellSize, u"abc"}, CellCase{kCellSize, u"12abc"},
        CellCase{kCellOffset, u"9223372036854775808"}, CellCase{kCellAccessedLow, u"-1"},
        CellCase{kCellAccessedLow, u"4294967296"}, CellCase{kCellAccessedHigh, u"2147483648"},
        CellCase{kCellCreatedLow, u"1\r"}, CellCase{kCellCreatedLow, u"\xD800"},
        CellCase{kCellModifiedHigh, u"-2147483649"}));

TEST(Catalogue, LaterSetReplacesEarlierTextOrValue) {
  Catalogue catalogue;
  const RowIndex row = catalogue.AppendCatalogueRow(u"BKF\\a");
  catalogue.SetCatalogueCell(row, kCellSize, u"007");
  catalogue.SetCatalogueCell(row, kCellSize, u"7");
  EXPECT_EQ(catalogue.GetCatalogueCell(row, kCellSize), u"7");
  catalogue.SetCatalogueCell(row, kCellSize, u"x");
  EXPECT_EQ(catalogue.GetCatalogueCell(row, kCellSize), u"x");
  catalogue.SetCatalogueNumber(row, kCellSize, -3);
  EXPECT_EQ(catalogue.GetCatalogueCell(row, kCellSize), u"-3");
  catalogue.SetCatalogueCell(row, kCellSize, u"");
  EXPECT_EQ(catalogue.GetCatalogueCell(row, kCellSize), u"");
  catalogue.SetCatalogueCell(row, kCellModifiedHigh, u"junk");
  const auto [low, high] = SplitFileTime(0x8000'0000'0000'0001);
  catalogue.SetCatalogueCell(row, kCellModifiedLow, low);
  catalogue.SetCatalogueCell(row, kCellModifiedHigh, high);
  EXPECT_EQ(catalogue.GetCatalogueCell(row, kCellModifiedLow), u"1");
  EXPECT_EQ(catalogue.GetCatalogueCell(row, kCellModifiedHigh), u"-2147483648");
}

TEST(Catalogue, TextsOfOneRowNeverShowInAnother) {
  Catalogue catalogue;
  for (int i = 0; i < 3; ++i) catalogue.AppendCatalogueRow(u"BKF\\f" + FormatInt64(i));
  catalogue.SetCatalogueCell(1, kCellOffset, u"007");
  catalogue.SetCatalogueCell(2, kCellOffset, u"8");
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellOffset), u"");
  EXPECT_EQ(catalogue.GetCatalogueCell(1, kCellOffset), u"007");
  EXPECT_EQ(catalogue.GetCatalogueCell(2, kCellOffset), u"8");
  EXPECT_EQ(catalogue.GetCatalogueCell(1, kCellSize), u"");
}

TEST(Catalogue, ClearRemovesEveryRowAndItsTexts) {
  Catalogue catalogue;
  catalogue.AppendCatalogueRow(u"BKF\\S\\old.txt");
  catalogue.SetCatalogueCell(0, kCellSize, u"007");
  catalogue.SetCatalogueCell(0, kCellOffset, u"10");
  catalogue.SetRowChecked(0, true);
  catalogue.ClearCatalogue();
  EXPECT_EQ(catalogue.CatalogueRowCount(), 0);
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellPath), u"");
  EXPECT_EQ(catalogue.AppendCatalogueRow(u"BKF\\T\\new.txt"), 0);
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellPath), u"BKF\\T\\new.txt");
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellSize), u"");
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellOffset), u"");
  EXPECT_FALSE(catalogue.IsRowChecked(0));
}

// The numbers a reader takes in one step are what the cell texts give when
// parsed, whatever form the cells were set in.
TEST(Catalogue, RowNumbersAreWhatTheCellTextsReadAs) {
  Catalogue catalogue;
  const std::vector<std::u16string> texts = {u"",          u"0",          u"7",           u"-7",
                                             u"007",       u" 12x",       u"abc",         u"4294967295",
                                             u"4294967297", u"-2147483648", u"2147483648", u"9223372036854775807",
                                             u"-1"};
  RowIndex row = 0;
  for (const auto& a : texts) {
    for (const auto& b : texts) {
      row = catalogue.AppendCatalogueRow(u"BKF\\S\\f.txt");
      for (int cell = kCellSize; cell <= kCellCreatedHigh; ++cell) {
        catalogue.SetCatalogueCell(row, cell, cell % 2 == 0 ? a : b);
      }
      if (row % 3 == 0) catalogue.SetRowChecked(row, true);
    }
  }
  for (RowIndex at = 0; at <= row; ++at) {
    const RowNumbers numbers = catalogue.ReadRowNumbers(at);
    const auto cell = [&](int index) { return catalogue.GetCatalogueCell(at, index); };
    ASSERT_EQ(numbers.size, ParseInt64(cell(kCellSize))) << at;
    ASSERT_EQ(numbers.offset, ParseInt64(cell(kCellOffset))) << at;
    ASSERT_EQ(numbers.modified, JoinFileTime(cell(kCellModifiedLow), cell(kCellModifiedHigh))) << at;
    ASSERT_EQ(numbers.accessed, JoinFileTime(cell(kCellAccessedLow), cell(kCellAccessedHigh))) << at;
    ASSERT_EQ(numbers.created, JoinFileTime(cell(kCellCreatedLow), cell(kCellCreatedHigh))) << at;
    ASSERT_EQ(numbers.checked, at % 3 == 0);
  }
  EXPECT_EQ(catalogue.ReadRowNumbers(row + 1).size, 0);
}

// Rows, tree nodes and folder texts share one key per folder text: a scan's
// rows and a snapshot's rows of one folder meet, and a node shows the rows
// of its folder path whatever its top-level name.
TEST(Catalogue, AFolderHasOneKeyForRowsAndNodes) {
  Catalogue catalogue;
  const FolderKey docs = catalogue.InternFolder(u"BKF\\S\\Docs");
  catalogue.AppendFileRow(docs, u"a.txt", {.size = 1});
  const RowIndex loaded = catalogue.AppendCatalogueRow(u"BKF\\S\\Docs\\b.txt");
  EXPECT_EQ(catalogue.ReadRowNumbers(loaded).folder, docs);
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellPath), u"BKF\\S\\Docs\\a.txt");
  EXPECT_EQ(test::TreePaths(catalogue), (Paths{u"BKF", u"BKF\\S", u"BKF\\S\\Docs"}));
  const FolderId node = catalogue.ReadFolderTree([](const FolderTree& tree) {
    return tree.FindChild(tree.FindChild(tree.FindChild(kNoFolder, u"BKF"), u"S"), u"Docs");
  });
  EXPECT_EQ(catalogue.KeyOfNode(node), docs);

  catalogue.EnsureFolderPath(u"Other\\S\\Docs\\");
  const FolderId other = catalogue.ReadFolderTree([](const FolderTree& tree) {
    return tree.FindChild(tree.FindChild(tree.FindChild(kNoFolder, u"Other"), u"S"), u"Docs");
  });
  EXPECT_EQ(catalogue.KeyOfNode(other), docs) << "a top-level node stands for BKF";
  EXPECT_EQ(catalogue.KeyOfNode(-1), kNoFolderKey);
}

TEST(Catalogue, RenamingAFolderMovesItsRowsAndTheKeysOfItsNodes) {
  Catalogue catalogue;
  for (const char16_t* path : {u"BKF\\S\\A\\x.txt", u"BKF\\S\\A\\B\\y.txt", u"BKF\\S\\AB\\z.txt"}) {
    test::AppendFileRow(catalogue, path, {});
  }
  const auto nodeAt = [&](std::initializer_list<const char16_t*> names) {
    return catalogue.ReadFolderTree([&](const FolderTree& tree) {
      FolderId at = kNoFolder;
      for (const char16_t* name : names) at = tree.FindChild(at, name);
      return at;
    });
  };
  EXPECT_EQ(catalogue.RenameFolder(nodeAt({u"BKF", u"S", u"A"}), u"C"), 2);
  EXPECT_EQ(test::Paths(catalogue),
            (Paths{u"BKF\\S\\C\\x.txt", u"BKF\\S\\C\\B\\y.txt", u"BKF\\S\\AB\\z.txt"}));
  EXPECT_EQ(catalogue.FolderText(catalogue.KeyOfNode(nodeAt({u"BKF", u"S", u"C", u"B"}))), u"BKF\\S\\C\\B");
  EXPECT_EQ(catalogue.ReadRowNumbers(1).folder, catalogue.KeyOfNode(nodeAt({u"BKF", u"S", u"C", u"B"})));
  EXPECT_EQ(catalogue.RenameFolder(nodeAt({u"BKF"}), u"X"), 0) << "the top-level node is not renamed here";
}

// A rename onto a sibling's name joins the two folders: rows of one text
// share one key, below the renamed folder too.
TEST(Catalogue, RenamingOntoASiblingsNameJoinsTheirRowsUnderOneKey) {
  Catalogue catalogue;
  for (const char16_t* path : {u"BKF\\S\\A\\D\\x.txt", u"BKF\\S\\B\\D\\y.txt", u"BKF\\S\\B\\z.txt"}) {
    test::AppendFileRow(catalogue, path, {});
  }
  const FolderId a = catalogue.ReadFolderTree([](const FolderTree& tree) {
    return tree.FindChild(tree.FindChild(tree.FindChild(kNoFolder, u"BKF"), u"S"), u"A");
  });
  EXPECT_EQ(catalogue.RenameFolder(a, u"B"), 1);
  EXPECT_EQ(test::Paths(catalogue), (Paths{u"BKF\\S\\B\\D\\x.txt", u"BKF\\S\\B\\D\\y.txt", u"BKF\\S\\B\\z.txt"}));
  EXPECT_EQ(catalogue.ReadRowNumbers(0).folder, catalogue.ReadRowNumbers(1).folder);
  EXPECT_EQ(catalogue.KeyOfNode(a), catalogue.ReadRowNumbers(2).folder);
}

// A folder costs its own name, so a path 20,000 folders deep is kept, read
// back and renamed whole.
TEST(Catalogue, AVeryDeepPathReadsBackWholeAndRenamesBelowItsTop) {
  Catalogue catalogue;
  std::u16string path = u"BKF";
  for (int level = 0; level < 20'000; ++level) path += u"\\d" + FormatInt64(level % 97);
  test::AppendFileRow(catalogue, path + u"\\f.txt", {.size = 5});
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellPath), path + u"\\f.txt");
  EXPECT_EQ(catalogue.FolderText(catalogue.ReadRowNumbers(0).folder), path);
  const FolderId second = catalogue.ReadFolderTree([](const FolderTree& tree) {
    return tree.FindChild(tree.FindChild(kNoFolder, u"BKF"), u"d0");
  });
  EXPECT_EQ(catalogue.RenameFolder(second, u"top"), 1);
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellPath), u"BKF\\top" + path.substr(6) + u"\\f.txt");
}

// Names are kept one byte a unit where they can be: every kind must come
// back unit for unit.
TEST(Catalogue, NamesOfEveryKindReadBackUnitForUnit) {
  Catalogue catalogue;
  const std::vector<std::u16string> names = {
      u"plain.txt", u"caf\u00e9 \u00ff.doc", u"\u0416\u0443\u0440\u043d\u0430\u043b.txt", u"mixed \u00e9\u0100",
      std::u16string(u"nul\0inside", 10), u"\xD800 lone", std::u16string(600'000, u'\u00e9'),
      std::u16string(300'000, u'\u4e2d')};
  for (const auto& name : names) test::AppendFileRow(catalogue, u"BKF\\S\\" + name, {});
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_TRUE(catalogue.GetCatalogueCell(static_cast<RowIndex>(i), kCellPath) == u"BKF\\S\\" + names[i]) << i;
  }
}

// The same extension gives the same type, however the names before and
// between come; extensions that differ in a unit or in length never share.
TEST(FileTypeTable, OneExtensionOneTypeHoweverTheNamesInterleave) {
  FileTypeTable table(GenericFileType);
  const std::u16string_view names[] = {u"a.txt", u"b.log", u"c.txt", u"d.TXT", u"e.tx", u"f.txtx", u"g",
                                       u"h.", u"i.log", u"j.t\u00e9t", u"k.txt", u"l.tx", u"m", u"n.txtx"};
  std::map<std::u16string_view, std::uint32_t> byExtension;
  std::set<std::uint32_t> indexes;
  for (int round = 0; round < 3; ++round) {
    for (const std::u16string_view name : names) {
      const std::uint32_t index = table.IndexFor(name);
      const auto [at, added] = byExtension.emplace(FileExtension(name), index);
      EXPECT_EQ(at->second, index) << round;
      if (added) {
        EXPECT_TRUE(indexes.insert(index).second) << "a second extension shares a type";
      }
    }
  }
  EXPECT_EQ(table.Info(table.IndexFor(u"x.log")).description, u"LOG File");
}

TEST(FolderTree, NamesDifferingInCaseAreSiblingsInOrderOfFirstInsertion) {
  Catalogue catalogue;
  catalogue.EnsureFolderPath(u"BKF\\S\\docs\\a");
  catalogue.EnsureFolderPath(u"BKF\\S\\Docs\\b");
  catalogue.EnsureFolderPath(u"BKF\\S\\Apps\\c");
  catalogue.EnsureFolderPath(u"BKF\\S\\docs\\Sub\\d");
  EXPECT_EQ(test::TreePaths(catalogue),
            (Paths{u"BKF", u"BKF\\S", u"BKF\\S\\docs", u"BKF\\S\\docs\\Sub", u"BKF\\S\\Docs",
                   u"BKF\\S\\Apps"}));
}

TEST(FolderTree, TrailingBackslashMakesTheLastComponentAFolder) {
  Catalogue catalogue;
  catalogue.EnsureFolderPath(u"no-backslash");
  EXPECT_EQ(test::TreePaths(catalogue), Paths{});
  catalogue.EnsureFolderPath(u"BKF\\S\\D\\");
  EXPECT_EQ(test::TreePaths(catalogue), (Paths{u"BKF", u"BKF\\S", u"BKF\\S\\D"}));
  catalogue.EnsureFolderPath(u"BKF\\S\\D");  // "D" is the file name here
  EXPECT_EQ(test::TreePaths(catalogue).size(), 3u);
}

TEST(FolderTree, ClearedTreeIsRebuiltFromScratch) {
  Catalogue catalogue;
  catalogue.EnsureFolderPath(u"BKF\\S\\D\\f");
  catalogue.ClearFolderTree();
  EXPECT_EQ(test::TreePaths(catalogue), Paths{});
  // The same path again after a clear must add its nodes anew.
  catalogue.EnsureFolderPath(u"BKF\\S\\D\\f");
  EXPECT_EQ(test::TreePaths(catalogue), (Paths{u"BKF", u"BKF\\S", u"BKF\\S\\D"}));
}

}  // namespace
}  // namespace tallowin
