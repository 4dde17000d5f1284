// The styled MTF writer: what it writes must hold together as the real
// writers' files do, or the engine's tests built on it prove nothing. The
// checks read the bytes with their own small parser, not the writer's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/mtf_writer.h"
#include "tests/support/scan_helpers.h"
#include "tests/support/test_files.h"

namespace tallowin::test {
namespace {

using Output = std::vector<std::byte>;

std::uint64_t ReadLe(const Output& bytes, std::size_t at, std::size_t size) {
  std::uint64_t value = 0;
  for (std::size_t i = size; i-- > 0;) {
    value = value << 8 | std::to_integer<std::uint64_t>(bytes.at(at + i));
  }
  return value;
}
std::uint16_t U16(const Output& b, std::size_t at) {
  return static_cast<std::uint16_t>(ReadLe(b, at, 2));
}
std::uint32_t U32(const Output& b, std::size_t at) {
  return static_cast<std::uint32_t>(ReadLe(b, at, 4));
}

std::string Text(const Output& bytes, std::size_t at, std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i < size; ++i) text.push_back(static_cast<char>(bytes.at(at + i)));
  return text;
}

std::uint16_t XorOfWords(const Output& bytes, std::size_t at, std::size_t words) {
  std::uint16_t value = 0;
  for (std::size_t i = 0; i < words; ++i) value ^= U16(bytes, at + 2 * i);
  return value;
}

std::size_t RoundUp(std::size_t value, std::size_t to) { return (value + to - 1) / to * to; }

struct Stream {
  std::size_t at = 0;
  std::string id;
  std::uint16_t fsAttributes = 0, mediaAttributes = 0;
  std::uint64_t length = 0;
  std::size_t Data() const { return at + 22; }
  std::size_t End() const { return at + 22 + static_cast<std::size_t>(length); }
};

Stream StreamAt(const Output& bytes, std::size_t at) {
  return {at, Text(bytes, at, 4), U16(bytes, at + 4), U16(bytes, at + 6), ReadLe(bytes, at + 8, 8)};
}

// The streams of the block at `block` as a reader finds them: from the offset
// to the first event, each next one on the 4-byte grid, up to SPAD.
std::vector<Stream> Chain(const Output& bytes, std::size_t block) {
  std::vector<Stream> streams;
  std::size_t at = block + U16(bytes, block + 8);
  while (at + 22 <= bytes.size() && streams.size() < 100) {
    streams.push_back(StreamAt(bytes, at));
    if (streams.back().id == "SPAD") break;
    at = RoundUp(streams.back().End(), 4);
  }
  return streams;
}

std::vector<std::string> Ids(const std::vector<Stream>& streams) {
  std::vector<std::string> ids;
  for (const Stream& s : streams) ids.push_back(s.id);
  return ids;
}

const Stream& Find(const std::vector<Stream>& streams, std::string_view id) {
  const auto it =
      std::find_if(streams.begin(), streams.end(), [&](const Stream& s) { return s.id == id; });
  EXPECT_NE(it, streams.end()) << id;
  return *it;
}

// Walks a Windows-style file block by block, checking each block and its
// streams on the way, and gives the block ids in order.
std::vector<std::string> WalkWindowsFile(const Output& bytes) {
  std::vector<std::string> ids;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::string id = Text(bytes, at, 4);
    ids.push_back(id);
    EXPECT_EQ(at % 1024, 0u) << id << " at " << at;
    EXPECT_EQ(U16(bytes, at + 50), XorOfWords(bytes, at, 25)) << id << " at " << at;
    EXPECT_EQ(bytes[at + 48], std::byte{2}) << id;
    if (id == "SFMB") {
      EXPECT_EQ(U16(bytes, at + 8), 1024u);
      at += 1024;
      continue;
    }
    const auto streams = Chain(bytes, at);
    for (const Stream& s : streams) {
      EXPECT_EQ(U16(bytes, s.at + 20), XorOfWords(bytes, s.at, 10)) << s.id << " in " << id;
    }
    if (streams.empty() || streams.back().id != "SPAD") {
      ADD_FAILURE() << id << " at " << at << " does not end with SPAD";
      break;
    }
    EXPECT_EQ(streams.back().End() % 1024, 0u) << id << " at " << at;
    at = streams.back().End();
  }
  EXPECT_EQ(at, bytes.size());
  return ids;
}

