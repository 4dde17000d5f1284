// A small Microsoft Tape Format writer for tests, benchmarks and the bundled
// sample: it lays out tape, data set, directory and file blocks on the 512-byte
// grid so that each test can state its input plainly, and damage is then
// applied to the bytes by hand.
//
// Given a WriterStyle other than kMinimal it writes files laid out as two real
// writers lay them out (see WriterStyle), so that the engine is also tried on
// the shapes it meets in the field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tallowin::test {

struct PackedDate {
  int year = 2007, month = 5, day = 12, hour = 14, minute = 30, second = 45;
};

std::array<std::byte, 5> PackDate(const PackedDate& date);

struct FileEntry {
  std::u16string name{};  // stored as is, so a test may give NULs or backslashes
  std::string data{};
  PackedDate modified{};
  PackedDate created{2006, 1, 2, 3, 4, 5};
  PackedDate accessed{2008, 12, 31, 23, 59, 59};
  // Where the "STAN" header starts, from the FILE block start; by default
  // just after the name.
  std::optional<std::size_t> streamOffset = std::nullopt;
  // The stream length field; by default the size of `data`.
  std::optional<std::uint64_t> declaredLength = std::nullopt;
  std::uint16_t attributes = 0;  // low half of the block attributes
};

// Where the Windows utility's style puts a set's catalogue: as the ESET
// block's first stream, or after the soft filemark that follows the ESET
// block, on the next format logical block.
enum class CatalogueLayout { kInEndOfSet, kAfterFilemark };

// How the blocks of a whole file are laid out.
enum class WriterStyle {
  // The 512-byte grid and only the fields the engine reads: what the writer
  // has always written, and what the bundled sample is made of.
  kMinimal,
  // The Windows backup utility: 1024-byte format logical blocks, soft
  // filemarks around each set's end, a volume block per set, security,
  // data, checksum and padding streams with valid checksums, and a
  // TFDD/TSMP catalogue after each set.
  kWindowsUtility,
  // A server backup product that writes the same extension: 512-byte
  // blocks, 64 KiB soft filemarks, no checksums at all, descriptor blocks
  // without streams, a private padding stream that leaves STAN off the
  // 4-byte grid, and an XML catalogue after the last set.
  kOtherWriter,
};

// One piece of a sparse file: the bytes found at `offset` in the file.
struct SparsePiece {
  std::uint64_t offset = 0;
  std::string data{};
};

// A named alternate data stream of a file.
struct AlternateStream {
  std::u16string name{};
  std::string data{};
};

// A file as a real writer stores it, for the styled writers.
struct RealFile {
  std::u16string name{};
  std::string data{};
  PackedDate modified{};
  PackedDate created{2006, 1, 2, 3, 4, 5};
  PackedDate accessed{};  // the Windows utility often stores the modification time here
  std::u16string shortName{};  // the 8.3 name, when the long name needs one
  std::uint32_t windowsAttributes = 0x20;  // archive
  std::size_t securityDescriptorSize = 150;  // a home computer's; file servers have over 1 KiB
  bool checksummed = true;  // a CSUM stream after the data
  bool wrongChecksum = false;  // the CSUM value inverted, as damage would leave it
  bool objectId = false;  // an NTOI stream after the data
  // Extra media-format bits of the data stream: 0x0010 compressed, 0x0008 encrypted.
  std::uint16_t dataMediaAttributes = 0;
  bool encrypted = false;  // the data in an NTED stream instead of STAN
  // The name in an FNAM stream before the others, the name field empty.
  bool nameInStream = false;
  // Written in the order given, so that a test may give them out of order
  // or past the file's size; a file with pieces is written as sparse.
  std::vector<SparsePiece> sparse{};
  std::optional<std::uint64_t> sparseSize = std::nullopt;  // by default where the last piece ends
  std::optional<AlternateStream> alternate = std::nullopt;
};

// Where File() or FileWithStreams() put the parts of the last file, counted
// from the start of the output.
struct WrittenFile {
  std::size_t block = 0;
  std::optional<std::size_t> stanHeader{};  // the STAN or NTED header
  std::optional<std::size_t> data{};  // just after that header
  std::optional<std::size_t> csumHeader{};  // the data stream's CSUM
  std::vector<std::size_t> sparHeaders{};
  std::optional<std::size_t> adatHeader{};
};

