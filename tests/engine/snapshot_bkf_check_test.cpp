// Telling whether a BKF file named for a moved one holds the data that the
// catalogue describes: a sample of rows must find their data streams, of
// their sizes, at their offsets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/snapshot_bkf_check.h"
#include "catalog/text_convert.h"
#include "tests/support/scan_helpers.h"

namespace tallowin {
namespace {

using test::MtfWriter;
using test::RealFile;
using test::WriterStyle;

// A backup in the Windows utility's layout of `count` files, every fourth
// one empty; the offsets of the files' data stream headers.
std::vector<std::byte> Backup(int count, std::vector<std::size_t>* headers = nullptr, int sizeStep = 700) {
  MtfWriter writer(WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"Weekly").Directory(u"Data");
  for (int i = 0; i < count; ++i) {
    const std::string data = i % 4 == 3 ? std::string() : std::string(100 + i * sizeStep, static_cast<char>('a' + i % 26));
    writer.FileWithStreams({.name = u"f" + Utf16FromBytes(std::to_string(i)), .data = data});
    if (headers && writer.LastFile().stanHeader) headers->push_back(*writer.LastFile().stanHeader);
  }
  writer.EndOfSet();
  return writer.Bytes();
}

bool Holds(const std::vector<std::byte>& scanned, const std::vector<std::byte>& named) {
  Catalogue catalogue;
  test::ScanBytes(scanned, catalogue);
  test::MemoryReader bkf(named);
  return HoldsCatalogueData(catalogue, bkf);
}

TEST(SnapshotBkfCheck, TheBackupItselfPassesAndAnotherBackupFails) {
  const std::vector<std::byte> backup = Backup(200);
  EXPECT_TRUE(Holds(backup, backup));
  // The same names and layout with other sizes: the streams are elsewhere or of other lengths.
  EXPECT_FALSE(Holds(backup, Backup(200, nullptr, 512)));
  // A backup the catalogue reaches past the end of.
  EXPECT_FALSE(Holds(backup, Backup(20)));
  const std::vector<std::byte> none(backup.size());
  EXPECT_FALSE(Holds(backup, none));
}

TEST(SnapshotBkfCheck, HalfOfTheSampleMustPass) {
  // Twelve rows, all sampled: nine with data, three empty files.
  std::vector<std::size_t> headers;
  const std::vector<std::byte> backup = Backup(12, &headers);
  ASSERT_EQ(headers.size(), 9u);
  const auto damaged = [&](std::size_t streams) {
    std::vector<std::byte> bytes = backup;
    for (std::size_t i = 0; i < streams; ++i) bytes[headers[i]] = std::byte{'X'};
    return bytes;
  };
  EXPECT_TRUE(Holds(backup, damaged(6)));   // 6 of 12 pass
  EXPECT_FALSE(Holds(backup, damaged(7)));  // 5 of 12
}

TEST(SnapshotBkfCheck, EmptyFilesPassOnlyWhereTheirBlockIs) {
  MtfWriter writer(WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"Set").Directory(u"Empty");
  for (int i = 0; i < 5; ++i) writer.FileWithStreams({.name = u"e" + Utf16FromBytes(std::to_string(i))});
  writer.EndOfSet();
  const std::vector<std::byte> backup = writer.Bytes();
  EXPECT_TRUE(Holds(backup, backup));
  std::vector<std::byte> shifted(512);
  shifted.insert(shifted.end(), backup.begin(), backup.end());
  EXPECT_FALSE(Holds(backup, shifted));
}

TEST(SnapshotBkfCheck, AnEmptyCatalogueAsksNothing) {
  Catalogue catalogue;
  test::MemoryReader bkf(std::vector<std::byte>{});
  EXPECT_TRUE(HoldsCatalogueData(catalogue, bkf));
}

}  // namespace
}  // namespace tallowin