std::string Data(std::size_t size, char seed = 'a') {
  std::string data;
  for (std::size_t i = 0; i < size; ++i) data.push_back(static_cast<char>(seed + i * 7 % 26));
  return data;
}

TEST(MtfWriter, WindowsFileIsBlocksOnTheLogicalGridWithValidChecksumsAndPadding) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Set created 12/05/2007 at 14:30").Directory(u"Documents");
  w.FileWithStreams({.name = u"letter.txt", .data = Data(1800)});
  w.FileWithStreams({.name = u"A rather long name for a letter.txt", .data = Data(3000),
                     .shortName = u"ARATHE~1.TXT", .objectId = true});
  w.FileWithStreams({.name = u"empty.txt"});
  w.FileWithStreams({.name = u"server.doc", .data = Data(10), .securityDescriptorSize = 1200});
  w.FileWithStreams({.name = u"sparse.bin", .sparse = {{4096, "xyz"}, {0, "ab"}}});
  w.FileWithStreams({.name = u"secret.txt", .data = Data(7), .encrypted = true,
                     .alternate = AlternateStream{u"Zone.Identifier", "[ZoneTransfer]"}});
  w.EndOfSet();
  w.DataSet(u"Set created 12/05/2007 at 14:30").Directory(u"Documents\\Old");
  w.File(FileEntry{.name = u"old.txt", .data = Data(1024)});
  w.EndOfSet();

  std::vector<std::string> expected = {"TAPE", "SFMB", "SSET", "VOLB", "DIRB", "FILE", "FILE",
                                       "FILE", "FILE", "FILE", "FILE", "SFMB", "ESET", "SFMB",
                                       "SSET", "VOLB", "DIRB", "FILE", "SFMB", "ESET", "SFMB"};
  EXPECT_EQ(WalkWindowsFile(w.Bytes()), expected);
  EXPECT_EQ(U16(w.Bytes(), 84), 1024u);  // the TAPE's format logical block
}

TEST(MtfWriter, ChecksumHelpersAgreeWithTheBytesAndNoticeAChange) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Set").FileWithStreams({.name = u"a.txt", .data = "abc"});
  const std::size_t block = w.LastFile().block;
  const std::size_t stan = *w.LastFile().stanHeader;
  EXPECT_TRUE(MtfWriter::HeaderChecksumValid(w.Bytes(), block));
  EXPECT_TRUE(MtfWriter::StreamHeaderChecksumValid(w.Bytes(), stan));
  EXPECT_EQ(MtfWriter::HeaderChecksum(w.Bytes(), block), U16(w.Bytes(), block + 50));
  w.Bytes()[block + 12] ^= std::byte{1};
  w.Bytes()[stan + 8] ^= std::byte{1};
  EXPECT_FALSE(MtfWriter::HeaderChecksumValid(w.Bytes(), block));
  EXPECT_FALSE(MtfWriter::StreamHeaderChecksumValid(w.Bytes(), stan));
  EXPECT_FALSE(MtfWriter::HeaderChecksumValid(w.Bytes(), w.Size() - 10));  // cut short
}

// The XOR of the data as little-endian 32-bit words, a short last word
// filled with zero bytes, worked out here byte by byte.
std::uint32_t ExpectedChecksum(std::string data) {
  data.resize(RoundUp(data.size(), 4), '\0');
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < data.size(); i += 4) {
    value ^= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) |
             static_cast<std::uint32_t>(static_cast<unsigned char>(data[i + 1])) << 8 |
             static_cast<std::uint32_t>(static_cast<unsigned char>(data[i + 2])) << 16 |
             static_cast<std::uint32_t>(static_cast<unsigned char>(data[i + 3])) << 24;
  }
  return value;
}