class MtfWriter {
 public:
  explicit MtfWriter(WriterStyle style = WriterStyle::kMinimal);
  // A styled writer with another format logical block than its own (the
  // Windows utility with 512-byte blocks, as some of its files have).
  MtfWriter(WriterStyle style, std::size_t logicalBlock);

  // In the styled writers also the first soft filemark.
  MtfWriter& Tape();
  // In the styled writers the data set block and then a volume block.
  MtfWriter& DataSet(std::u16string_view name);
  // The stored name is `path` with every backslash turned into NUL and one
  // NUL at the end, as MTF stores directory paths ("Docs\A" gives Docs NUL A NUL).
  // The Windows utility puts a path longer than kLongPath units in a PNAM
  // stream and leaves the name field empty.
  MtfWriter& Directory(std::u16string_view path);
  // The stored name exactly as given.
  MtfWriter& DirectoryRaw(std::u16string_view storedName);
  // The path in a PNAM stream whatever its length (Windows utility only).
  MtfWriter& DirectoryWithPathStream(std::u16string_view path);
  // In the styled writers the name, data and dates become a RealFile; the
  // layout fields (streamOffset, declaredLength, attributes) are refused.
  MtfWriter& File(const FileEntry& file);
  // A file with all its streams, as the style's writer stores it; styled
  // writers only.
  MtfWriter& FileWithStreams(const RealFile& file);
  // In the Windows utility's style: soft filemark, ESET with the set's
  // catalogue (every volume, folder and file block of the set in block
  // order) and the map of the sets, soft filemark; in the other writer's:
  // soft filemark, ESET, soft filemark.
  MtfWriter& EndOfSet(CatalogueLayout layout = CatalogueLayout::kInEndOfSet);
  // The other writer's catalogue of every set written so far: a UTF-16
  // XML text starting on the block grid.
  MtfWriter& XmlCatalogue();
  // Blocks that a scan passes over; on the style's block grid.
  MtfWriter& Block(std::string_view id, std::uint16_t attributes = 0);
  MtfWriter& Raw(std::string_view bytes);
  // Zero bytes up to `size` (nothing when already that long).
  MtfWriter& PadTo(std::size_t size);
  // Zero bytes up to the next multiple of 512.
  MtfWriter& Align();

  // Damage as copies over networks and failing disks leave it: a cluster
  // (4 KiB by default) of zeros, a cluster that holds a copy of another,
  // a file cut short.
  static constexpr std::size_t kCluster = 4096;
  MtfWriter& ZeroCluster(std::size_t at, std::size_t size = kCluster);
  MtfWriter& CopyCluster(std::size_t from, std::size_t to, std::size_t size = kCluster);
  MtfWriter& Cut(std::size_t size);
  // A field changed as a writer would have written it: the checksum of the
  // block header or stream header at `header` made to match again.
  MtfWriter& Patch(std::size_t at, std::uint64_t value, std::size_t size);
  MtfWriter& ResealBlock(std::size_t header);
  MtfWriter& ResealStream(std::size_t header);

  std::size_t Size() const { return bytes_.size(); }
  // The bytes written so far, for a caller that writes a large file piece
  // by piece: the writer goes on where they end, its positions counted from
  // the start of the whole. They must end on the 512-byte grid.
  std::vector<std::byte> TakeBytes();
  std::vector<std::byte>& Bytes() { return bytes_; }
  const std::vector<std::byte>& Bytes() const { return bytes_; }
  std::string String() const;
  void WriteTo(const std::filesystem::path& path) const;

  // Where File() put the last file's data, for tests that check offsets
  // (0 when the last file has no data stream; LastFile() has the rest).
  std::size_t LastDataOffset() const { return lastDataOffset_; }
  const WrittenFile& LastFile() const { return lastFile_; }
  // Where the last set's catalogue stream ("TFDD") begins, once written.
  std::optional<std::size_t> LastSetCatalogue() const { return lastSetCatalogue_; }
  // The format logical block: every styled block starts on a multiple of it.
  std::size_t LogicalBlockSize() const;

