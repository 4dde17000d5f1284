// Writes the seed corpus of the fuzz targets into OUTPUT/scan, OUTPUT/snapshot,
// OUTPUT/matcher and OUTPUT/save (each folder is emptied first). The BKF files come from
// the tests' MTF writer, the snapshots from WriteSnapshot over catalogues that
// a scan of those files filled, and then both are cut and edited by hand, so
// that nothing binary needs to be kept in the repository.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/activity_log.h"
#include "catalog/catalogue.h"
#include "catalog/snapshot.h"
#include "engine/bkf_scanner.h"
#include "engine/scan_observer.h"
#include "tests/support/memory_reader.h"
#include "tests/support/mtf_writer.h"

namespace {

namespace fs = std::filesystem;
using namespace tallowin;
using test::FileEntry;
using test::MtfWriter;
using test::PackedDate;
using test::WriterStyle;

constexpr std::size_t kWindow = 65536;

std::size_t seedCount = 0;

void WriteSeed(const fs::path& folder, const std::string& name, std::string_view bytes) {
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
  ++seedCount;
}

void WriteSeed(const fs::path& folder, const std::string& name, const std::vector<std::byte>& bytes) {
  WriteSeed(folder, name,
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Le(std::u16string_view text) { return test::Utf16Le(text); }

// Deterministic filler, so that the corpus is the same on every machine.
std::string Filler(std::size_t size, std::uint32_t state) {
  std::string text(size, '\0');
  for (char& c : text) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>('a' + (state >> 24) % 26);
  }
  return text;
}

void Noise(std::vector<std::byte>& bytes, std::size_t from, std::size_t length, std::uint32_t state) {
  for (std::size_t i = from; i < from + length && i < bytes.size(); ++i) {
    state = state * 1664525u + 1013904223u;
    bytes[i] = std::byte(static_cast<std::uint8_t>(state >> 24));
  }
}

void PutU16(std::vector<std::byte>& bytes, std::size_t at, std::uint16_t value) {
  bytes.at(at) = std::byte(static_cast<std::uint8_t>(value));
  bytes.at(at + 1) = std::byte(static_cast<std::uint8_t>(value >> 8));
}

std::vector<std::byte> Cut(std::vector<std::byte> bytes, std::size_t size) {
  bytes.resize(std::min(size, bytes.size()));
  return bytes;
}

// A plain, undamaged backup of two data sets.
MtfWriter Intact() {
  MtfWriter w;
  w.Tape().DataSet(u"Data").Block("VOLB");
  w.Directory(u"Documents");
  w.File({.name = u"report.doc", .data = Filler(700, 1)});
  w.File({.name = u"letter.txt", .data = Filler(90, 2)});
  w.Directory(u"Documents\\Reports");
  w.File({.name = u"q1 report.txt", .data = Filler(1300, 3)});
  w.EndOfSet();
  w.DataSet(u"Weekly \"full\" backup").Block("VOLB");
  w.Directory(u"Projects");
  w.File({.name = u"plan.txt", .data = Filler(40, 4)});
  w.EndOfSet();
  return w;
}

// Sets, directories and files whose names a careless reader would trip on.
MtfWriter Hostile() {
  MtfWriter w;
  w.Tape().DataSet(u"..");
  w.Directory(u"..");
  w.File({.name = u"..", .data = "x"});
  w.File({.name = u"a:b", .data = "rejected"});
  w.File({.name = std::u16string(u"nul\0inside", 10), .data = "n"});
  w.File({.name = u"\\leading backslash", .data = "b"});
  w.File({.name = u"line\nbreak\r.txt", .data = "l"});
  w.File({.name = std::u16string(300, u'L'), .data = "long"});
  w.File({.name = u"\xD800\xDFFF\xFFFF\xFEFF", .data = "surrogates"});
  w.DataSet(u"a:b\\c/d\"e");
  w.Directory(u"a:b");
  w.File({.name = u"in lost dir.txt", .data = "d"});
  w.DirectoryRaw(std::u16string(u"\0\0middle\0\0", 10));
  w.File({.name = u"after raw dir", .data = "r"});
  w.DirectoryRaw(u"no trailing nul");
  w.File({.name = u"x", .data = ""});
  w.Directory(std::u16string(300, u'D'));
  w.File({.name = u"under long dir", .data = "u"});
  w.Directory(std::u16string(120, u'a') + u"\\" + std::u16string(120, u'b'));
  w.File({.name = u"deep", .data = "p"});
  w.DataSet(u"<angle>");
  w.DataSet(std::u16string(131, u'S'));  // longer than a set name may be
  w.Directory(u"");
  w.File({.name = u"", .data = "no name"});
  w.File({.name = u"<>", .data = "unusable"});
  w.File({.name = u"bad dates",
          .data = "t",
          .modified = PackedDate{2007, 2, 29, 10, 0, 0},
          .created = PackedDate{1600, 12, 31, 23, 59, 59},
          .accessed = PackedDate{16383, 15, 31, 31, 63, 63}});
  w.File({.name = u"first day", .data = "f", .modified = PackedDate{1601, 1, 1, 0, 0, 0}});
  w.File({.name = u"last day", .data = "l", .modified = PackedDate{9999, 12, 31, 23, 59, 59}});
  w.File({.name = u"huge length", .data = "h", .declaredLength = 0xFFFF'FFFF'FFFF'FFFFull});
  w.File({.name = u"negative length", .data = "n", .declaredLength = 0x8000'0000'0000'0000ull});
  w.File({.name = u"far stream", .data = "s", .streamOffset = 900});
  w.File({.name = u"beyond search", .data = "s", .streamOffset = 1100});
  w.File({.name = u"stream in header", .data = "e", .streamOffset = 6});
  w.File({.name = u"with attributes", .data = "a", .attributes = 1});
  w.Block("ESET").Block("EOTM").Block("SFMB");
  return w;
}

// A backup as the Windows backup utility writes it: empty files, security
// data large enough to push the data stream past the byte search, a sparse
// file, checksums, an alternate stream and the catalogue after the set.
MtfWriter RealBackup(std::size_t logicalBlock = 1024) {
  MtfWriter w(WriterStyle::kWindowsUtility, logicalBlock);
  w.Tape().DataSet(u"Set created 12/05/2007");
  w.Directory(u"Documents and Settings\ann");
  w.FileWithStreams({.name = u"letter.doc", .data = Filler(900, 21)});
  w.FileWithStreams({.name = u"desktop.ini"});
  w.FileWithStreams({.name = u"audited.xls", .data = Filler(300, 22), .securityDescriptorSize = 1500});
  w.FileWithStreams({.name = std::u16string(90, u'n'), .data = Filler(40, 23), .shortName = u"NNNNNN~1"});
  w.FileWithStreams({.name = u"disk.vhd", .sparse = {{8192, Filler(64, 24)}, {100, Filler(10, 25)}}, .sparseSize = 20000});
  w.FileWithStreams({.name = u"notes.txt", .data = Filler(70, 26), .objectId = true,
                     .alternate = test::AlternateStream{u"Zone.Identifier", "[ZoneTransfer]"}});
  w.FileWithStreams({.name = u"packed.bin", .data = Filler(33, 27), .dataMediaAttributes = 0x10});
  w.FileWithStreams({.name = u"wrong.txt", .data = Filler(50, 28), .wrongChecksum = true});
  w.EndOfSet();
  return w;
}

// The real writers' layouts, whole, cut, damaged and shifted off the grid.
void RealBackupSeeds(const fs::path& folder) {
  const MtfWriter real = RealBackup();
  WriteSeed(folder, "windows-utility.bkf", real.Bytes());
  WriteSeed(folder, "windows-utility-512.bkf", RealBackup(512).Bytes());
  for (const std::size_t size : {std::size_t{5000}, std::size_t{9000}, real.Size() - 700}) {
    WriteSeed(folder, "windows-utility-cut-" + std::to_string(size) + ".bkf", Cut(real.Bytes(), size));
  }
  {
    std::vector<std::byte> shifted(512, std::byte{0});
    shifted.insert(shifted.end(), real.Bytes().begin(), real.Bytes().end());
    WriteSeed(folder, "windows-utility-shifted.bkf", shifted);
  }
  {
    // A FILE block at the last position of a window whose streams lead
    // into the next window.
    MtfWriter w(WriterStyle::kWindowsUtility);
    w.Tape().DataSet(u"Edge");
    w.PadTo(126 * 512);
    w.FileWithStreams({.name = u"far.dat", .data = Filler(100, 29), .securityDescriptorSize = 700});
    w.EndOfSet();
    std::vector<std::byte> shifted(512, std::byte{0});
    shifted.insert(shifted.end(), w.Bytes().begin(), w.Bytes().end());
    shifted.resize(std::max<std::size_t>(shifted.size(), kWindow + 4096));
    WriteSeed(folder, "chain-across-windows.bkf", shifted);
  }
  MtfWriter other(WriterStyle::kOtherWriter);
  other.Tape().DataSet(u"Nightly").Directory(u"srv");
  other.File({.name = u"a.txt", .data = Filler(100, 30)});
  other.FileWithStreams({.name = u"empty.txt"});
  other.File({.name = u"b.txt", .data = Filler(600, 31)});
  other.EndOfSet().XmlCatalogue();
  WriteSeed(folder, "other-writer.bkf", other.Bytes());
}

// Backups whose damage sends the scan to the set's catalogue: a lost folder
// block, lost file blocks whose data survives, a lost SSET block, folder and
// file names in streams, an encrypted file; and catalogues whose entries'
// lengths, names and places run wild.
void SetCatalogueSeeds(const fs::path& folder) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Monday").Directory(u"Docs");
  w.FileWithStreams({.name = u"kept.txt", .data = Filler(300, 40)});
  const std::size_t lostFolder = w.Size();
  w.Directory(u"Docs\\Lost folder");
  w.FileWithStreams({.name = u"held.txt", .data = Filler(200, 41)});
  w.FileWithStreams({.name = u"far.txt", .data = Filler(500, 42), .securityDescriptorSize = 700});
  const std::size_t far = w.LastFile().block;
  w.FileWithStreams({.name = u"bare.txt", .data = Filler(1500, 43)});
  const std::size_t bare = w.LastFile().block;
  const std::size_t bareData = *w.LastFile().data;
  w.FileWithStreams({.name = u"empty.txt"});
  const std::size_t empty = w.LastFile().block;
  w.FileWithStreams({.name = u"secret.doc", .data = Filler(64, 44), .encrypted = true});
  w.FileWithStreams({.name = u"named.txt", .data = Filler(20, 45), .nameInStream = true});
  w.Directory(std::u16string(300, u'p'));
  w.FileWithStreams({.name = u"deep.txt", .data = Filler(30, 46)});
  w.EndOfSet();
  const std::size_t secondSet = w.Size();
  w.DataSet(u"Tuesday").Directory(u"Docs");
  w.FileWithStreams({.name = u"two.txt", .data = Filler(700, 47), .securityDescriptorSize = 700});
  const std::size_t two = w.LastFile().block;
  w.EndOfSet(test::CatalogueLayout::kAfterFilemark);
  const std::size_t catalogue = *w.LastSetCatalogue();
  w.ZeroCluster(lostFolder, 1024).ZeroCluster(far, 512).ZeroCluster(bare, bareData - bare);
  w.ZeroCluster(empty, 1024).ZeroCluster(secondSet, 1024).ZeroCluster(two, 512);
  WriteSeed(folder, "catalogue-lost-blocks.bkf", w.Bytes());
  WriteSeed(folder, "catalogue-lost-blocks-cut.bkf", Cut(w.Bytes(), catalogue + 200));

  // The entries of the last catalogue, each bent another way.
  std::vector<std::byte> wild = w.Bytes();
  std::size_t entry = catalogue + 22;
  const auto u16 = [&](std::size_t at) {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(wild[at]) | std::to_integer<unsigned>(wild[at + 1]) << 8);
  };
  for (int i = 0; i < 3 && entry + 64 <= wild.size(); ++i) {
    const std::size_t next = entry + u16(entry);
    if (i == 0) PutU16(wild, entry + 60, 0xFFF0);       // a name past its entry
    if (i == 1) wild[entry + 19] = std::byte{0x7F};     // a place far past the file
    if (i == 2) PutU16(wild, entry, 0xFFFF);            // an entry past its stream
    entry = next;
  }
  WriteSeed(folder, "catalogue-wild-entries.bkf", wild);
}

void ScanSeeds(const fs::path& folder) {
  const MtfWriter intact = Intact();
  const std::vector<std::byte>& bytes = intact.Bytes();
  WriteSeed(folder, "intact.bkf", bytes);
  WriteSeed(folder, "hostile-names.bkf", Hostile().Bytes());

  // Cut short at and inside blocks, and at odd lengths.
  for (const std::size_t size : {std::size_t{1}, std::size_t{511}, std::size_t{512},
                                 std::size_t{513}, std::size_t{1100}, std::size_t{2100},
                                 std::size_t{2600}, bytes.size() / 2 + 1, bytes.size() - 1}) {
    WriteSeed(folder, "truncated-" + std::to_string(size) + ".bkf", Cut(bytes, size));
  }
  WriteSeed(folder, "empty.bkf", std::string_view{});

  // The block headers damaged: noise over the second file, a set name whose
  // size and offset point outside the block, a directory name offset of 0xFFFF.
  {
    std::vector<std::byte> damaged = bytes;
    Noise(damaged, 2048, 700, 11);
    WriteSeed(folder, "noise.bkf", damaged);
  }
  {
    MtfWriter w;
    w.DataSet(u"set").Directory(u"dir").File({.name = u"f.txt", .data = "abc"});
    std::vector<std::byte> damaged = w.Bytes();
    PutU16(damaged, 64, 250);
    PutU16(damaged, 66, 400);
    PutU16(damaged, 512 + 82, 0xFFFF);
    WriteSeed(folder, "bad-name-fields.bkf", damaged);
  }

  // FILE blocks at the places the windows make special: the first block, the
  // last block of a window (whose stream search stops at the window's end),
  // the first block of the next window and blocks of the tail.
  {
    MtfWriter w;
    w.File({.name = u"first.txt", .data = Filler(100, 5)});
    w.PadTo(kWindow - 512);
    w.File({.name = u"last in window.txt", .data = Filler(300, 6)});
    w.File({.name = u"second window.txt", .data = Filler(2000, 7)});
    w.PadTo(2 * kWindow - 512);
    w.File({.name = u"last in second window.txt", .data = Filler(300, 8)});
    w.DataSet(u"Tail set").Directory(u"Tail");
    w.File({.name = u"in tail.txt", .data = Filler(100, 9)});
    w.File({.name = u"tail end.txt", .data = Filler(900, 10)});
    WriteSeed(folder, "grid-positions.bkf", w.Bytes());
  }
  {
    // The stream header lies beyond the last block of the window.
    MtfWriter w;
    w.DataSet(u"Split").Directory(u"Edge");
    w.PadTo(kWindow - 512);
    w.File({.name = u"split stream.txt", .data = Filler(50, 12), .streamOffset = 520});
    w.PadTo(kWindow + 1024);
    WriteSeed(folder, "stream-across-windows.bkf", w.Bytes());
  }
  {
    // One window and a tail of 513 bytes: the tail pass looks at one block,
    // whose data runs past the end of the file.
    MtfWriter w;
    w.Tape().DataSet(u"Window and tail").Directory(u"Docs");
    w.File({.name = u"in window.txt", .data = Filler(300, 13)});
    w.PadTo(kWindow);
    w.File({.name = u"in tail.txt", .data = Filler(1000, 14)});
    WriteSeed(folder, "window-and-513-tail.bkf", Cut(w.Bytes(), 66049));
    WriteSeed(folder, "window-and-512-tail.bkf", Cut(w.Bytes(), 66048));
  }
  {
    // Exactly one window, with a block at its end.
    MtfWriter w;
    w.DataSet(u"One window").PadTo(kWindow - 512);
    w.File({.name = u"end.txt", .data = Filler(200, 15)});
    WriteSeed(folder, "one-window.bkf", Cut(w.Bytes(), kWindow));
  }
  {
    std::vector<std::byte> noise(3000);
    Noise(noise, 0, noise.size(), 17);
    WriteSeed(folder, "noise-only.bkf", noise);
  }
  RealBackupSeeds(folder);
  SetCatalogueSeeds(folder);
}

// A catalogue filled by a scan of `writer`'s bytes.
void ScanInto(const MtfWriter& writer, Catalogue& catalogue) {
  static const ActivityLog log("/nonexistent-folder/never.log");
  ScanObserver quiet;
  CBkfScanner scanner(catalogue, log, quiet);
  test::MemoryReader reader(writer.Bytes());
  scanner.Scan(reader);
}

std::string Snapshot(const fs::path& folder, const std::string& name, std::u16string_view bkfPath,
                     const Catalogue& catalogue) {
  const SnapshotWriteResult result = WriteSnapshot(folder / name, bkfPath, catalogue);
  if (!result.ok()) throw std::runtime_error(result.error);
  ++seedCount;
  return ReadAll(folder / name);
}

std::string Narrow(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) bytes.push_back(static_cast<char>(unit));
  return bytes;
}

void SnapshotSeeds(const fs::path& folder) {
  Catalogue intact;
  ScanInto(Intact(), intact);
  const std::string text = Snapshot(folder, "intact.snapshot", u"/nonexistent/backup.bkf", intact);
  Snapshot(folder, "existing-bkf.snapshot", u"/", intact);

  Catalogue hostile;
  ScanInto(Hostile(), hostile);
  Snapshot(folder, "hostile-names.snapshot", u"/nonexistent/hostile \xD800.bkf", hostile);

  Catalogue empty;
  Snapshot(folder, "no-rows.snapshot", u"/nonexistent/empty.bkf", empty);

  // Cut inside the header lines, inside a unit, inside a row.
  for (const std::size_t size : {std::size_t{1}, std::size_t{2}, std::size_t{21}, std::size_t{52},
                                 std::size_t{61}, std::size_t{64}, text.size() / 2 + 1,
                                 text.size() - 1}) {
    WriteSeed(folder, "truncated-" + std::to_string(size) + ".snapshot", text.substr(0, size));
  }
  WriteSeed(folder, "bom.snapshot", "\xFF\xFE" + text);
  WriteSeed(folder, "empty.snapshot", std::string_view{});

  // Written by hand with an 8-bit editor.
  const std::u16string rows =
      u"<C:\\backup.bkf>\r\n<2>\r\n"
      u"<BKF\\BACKUP SET 1(Data)\\Documents\\report.doc><700><1234><0><0><0><0><0><0>\r\n"
      u"<BKF\\BACKUP SET 1(Data)\\letter.txt><90><2048><1><2><3><4><5><6>\r\n";
  WriteSeed(folder, "eight-bit.snapshot", Narrow(rows));
  WriteSeed(folder, "eight-bit-bom.snapshot", "\xEF\xBB\xBF" + Narrow(rows));

  // Edited by hand: numbers not in their usual form, values missing or in
  // excess, brackets unbalanced, bare LF and lone CR, blank lines, a negative
  // and an enormous row count, times out of range.
  WriteSeed(folder, "hand-edited.snapshot",
            Le(u"<C:\\edited.bkf>\r\n<-5>\r\n"
               u"<BKF\\S\\a.doc><0012><+5>< 7><-0><99999999999999999999><abc><><4294967296><-1>\r\n"
               u"<BKF\\S\\b.txt><1><2>\r\n"
               u"<BKF\\S\\c.txt><1><2><3><4><5><6><7><8><9><10><11>\n"
               u"\r\n"
               u"\n"
               u"x>y>z>\r\n"
               u"<no closing bracket\r\n"
               u"<<<>>>\r\n"
               u"<\\\\\\><1><2><3><4><5><6><7><8>\r"
               u"<BKF\\S\\folder\\><4294967295><-9223372036854775808><4294967295><2147483647>"
               u"<2147483648><-2147483648><4294967295><-1>\r\n"
               u"<plain name><1>\r\n"));
  WriteSeed(folder, "huge-count.snapshot",
            Le(u"<C:\\x.bkf>\r\n<999999999999999999999>\r\n<BKF\\a><1><2><3><4><5><6><7><8>\r\n"));
  WriteSeed(folder, "no-path.snapshot", Le(u"C:\\x.bkf\r\n<1>\r\n<BKF\\a><1>\r\n"));
  WriteSeed(folder, "path-only.snapshot", Le(u"<C:\\x.bkf>"));
  WriteSeed(folder, "odd-length.snapshot", Le(u"<C:\\x.bkf>\r\n<1>\r\n<BKF\\a><1>\r\n") + "<");
  WriteSeed(folder, "lone-surrogates.snapshot",
            Le(u"<\xDC80\xDCFF.bkf>\r\n<1>\r\n<BKF\\\xD800\\\xDFFF\\x><\xFFFF>\r\n"));
}

// Inputs of the save fuzz target: a count of rows, that many rows of data
// offset and size, then the BKF file; the rows of its scan are added to them.
std::string SaveInput(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& rows,
                      const std::vector<std::byte>& bkf) {
  std::string input(1, static_cast<char>(rows.size()));
  for (const auto& [offset, size] : rows) {
    for (int i = 0; i < 8; ++i) input.push_back(static_cast<char>(offset >> (8 * i)));
    for (int i = 0; i < 8; ++i) input.push_back(static_cast<char>(size >> (8 * i)));
  }
  input.append(reinterpret_cast<const char*>(bkf.data()), bkf.size());
  return input;
}

void SaveSeeds(const fs::path& folder) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"S");
  w.FileWithStreams({.name = u"sparse.img", .sparse = {{700, Filler(30, 40)}, {2, "ab"}, {5000, "past"}}, .sparseSize = 800});
  const std::uint64_t sparse = *w.LastFile().data;
  w.FileWithStreams({.name = u"checked.txt", .data = Filler(1001, 41)});
  const std::uint64_t checked = *w.LastFile().data;
  w.FileWithStreams({.name = u"bad.txt", .data = Filler(17, 42), .wrongChecksum = true});
  w.EndOfSet();
  WriteSeed(folder, "scanned-rows", SaveInput({}, w.Bytes()));
  WriteSeed(folder, "own-rows", SaveInput({{sparse, 800}, {checked, 1001}, {checked, 1000}, {sparse, 1u << 30}}, w.Bytes()));
  WriteSeed(folder, "cut", SaveInput({{sparse, 800}}, Cut(w.Bytes(), static_cast<std::size_t>(sparse) + 40)));
  WriteSeed(folder, "real-backup", SaveInput({}, RealBackup().Bytes()));
}

void MatcherSeeds(const fs::path& folder) {
  const std::u16string path = u"BKF\\BACKUP SET 1(Data)\\Documents\\report.doc";
  const std::u16string_view patterns[] = {
      u"*.doc", u"*e*o*", u"B?F*", u"*.d?c", u"report", u"*",     u"*.*",   u"BKF?",  u"**",
      u"*?",    u"?",     u"*.doc*", u"r*t",  u"*t?",   u"B*?*c", u"*\\*", u"?KF\\*", u"*x",
  };
  int index = 0;
  for (const std::u16string_view pattern : patterns) {
    WriteSeed(folder, "pair-" + std::to_string(index++),
              Le(path + u'\xFFFF' + std::u16string(pattern)));
  }
  WriteSeed(folder, "short-path", Le(u"B\xFFFF*?*x"));
  WriteSeed(folder, "empty-pattern", Le(path + u'\xFFFF'));
  // No separator: the path is the first half, the pattern the second.
  WriteSeed(folder, "halves", Le(u"BKF\\a.doc*.doc"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds OUTPUT_FOLDER\n");
    return 2;
  }
  try {
    const fs::path out(argv[1]);
    const auto fresh = [&](const char* name) {
      const fs::path folder = out / name;
      fs::remove_all(folder);
      fs::create_directories(folder);
      return folder;
    };
    ScanSeeds(fresh("scan"));
    SnapshotSeeds(fresh("snapshot"));
    MatcherSeeds(fresh("matcher"));
    SaveSeeds(fresh("save"));
    std::printf("%zu seeds written to %s\n", seedCount, argv[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_seeds: %s\n", error.what());
    return 1;
  }
  return 0;
}
