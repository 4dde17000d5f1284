// Writes the backups on which twbkf.exe under Wine is compared with twbkf on
// Linux (scripts/windows-check.sh):
//   realistic.bkf  two sets as the Windows backup utility writes them: many
//                  folders and files of every size, empty, sparse, encrypted
//                  and damaged files, names in several scripts, times from
//                  1965 to 2040
//   hostile.bkf    names that no Windows folder can hold as they are:
//                  reserved device names, trailing dots and spaces, "." and
//                  "..", quotes, control characters, a lone surrogate, and
//                  paths far over 260 characters
//   hostile.TWBKF  a snapshot of hostile.bkf's rows under names that a scan
//                  never gives but a snapshot may hold (":", "?", "*", "|",
//                  "/"); its recorded BKF file does not exist, so
//                  both programs are given hostile.bkf with --bkf
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/catalogue.h"
#include "catalog/snapshot.h"
#include "tests/support/mtf_writer.h"
#include "tests/support/scan_helpers.h"

namespace {

using tallowin::test::MtfWriter;
using tallowin::test::PackedDate;
using tallowin::test::RealFile;
using tallowin::test::WriterStyle;

// Deterministic bytes, so that every run compares the same backups.
std::string Bytes(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 16);
  }
  return bytes;
}

PackedDate Date(int year, int n) { return {year, 1 + n % 12, 1 + n % 28, n % 24, n % 60, (n * 7) % 60}; }

void WriteRealistic(const std::filesystem::path& path) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Set created 03/02/2009 at 09:15");
  const std::u16string folders[] = {u"Documents",          u"Documents\\Letters", u"Documents\\Überweisungen",
                                    u"Pictures\\2008",     u"Music\\Ελληνικά",     u"Projects\\Tallow\\src",
                                    u"履歴書",                u"Desktop"};
  const std::u16string names[] = {u"report.doc", u"notes.txt", u"budget.xls", u"photo.jpg",  u"Grüße.txt",
                                  u"résumé.pdf", u"música.mp3", u"データ.bin", u"big file.iso", u"README"};
  int n = 0;
  for (const auto& folder : folders) {
    w.Directory(folder);
    for (const auto& name : names) {
      ++n;
      const std::size_t size = n % 7 == 0 ? 0 : static_cast<std::size_t>((n * 7919) % 90'000) + (n % 5 == 0 ? 300'000 : 0);
      RealFile file{.name = name, .data = Bytes(size, static_cast<std::uint32_t>(n)),
                    .modified = Date(1965 + n % 76, n), .created = Date(1990 + n % 30, n + 3),
                    .accessed = Date(2000 + n % 40, n + 5)};
      file.wrongChecksum = n % 23 == 0;
      file.encrypted = n % 31 == 0;
      file.checksummed = n % 11 != 0;
      w.FileWithStreams(file);
    }
  }
  w.FileWithStreams({.name = u"disk.vhd",
                     .sparse = {{0, Bytes(4096, 1)}, {1 << 20, Bytes(8192, 2)}, {5 << 20, Bytes(100, 3)}},
                     .sparseSize = std::uint64_t{6} << 20});
  w.EndOfSet();
  w.DataSet(u"Weekly \"full\" backup");
  w.Directory(u"Users\\Ana\\AppData");
  for (int i = 0; i < 40; ++i) {
    w.FileWithStreams({.name = u"cache" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
                                   (i >= 26 ? u"2" : u"") + u".dat",
                       .data = Bytes(static_cast<std::size_t>(100 + i * 1000), static_cast<std::uint32_t>(500 + i)),
                       .modified = Date(2038 + i % 3, i)});
  }
  w.EndOfSet();
  w.WriteTo(path);
}

MtfWriter Hostile() {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Hostile. ");
  w.Directory(u"CON");
  w.FileWithStreams({.name = u"NUL", .data = "device name"});
  w.FileWithStreams({.name = u"aux.txt", .data = "device name with an extension"});
  w.FileWithStreams({.name = u"com1.log", .data = "serial port"});
  w.Directory(u"..\\..\\escape");
  w.FileWithStreams({.name = u"..", .data = "dot dot"});
  w.FileWithStreams({.name = u".", .data = "dot"});
  w.FileWithStreams({.name = u"trailing dot.", .data = "trailing dot"});
  w.FileWithStreams({.name = u"trailing space ", .data = "trailing space"});
  w.FileWithStreams({.name = u"say \"hi\".txt", .data = "quotes"});
  w.FileWithStreams({.name = u"tab\there.txt", .data = "a control character"});
  w.FileWithStreams({.name = u"lone \xD800 surrogate.txt", .data = "a lone surrogate"});
  w.Directory(u"Ünïcödé\\中文\\😀 emoji");
  w.FileWithStreams({.name = u"Ωmega ñ.txt", .data = Bytes(5000, 9)});
  // Over 260 characters: folders in a PNAM stream, as the Windows utility
  // writes paths longer than 255 units, and a name close to the limit.
  std::u16string deep;
  for (int level = 0; level < 4; ++level) {
    deep += (level ? u"\\" : u"") + std::u16string(90, static_cast<char16_t>(u'a' + level));
  }
  w.Directory(deep);
  w.FileWithStreams({.name = std::u16string(200, u'n') + u".txt", .data = Bytes(777, 4)});
  w.FileWithStreams({.name = std::u16string(120, u'é') + u".txt", .data = Bytes(1234, 5)});
  w.EndOfSet();
  return w;
}

// The rows of hostile.bkf under names that only a snapshot can hold.
bool WriteHostileSnapshot(const MtfWriter& bkf, const std::filesystem::path& snapshot) {
  tallowin::Catalogue scanned;
  tallowin::test::ScanBytes(bkf.Bytes(), scanned);
  const std::u16string names[] = {u"BKF\\S\\a:b.txt",   u"BKF\\S\\what?.txt", u"BKF\\S\\star*.txt",
                                  u"BKF\\S\\back\"quote",  u"BKF\\S\\pipe|.txt", u"BKF\\S\\slash/name",
                                  u"BKF\\..\\up.txt",   u"BKF\\.\\here.txt",  u"..\\top.txt",
                                  u"BKF\\ \\blank",     u"BKF\\S\\LPT9",     u"BKF\\S\\end..."};
  tallowin::Catalogue hostile;
  const tallowin::RowIndex rows = scanned.CatalogueRowCount();
  for (tallowin::RowIndex row = 0; row < rows && row < static_cast<tallowin::RowIndex>(std::size(names)); ++row) {
    const tallowin::RowIndex added = hostile.AppendCatalogueRow(names[row]);
    for (int cell = tallowin::kCellSize; cell <= tallowin::kCellCreatedHigh; ++cell) {
      hostile.SetCatalogueCell(added, cell, scanned.GetCatalogueCell(row, cell));
    }
  }
  return WriteSnapshot(snapshot, u"missing.bkf", hostile).ok();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_comparison_backups FOLDER\n");
    return 1;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  WriteRealistic(folder / "realistic.bkf");
  const MtfWriter hostile = Hostile();
  hostile.WriteTo(folder / "hostile.bkf");
  if (!WriteHostileSnapshot(hostile, folder / "hostile.TWBKF")) {
    std::fprintf(stderr, "make_comparison_backups: the snapshot was not written\n");
    return 1;
  }
  return 0;
}