TEST(MtfWriter, CsumFollowsTheDataAndHoldsItsXorForEveryRemainder) {
  EXPECT_EQ(MtfWriter::DataChecksum("\x01\x02\x03\x04\x05"), 0x04030204u);
  EXPECT_EQ(MtfWriter::DataChecksum(""), 0u);
  for (std::size_t size = 1; size <= 9; ++size) {
    const std::string data = Data(size, static_cast<char>('A' + size)) + "\xFF";
    MtfWriter w(WriterStyle::kWindowsUtility);
    w.Tape().DataSet(u"Set").FileWithStreams({.name = u"f", .data = data});
    const auto streams = Chain(w.Bytes(), w.LastFile().block);
    ASSERT_EQ(Ids(streams), (std::vector<std::string>{"NACL", "STAN", "CSUM", "SPAD"})) << size;
    const Stream& stan = streams[1];
    const Stream& csum = streams[2];
    EXPECT_EQ(stan.at, *w.LastFile().stanHeader);
    EXPECT_EQ(csum.at, *w.LastFile().csumHeader);
    EXPECT_EQ(stan.length, data.size());
    EXPECT_EQ(stan.mediaAttributes & 0x0020, 0x0020);
    EXPECT_EQ(Text(w.Bytes(), w.LastDataOffset(), data.size()), data);
    EXPECT_EQ(csum.length, 4u);
    EXPECT_EQ(U32(w.Bytes(), csum.Data()), ExpectedChecksum(data)) << size;
    EXPECT_EQ(MtfWriter::DataChecksum(data), ExpectedChecksum(data)) << size;
  }
}

TEST(MtfWriter, WrongChecksumAndUncheckedDataAreWrittenAsAsked) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Set").FileWithStreams(
      {.name = u"f", .data = "12345678", .wrongChecksum = true});
  EXPECT_NE(U32(w.Bytes(), *w.LastFile().csumHeader + 22), ExpectedChecksum("12345678"));
  w.FileWithStreams(
      {.name = u"g", .data = "1234", .checksummed = false, .dataMediaAttributes = 0x0010});
  const auto streams = Chain(w.Bytes(), w.LastFile().block);
  EXPECT_EQ(Ids(streams), (std::vector<std::string>{"NACL", "STAN", "SPAD"}));
  EXPECT_EQ(streams[1].mediaAttributes, 0x0010);
  EXPECT_FALSE(w.LastFile().csumHeader);
}

TEST(MtfWriter, EmptyFileHasNoDataStream) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Set").FileWithStreams({.name = u"nothing.txt"});
  EXPECT_EQ(Ids(Chain(w.Bytes(), w.LastFile().block)), (std::vector<std::string>{"NACL", "SPAD"}));
  EXPECT_FALSE(w.LastFile().stanHeader);
  EXPECT_EQ(w.LastDataOffset(), 0u);
  EXPECT_EQ(ReadLe(w.Bytes(), w.LastFile().block + 12, 8), 0u);
}