  static constexpr std::size_t kLongPath = 255;

  // The value of a CSUM stream: the data as little-endian 32-bit words
  // XORed together, a short last word filled with zero bytes.
  static std::uint32_t DataChecksum(std::string_view data);
  // The XOR of the 25 words of the block header at `at` / of the 10 words
  // of the stream header at `at`, as their checksum fields should hold.
  static std::uint16_t HeaderChecksum(std::span<const std::byte> bytes, std::size_t at);
  static std::uint16_t StreamHeaderChecksum(std::span<const std::byte> bytes, std::size_t at);
  static bool HeaderChecksumValid(std::span<const std::byte> bytes, std::size_t at);
  static bool StreamHeaderChecksumValid(std::span<const std::byte> bytes, std::size_t at);

 private:
  struct CatalogueEntry {
    std::string_view tag;  // "VOLB", "DIRB" or "FILE"
    std::u16string name;
    std::uint64_t size = 0;
    std::size_t block = 0;
    std::uint32_t attributes = 0;
    PackedDate modified{}, created{}, accessed{};
  };
  struct SetRecord {
    std::u16string name;
    std::uint16_t number = 0;
    std::size_t block = 0;
    std::vector<CatalogueEntry> entries;
  };

  std::size_t BeginBlock(std::string_view id, std::uint16_t attributes, std::size_t size);
  void PutU16(std::size_t at, std::uint16_t value);
  void PutU32(std::size_t at, std::uint32_t value);
  void PutU64(std::size_t at, std::uint64_t value);
  void PutText(std::size_t at, std::u16string_view text);
  void PutDate(std::size_t at, const PackedDate& date);
  void FinishHeader(std::size_t block, std::uint16_t firstEvent);

  // The styled writers build a block by appending to the output.
  bool Windows() const { return style_ == WriterStyle::kWindowsUtility; }
  std::size_t Append(std::size_t count);
  void AlignTo(std::size_t multiple);
  std::size_t BeginDescriptor(std::string_view id, std::size_t fixedSize);
  void AppendTextField(std::size_t block, std::size_t field, std::u16string_view text);
  std::size_t AppendOsData(std::size_t block, std::size_t size);
  void SealHeader(std::size_t block);
  std::size_t AppendStream(std::string_view id, std::string_view content,
                           std::uint16_t fsAttributes = 0, std::uint16_t mediaAttributes = 0);
  std::size_t AppendStreamHere(std::string_view id, std::string_view content,
                               std::uint16_t fsAttributes, std::uint16_t mediaAttributes);
  std::size_t AppendChecksum(std::string_view content, bool wrong = false);
  void EndDescriptor();

  void StyledTape();
  void StyledDataSet(std::u16string_view name);
  void Volume();
  void StyledDirectory(std::u16string_view storedName, bool pathInStream);
  void FileStreams(const RealFile& file);
  void DataStream(const RealFile& file);
  void SoftFilemark();
  void EndOfSetBlock(CatalogueLayout layout);
  void SetCatalogueStream();
  void SetMapStream();
  void Record(CatalogueEntry entry);
  std::uint64_t LogicalAddress(std::size_t at) const;

  WriterStyle style_ = WriterStyle::kMinimal;
  std::size_t logicalBlock_ = 0;  // 0: the style's own
  std::vector<std::byte> bytes_;
  std::size_t flushed_ = 0;  // bytes taken before bytes_
  std::size_t lastDataOffset_ = 0;
  WrittenFile lastFile_{};
  std::optional<std::size_t> lastSetCatalogue_;
  std::vector<SetRecord> sets_;
  std::vector<std::size_t> softFilemarks_;
  // Directory and file ids count from 1 in each set; a file before any
  // directory block of its set has directory id 0.
  std::uint32_t directoryCount_ = 0;
  std::uint32_t fileCount_ = 0;
  std::uint32_t directoryId_ = 0;
  std::uint32_t controlBlockId_ = 0;
};

// UTF-16LE, low byte first, as MTF strings and the program's text files hold it.
std::string Utf16Le(std::u16string_view text);

// A little-endian 16-bit value of written bytes.
std::uint16_t U16At(std::span<const std::byte> bytes, std::size_t at);

}  // namespace tallowin::test