TEST(MtfWriter, FileBlockCarriesWindowsFieldsAndItsStanWhereTheNamesAndDescriptorPutIt) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Set");
  const std::size_t dirb = w.Size();
  w.Directory(u"Docs");
  const std::u16string name(80, u'n');
  const PackedDate modified{2005, 6, 7, 8, 9, 10};
  w.FileWithStreams({.name = name, .data = Data(700), .modified = modified, .accessed = modified,
                     .shortName = u"NNNNNN~1"});
  const Output& b = w.Bytes();
  const std::size_t at = w.LastFile().block;
  EXPECT_EQ(dirb % 1024, 0u);
  EXPECT_EQ(Text(b, dirb, 4), "DIRB");
  EXPECT_EQ(std::to_integer<unsigned>(b[at + 10]), 14u);
  EXPECT_EQ(std::to_integer<unsigned>(b[at + 11]), 2u);
  EXPECT_EQ(U32(b, at + 52), 0x800u);
  EXPECT_EQ(ReadLe(b, at + 12, 8), 700u);
  // Directory and file ids count from 1 in each set.
  EXPECT_EQ(U32(b, dirb + 76), 1u);
  EXPECT_EQ(U32(b, at + 76), 1u);  // in the folder just written
  EXPECT_EQ(U32(b, at + 80), 1u);
  EXPECT_EQ(ReadLe(b, at + 66, 5), 0u);  // no earlier backup date
  EXPECT_EQ(Text(b, at + 56, 5), Text(b, at + 71, 5));
  const auto packed = PackDate(modified);
  EXPECT_EQ(Text(b, at + 56, 5), std::string(reinterpret_cast<const char*>(packed.data()), 5));
  EXPECT_EQ(Text(b, at + U16(b, at + 86), U16(b, at + 84)), Le(name));
  // 24 bytes of OS data: the attributes, then the short name's size and offset.
  ASSERT_EQ(U16(b, at + 44), 24u);
  const std::size_t os = at + U16(b, at + 46);
  EXPECT_EQ(U32(b, os), 0x20u);
  EXPECT_EQ(Text(b, at + U16(b, os + 6), U16(b, os + 4)), Le(u"NNNNNN~1"));
  // After the fixed part, the names, the OS data and the NACL header and data.
  const std::size_t nacl = RoundUp(88 + 2 * 80 + 24 + 2 * 8, 4);
  EXPECT_EQ(U16(b, at + 8), nacl);
  EXPECT_EQ(*w.LastFile().stanHeader - at, RoundUp(nacl + 22 + 150, 4));
}

TEST(MtfWriter, LargeSecurityDescriptorPushesStanPastTheFirstLogicalBlock) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Set").FileWithStreams(
      {.name = u"report.doc", .data = Data(50), .securityDescriptorSize = 1200});
  const auto streams = Chain(w.Bytes(), w.LastFile().block);
  EXPECT_EQ(Find(streams, "NACL").length, 1200u);
  EXPECT_GT(*w.LastFile().stanHeader - w.LastFile().block, 1023u);
  EXPECT_EQ(Find(streams, "STAN").at, *w.LastFile().stanHeader);
  EXPECT_EQ(Text(w.Bytes(), w.LastDataOffset(), 50), Data(50));
}

TEST(MtfWriter, SparseFileHasAnEmptyStanAndItsPiecesInTheOrderGiven) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Set").FileWithStreams(
      {.name = u"disk.vhd",
       .sparse = {{65536, "late"}, {0, "start"}, {1 << 20, "past the end"}},
       .sparseSize = 100000});
  const Output& b = w.Bytes();
  const auto streams = Chain(b, w.LastFile().block);
  EXPECT_EQ(Ids(streams),
            (std::vector<std::string>{"NACL", "STAN", "SPAR", "SPAR", "SPAR", "SPAD"}));
  const Stream& stan = streams[1];
  EXPECT_EQ(stan.length, 0u);
  EXPECT_EQ(stan.fsAttributes & 0x0008, 0x0008);
  EXPECT_EQ(ReadLe(b, w.LastFile().block + 12, 8), 100000u);
  ASSERT_EQ(w.LastFile().sparHeaders.size(), 3u);
  const std::vector<std::pair<std::uint64_t, std::string>> pieces = {
      {65536, "late"}, {0, "start"}, {1 << 20, "past the end"}};
  for (std::size_t i = 0; i < 3; ++i) {
    const Stream& spar = streams[2 + i];
    EXPECT_EQ(spar.at, w.LastFile().sparHeaders[i]);
    EXPECT_EQ(spar.length, 8 + pieces[i].second.size());
    EXPECT_EQ(ReadLe(b, spar.Data(), 8), pieces[i].first);
    EXPECT_EQ(Text(b, spar.Data() + 8, pieces[i].second.size()), pieces[i].second);
  }
}

TEST(MtfWriter, EncryptedFileUsesNtedAndAnAlternateStreamHasItsOwnChecksum) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Set").FileWithStreams(
      {.name = u"a.txt", .data = "sealed", .objectId = true, .encrypted = true,
       .alternate = AlternateStream{u"extra", "more data"}});
  const Output& b = w.Bytes();
  const auto streams = Chain(b, w.LastFile().block);
  EXPECT_EQ(Ids(streams),
            (std::vector<std::string>{"NACL", "NTED", "CSUM", "ADAT", "CSUM", "NTOI", "SPAD"}));
  EXPECT_EQ(streams[1].at, *w.LastFile().stanHeader);
  const Stream& adat = streams[3];
  EXPECT_EQ(adat.at, *w.LastFile().adatHeader);
  EXPECT_EQ(U32(b, adat.Data()), 10u);
  EXPECT_EQ(Text(b, adat.Data() + 4, 10), Le(u"extra"));
  EXPECT_EQ(Text(b, adat.Data() + 14, 9), "more data");
  EXPECT_EQ(adat.length, 4u + 10 + 9);
  EXPECT_EQ(U32(b, streams[4].Data()), ExpectedChecksum(Text(b, adat.Data(), 23)));
}

TEST(MtfWriter, LongFolderPathGoesIntoAPathStreamWithAnEmptyNameField) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Set");
  const std::u16string longPath = std::u16string(150, u'a') + u"\\" + std::u16string(150, u'b');
  const std::vector<std::pair<std::u16string, bool>> cases = {
      {u"Short\\Path", false}, {longPath, true}};
  for (const auto& [path, inStream] : cases) {
    const std::size_t at = w.Size();
    w.Directory(path);
    std::u16string stored = path;
    std::replace(stored.begin(), stored.end(), u'\\', u'\0');
    stored.push_back(u'\0');
    const auto streams = Chain(w.Bytes(), at);
    if (inStream) {
      EXPECT_EQ(U16(w.Bytes(), at + 80), 0u);
      EXPECT_EQ(Ids(streams), (std::vector<std::string>{"PNAM", "NACL", "SPAD"}));
      EXPECT_EQ(Text(w.Bytes(), streams[0].Data(), streams[0].length), Le(stored));
    } else {
      EXPECT_EQ(Text(w.Bytes(), at + U16(w.Bytes(), at + 82), U16(w.Bytes(), at + 80)), Le(stored));
      EXPECT_EQ(Ids(streams), (std::vector<std::string>{"NACL", "SPAD"}));
    }
  }
  const std::size_t at = w.Size();
  w.DirectoryWithPathStream(u"Short");
  EXPECT_EQ(Ids(Chain(w.Bytes(), at)), (std::vector<std::string>{"PNAM", "NACL", "SPAD"}));
}

// The set's catalogue as the ESET block's first stream: a volume entry, the
// folder, then every file in block order, each placed by its logical block
// from the SSET block and linked to its folder's entry; FEND reaches to the
// next 512-byte boundary. No entry's tag ever reads as a block on the grid.
TEST(MtfWriter, SetCatalogueNamesEveryBlockInOrderAndNeverLooksLikeABlock) {
  for (const CatalogueLayout layout : {CatalogueLayout::kInEndOfSet, CatalogueLayout::kAfterFilemark}) {
    MtfWriter w(WriterStyle::kWindowsUtility);
    w.Tape();
    const std::size_t sset = w.Size();
    w.DataSet(u"Set").Directory(u"Many");
    std::vector<std::size_t> blocks;
    for (std::size_t i = 0; i < 80; ++i) {
      w.FileWithStreams({.name = std::u16string(1 + i % 37, u'x'), .data = Data(i),
                         .modified = {2001, 2, 3, 4, 5, static_cast<int>(i % 60)}});
      blocks.push_back(w.LastFile().block);
    }
    const std::size_t end = w.Size();
    w.EndOfSet(layout);
    const Output& b = w.Bytes();
    for (std::size_t at = 0; at < b.size(); at += 512) {
      if (Text(b, at, 4) == "FILE" && U16(b, at + 4) == 0) {
        EXPECT_TRUE(std::find(blocks.begin(), blocks.end(), at) != blocks.end()) << at;
      }
    }
    std::size_t eset = end;
    while (Text(b, eset, 4) != "ESET") eset += 1024;
    const Stream tfdd = layout == CatalogueLayout::kInEndOfSet ? Chain(b, eset).front() : StreamAt(b, eset + 2048);
    ASSERT_EQ(tfdd.id, "TFDD");
    EXPECT_EQ(U16(b, tfdd.at + 20), XorOfWords(b, tfdd.at, 10));
    EXPECT_EQ(tfdd.End() % 512, 0u);
    std::size_t entry = tfdd.Data();
    EXPECT_EQ(Text(b, entry + 2, 4), "VOLB");
    EXPECT_EQ(ReadLe(b, entry + 12, 8) * 1024 + sset, sset + 1024);
    entry += U16(b, entry);
    EXPECT_EQ(Text(b, entry + 2, 4), "DIRB");
    const std::size_t folderEntry = 1;
    EXPECT_EQ(Text(b, entry + U16(b, entry + 62), U16(b, entry + 60)), Le(std::u16string(u"Many\0", 5)));
    entry += U16(b, entry);
    for (std::size_t i = 0; i < 80; ++i) {
      ASSERT_EQ(Text(b, entry + 2, 4), "FILE") << i;
      EXPECT_GE(U16(b, entry), 64u);
      EXPECT_EQ(ReadLe(b, entry + 12, 8) * 1024 + sset, blocks[i]);
      EXPECT_EQ(ReadLe(b, entry + 20, 8), i);
      EXPECT_EQ(U32(b, entry + 28), folderEntry);
      EXPECT_EQ(Text(b, entry + 36, 5), Text(b, blocks[i] + 56, 5));
      EXPECT_EQ(U32(b, entry + 56), 0x800u);
      EXPECT_EQ(Text(b, entry + U16(b, entry + 62), U16(b, entry + 60)), Le(std::u16string(1 + i % 37, u'x')));
      entry += U16(b, entry);
    }
    EXPECT_EQ(Text(b, entry + 2, 4), "FEND");
    EXPECT_EQ(entry + U16(b, entry), tfdd.End());
  }
}

TEST(MtfWriter, WindowsFileScansToItsFilesAndNothingFromTheCatalogue) {
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Monday").Directory(u"Docs");
  w.FileWithStreams({.name = u"a.txt", .data = Data(100)});
  w.FileWithStreams({.name = u"b.txt", .data = Data(3000)});
  w.EndOfSet();
  w.PadTo(RoundUp(w.Size(), 65536) + 65536);  // the scan looks at whole windows only
  EXPECT_EQ(ScanPaths(w), (std::vector<std::u16string>{u"BKF\\BACKUP SET 1(Monday)\\Docs\\a.txt",
                                                       u"BKF\\BACKUP SET 1(Monday)\\Docs\\b.txt"}));
}

TEST(MtfWriter, OtherWriterLeavesChecksumsZeroAndStanOffTheFourByteGrid) {
  MtfWriter w(WriterStyle::kOtherWriter);
  w.Tape();
  const std::size_t sset = w.Size();
  w.DataSet(u"Nightly").Directory(u"Data");
  const std::size_t dirb = sset + 1024;
  w.FileWithStreams({.name = u"db.mdf", .data = Data(2000)});
  const WrittenFile file = w.LastFile();
  w.EndOfSet();
  const std::size_t xml = w.Size();
  w.XmlCatalogue();
  const Output& b = w.Bytes();

  EXPECT_EQ(U16(b, 84), 512u);
  EXPECT_EQ(Text(b, 512, 4), "SFMB");
  EXPECT_EQ(sset, 512u + 65536);  // after a 64 KiB soft filemark
  EXPECT_EQ(Text(b, sset + 512, 4), "VOLB");
  EXPECT_EQ(Text(b, dirb, 4), "DIRB");
  for (const std::size_t at : {std::size_t{0}, sset, sset + 512, dirb, file.block}) {
    EXPECT_EQ(U16(b, at + 50), 0u) << at;
    EXPECT_EQ(std::to_integer<unsigned>(b[at + 11]), 4u) << at;
    EXPECT_EQ(U16(b, at + 44), 0u) << at;  // no OS data
  }
  // SSET, VOLB and DIRB have nothing where their streams would start.
  for (const std::size_t at : {sset, sset + 512, dirb}) {
    EXPECT_EQ(Text(b, at + U16(b, at + 8), 4), std::string(4, '\0')) << at;
  }
  const Stream nacl = StreamAt(b, file.block + U16(b, file.block + 8));
  const Stream pad = StreamAt(b, RoundUp(nacl.End(), 4));
  EXPECT_EQ(nacl.id, "NACL");
  EXPECT_NE(pad.id, "SPAD");
  EXPECT_EQ(pad.length % 2, 1u);
  ASSERT_TRUE(file.stanHeader);
  EXPECT_EQ(*file.stanHeader, pad.End());
  EXPECT_NE(*file.stanHeader % 4, 0u);
  const Stream stan = StreamAt(b, *file.stanHeader);
  EXPECT_EQ(stan.id, "STAN");
  EXPECT_EQ(stan.length, 2000u);
  for (const Stream& s : {nacl, pad, stan}) EXPECT_EQ(U16(b, s.at + 20), 0u) << s.id;
  EXPECT_EQ(Text(b, xml, 2), "\xFF\xFE");
  const std::string catalogue = Text(b, xml, b.size() - xml);
  EXPECT_NE(catalogue.find(Le(u"<File name=\"db.mdf\" size=\"2000\"")), std::string::npos);
  EXPECT_EQ(b.size() % 512, 0u);
}

TEST(MtfWriter, MinimalOutputStaysAsItWas) {
  MtfWriter w;
  w.File({.name = u"a", .data = "xy"});
  const Output& b = w.Bytes();
  ASSERT_EQ(w.Size(), 512u);
  EXPECT_EQ(Text(b, 0, 4), "FILE");
  EXPECT_EQ(U16(b, 8), 100u);
  EXPECT_EQ(U16(b, 84), 2u);
  EXPECT_EQ(U16(b, 86), 96u);
  EXPECT_EQ(Text(b, 96, 2), Le(u"a"));
  EXPECT_EQ(Text(b, 100, 4), "STAN");
  EXPECT_EQ(ReadLe(b, 108, 8), 2u);
  EXPECT_EQ(U16(b, 120), 0u);  // the minimal writer leaves stream checksums alone
  EXPECT_EQ(Text(b, 122, 2), "xy");
  EXPECT_EQ(U16(b, 50), XorOfWords(b, 0, 25));
  EXPECT_EQ(w.LastDataOffset(), 122u);
  EXPECT_EQ(w.LastFile().stanHeader, std::optional<std::size_t>{100});
  EXPECT_THROW(w.FileWithStreams({.name = u"b"}), std::logic_error);
  MtfWriter styled(WriterStyle::kWindowsUtility);
  EXPECT_THROW(styled.File({.name = u"c", .streamOffset = 200}), std::invalid_argument);
}

}  // namespace
}  // namespace tallowin::test
