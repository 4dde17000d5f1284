#include "tests/support/mtf_writer.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>

namespace tallowin::test {
namespace {

constexpr std::size_t kBlock = 512;
constexpr std::size_t kCommonHeaderSize = 52;
constexpr std::size_t kFirstEventOffset = 8;
constexpr std::size_t kStringType = 48;
constexpr std::size_t kChecksum = 50;

std::size_t RoundUp(std::size_t value, std::size_t to) { return (value + to - 1) / to * to; }

std::uint16_t XorWords(std::span<const std::byte> bytes, std::size_t at, std::size_t words) {
  if (at + 2 * words > bytes.size()) throw std::out_of_range("header beyond the bytes");
  std::uint16_t value = 0;
  for (std::size_t i = 0; i < 2 * words; i += 2) {
    value ^= static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[at + i]) |
                                        (std::to_integer<unsigned>(bytes[at + i + 1]) << 8));
  }
  return value;
}

// Each component followed by NUL, as MTF stores a directory path.
std::u16string StoredPath(std::u16string_view path) {
  std::u16string stored(path);
  std::replace(stored.begin(), stored.end(), u'\\', u'\0');
  stored.push_back(u'\0');
  return stored;
}

}  // namespace

std::string Utf16Le(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

MtfWriter::MtfWriter(WriterStyle style) : style_(style) {}

MtfWriter::MtfWriter(WriterStyle style, std::size_t logicalBlock) : style_(style), logicalBlock_(logicalBlock) {
  if (style == WriterStyle::kMinimal || logicalBlock % 512 != 0 || logicalBlock == 0) {
    throw std::invalid_argument("a styled writer with a multiple of 512 as its block");
  }
}

std::uint16_t U16At(std::span<const std::byte> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[at]) | std::to_integer<unsigned>(bytes[at + 1]) << 8);
}

std::array<std::byte, 5> PackDate(const PackedDate& d) {
  const auto y = static_cast<unsigned>(d.year), mo = static_cast<unsigned>(d.month),
             da = static_cast<unsigned>(d.day), h = static_cast<unsigned>(d.hour),
             mi = static_cast<unsigned>(d.minute), s = static_cast<unsigned>(d.second);
  return {std::byte(static_cast<std::uint8_t>(y >> 6)),
          std::byte(static_cast<std::uint8_t>(((y & 63) << 2) | (mo >> 2))),
          std::byte(static_cast<std::uint8_t>(((mo & 3) << 6) | (da << 1) | (h >> 4))),
          std::byte(static_cast<std::uint8_t>(((h & 15) << 4) | (mi >> 2))),
          std::byte(static_cast<std::uint8_t>(((mi & 3) << 6) | s))};
}

std::size_t MtfWriter::BeginBlock(std::string_view id, std::uint16_t attributes, std::size_t size) {
  Align();
  const std::size_t at = bytes_.size();
  bytes_.resize(at + RoundUp(std::max(size, kCommonHeaderSize), kBlock));
  for (std::size_t i = 0; i < 4 && i < id.size(); ++i) bytes_[at + i] = std::byte(id[i]);
  PutU16(at + 4, attributes);
  bytes_[at + kStringType] = std::byte{2};  // UTF-16
  return at;
}

void MtfWriter::PutU16(std::size_t at, std::uint16_t value) {
  bytes_[at] = std::byte(static_cast<std::uint8_t>(value));
  bytes_[at + 1] = std::byte(static_cast<std::uint8_t>(value >> 8));
}

void MtfWriter::PutU32(std::size_t at, std::uint32_t value) {
  PutU16(at, static_cast<std::uint16_t>(value));
  PutU16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

void MtfWriter::PutU64(std::size_t at, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) bytes_[at + i] = std::byte(static_cast<std::uint8_t>(value >> (8 * i)));
}

void MtfWriter::PutText(std::size_t at, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) PutU16(at + 2 * i, text[i]);
}

// The offset to the first event and the header checksum (the XOR of the
// header's first 25 words), as a real writer leaves them.
void MtfWriter::FinishHeader(std::size_t block, std::uint16_t firstEvent) {
  PutU16(block + kFirstEventOffset, firstEvent);
  PutU16(block + kChecksum, HeaderChecksum(bytes_, block));
}

void MtfWriter::PutDate(std::size_t at, const PackedDate& date) {
  const auto packed = PackDate(date);
  std::copy(packed.begin(), packed.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at));
}

MtfWriter& MtfWriter::Tape() {
  if (style_ != WriterStyle::kMinimal) {
    StyledTape();
    return *this;
  }
  const std::size_t at = BeginBlock("TAPE", 0, 1024);
  FinishHeader(at, 1024);
  return *this;
}

MtfWriter& MtfWriter::DataSet(std::u16string_view name) {
  if (style_ != WriterStyle::kMinimal) {
    StyledDataSet(name);
    return *this;
  }
  constexpr std::size_t kName = 128;
  const std::size_t at = BeginBlock("SSET", 0, kName + 2 * name.size());
  PutU16(at + 64, static_cast<std::uint16_t>(2 * name.size()));
  PutU16(at + 66, kName);
  PutText(at + kName, name);
  FinishHeader(at, static_cast<std::uint16_t>(RoundUp(kName + 2 * name.size(), 4)));
  return *this;
}

MtfWriter& MtfWriter::Directory(std::u16string_view path) {
  const std::u16string stored = StoredPath(path);
  if (Windows()) {
    StyledDirectory(stored, path.size() > kLongPath);
    return *this;
  }
  return DirectoryRaw(stored);
}

MtfWriter& MtfWriter::DirectoryWithPathStream(std::u16string_view path) {
  if (!Windows()) throw std::logic_error("only the Windows utility writes PNAM streams");
  StyledDirectory(StoredPath(path), true);
  return *this;
}

MtfWriter& MtfWriter::DirectoryRaw(std::u16string_view storedName) {
  if (style_ != WriterStyle::kMinimal) {
    StyledDirectory(storedName, false);
    return *this;
  }
  constexpr std::size_t kName = 96;
  const std::size_t at = BeginBlock("DIRB", 0, kName + 2 * storedName.size());
  PutU16(at + 80, static_cast<std::uint16_t>(2 * storedName.size()));
  PutU16(at + 82, kName);
  PutText(at + kName, storedName);
  FinishHeader(at, static_cast<std::uint16_t>(RoundUp(kName + 2 * storedName.size(), 4)));
  return *this;
}

MtfWriter& MtfWriter::File(const FileEntry& file) {
  if (style_ != WriterStyle::kMinimal) {
    if (file.streamOffset || file.declaredLength || file.attributes != 0) {
      throw std::invalid_argument("a styled writer lays out its own FILE blocks");
    }
    return FileWithStreams(RealFile{.name = file.name, .data = file.data, .modified = file.modified,
                         .created = file.created, .accessed = file.accessed});
  }
  constexpr std::size_t kName = 96;
  const std::size_t nameBytes = 2 * file.name.size();
  const std::size_t stream = file.streamOffset.value_or(RoundUp(kName + nameBytes, 4));
  const auto overlaps = [&](std::size_t begin, std::size_t end) {
    return stream < end && begin < stream + 22;
  };
  if (overlaps(0, 6) || overlaps(56, 88) || overlaps(kName, kName + nameBytes)) {
    throw std::invalid_argument("stream header would overlap the FILE block fields");
  }
  const std::size_t at = BeginBlock("FILE", file.attributes, stream + 22 + file.data.size());
  PutDate(at + 56, file.modified);
  PutDate(at + 61, file.created);
  PutDate(at + 66, PackedDate{2009, 1, 1, 0, 0, 0});
  PutDate(at + 71, file.accessed);
  PutU16(at + 84, static_cast<std::uint16_t>(nameBytes));
  PutU16(at + 86, kName);
  PutText(at + kName, file.name);
  FinishHeader(at, static_cast<std::uint16_t>(stream));
  for (std::size_t i = 0; i < 4; ++i) bytes_[at + stream + i] = std::byte("STAN"[i]);
  PutU64(at + stream + 8, file.declaredLength.value_or(file.data.size()));
  lastDataOffset_ = at + stream + 22;
  for (std::size_t i = 0; i < file.data.size(); ++i) {
    bytes_[lastDataOffset_ + i] = std::byte(static_cast<std::uint8_t>(file.data[i]));
  }
  lastFile_ = {.block = at, .stanHeader = at + stream, .data = lastDataOffset_};
  return *this;
}

MtfWriter& MtfWriter::EndOfSet(CatalogueLayout layout) {
  if (style_ == WriterStyle::kMinimal) return Block("ESET");
  SoftFilemark();
  EndOfSetBlock(layout);
  SoftFilemark();
  if (Windows() && layout == CatalogueLayout::kAfterFilemark) {
    AlignTo(LogicalBlockSize());
    SetCatalogueStream();
    SetMapStream();
    EndDescriptor();
  }
  return *this;
}

MtfWriter& MtfWriter::Block(std::string_view id, std::uint16_t attributes) {
  if (style_ == WriterStyle::kMinimal) {
    FinishHeader(BeginBlock(id, attributes, kBlock), kBlock);
    return *this;
  }
  const std::size_t at = BeginDescriptor(id, kCommonHeaderSize);
  PutU16(at + 4, attributes);
  SealHeader(at);
  EndDescriptor();
  return *this;
}

MtfWriter& MtfWriter::Raw(std::string_view bytes) {
  for (const char c : bytes) bytes_.push_back(std::byte(static_cast<std::uint8_t>(c)));
  return *this;
}

MtfWriter& MtfWriter::PadTo(std::size_t size) {
  if (bytes_.size() < size) bytes_.resize(size);
  return *this;
}

MtfWriter& MtfWriter::Align() { return PadTo(RoundUp(bytes_.size(), kBlock)); }

MtfWriter& MtfWriter::ZeroCluster(std::size_t at, std::size_t size) {
  const std::size_t end = std::min(bytes_.size(), at + size);
  if (at < end) std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(at), bytes_.begin() + static_cast<std::ptrdiff_t>(end), std::byte{0});
  return *this;
}

MtfWriter& MtfWriter::CopyCluster(std::size_t from, std::size_t to, std::size_t size) {
  if (from + size > bytes_.size() || to + size > bytes_.size()) throw std::out_of_range("cluster beyond the bytes");
  std::vector<std::byte> copy(bytes_.begin() + static_cast<std::ptrdiff_t>(from),
                              bytes_.begin() + static_cast<std::ptrdiff_t>(from + size));
  std::copy(copy.begin(), copy.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(to));
  return *this;
}

MtfWriter& MtfWriter::Patch(std::size_t at, std::uint64_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) bytes_.at(at + i) = std::byte(static_cast<std::uint8_t>(value >> (8 * i)));
  return *this;
}

MtfWriter& MtfWriter::ResealBlock(std::size_t header) {
  PutU16(header + kChecksum, HeaderChecksum(bytes_, header));
  return *this;
}

MtfWriter& MtfWriter::ResealStream(std::size_t header) {
  PutU16(header + 20, StreamHeaderChecksum(bytes_, header));
  return *this;
}

MtfWriter& MtfWriter::Cut(std::size_t size) {
  if (size < bytes_.size()) bytes_.resize(size);
  return *this;
}

std::string MtfWriter::String() const {
  std::string out(bytes_.size(), '\0');
  std::transform(bytes_.begin(), bytes_.end(), out.begin(),
                 [](std::byte b) { return static_cast<char>(b); });
  return out;
}

void MtfWriter::WriteTo(const std::filesystem::path& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// ---- The styled writers ------------------------------------------------------

namespace {

constexpr std::size_t kStreamHeaderSize = 22;
constexpr std::size_t kStreamChecksum = 20;
constexpr std::size_t kWindowsLogicalBlock = 1024;
constexpr std::size_t kOtherLogicalBlock = 512;
constexpr std::size_t kOtherSoftFilemark = 64 * 1024;
constexpr std::uint8_t kWindowsNt = 14;
constexpr std::uint16_t kChecksummedBit = 0x0020;
constexpr std::uint16_t kSparseBit = 0x0008;
constexpr std::uint32_t kFileAttributes = 0x800;
constexpr std::size_t kEntryHeaderSize = 36;  // of a catalogue entry
constexpr std::uint32_t kNameInStreamBit = 0x20000;
// Odd, so that the STAN that follows it at once is off the 4-byte grid.
constexpr std::size_t kPrivatePadLength = 5;
constexpr std::string_view kPrivatePadId = "PADD";

std::string LittleEndian(std::uint64_t value, std::size_t size) {
  std::string bytes;
  for (std::size_t i = 0; i < size; ++i) {
    bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
  return bytes;
}

// A self-relative descriptor's header (revision 1, DACL present) and then
// varied bytes, so that a reader that skips zeros instead of using the
// stream length is caught. Steps of 37 never spell a stream id.
std::string SecurityDescriptor(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 20; i < size; ++i) bytes[i] = static_cast<char>((i * 37 + 11) & 0xFF);
  if (size >= 4) {
    bytes[0] = 1;
    bytes[2] = 0x04;
    bytes[3] = static_cast<char>(0x80);
  }
  return bytes;
}

// A 16-byte object id and its 48 bytes of birth ids, as NTOI holds them.
std::string ObjectIdInfo() {
  std::string bytes(64, '\0');
  for (std::size_t i = 0; i < 16; ++i) bytes[i] = static_cast<char>(0xA0 + i);
  return bytes;
}

std::u16string Number(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  return {digits.begin(), digits.end()};
}

// Text for an XML attribute value; a stored path's NULs become backslashes.
std::u16string XmlText(std::u16string_view text) {
  std::u16string out;
  for (const char16_t c : text) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"': out += u"&quot;"; break;
      case u'\0': out += u'\\'; break;
      default: out += c;
    }
  }
  return out;
}

std::uint64_t FileSize(const RealFile& file) {
  if (file.sparse.empty()) return file.data.size();
  std::uint64_t end = 0;
  for (const SparsePiece& piece : file.sparse) {
    end = std::max(end, piece.offset + piece.data.size());
  }
  return file.sparseSize.value_or(end);
}

}  // namespace

std::uint32_t MtfWriter::DataChecksum(std::string_view data) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    value ^= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * (i % 4));
  }
  return value;
}

std::uint16_t MtfWriter::HeaderChecksum(std::span<const std::byte> bytes, std::size_t at) {
  return XorWords(bytes, at, kChecksum / 2);
}

std::uint16_t MtfWriter::StreamHeaderChecksum(std::span<const std::byte> bytes, std::size_t at) {
  return XorWords(bytes, at, kStreamChecksum / 2);
}

bool MtfWriter::HeaderChecksumValid(std::span<const std::byte> bytes, std::size_t at) {
  return at + kCommonHeaderSize <= bytes.size() &&
         XorWords(bytes, at, kChecksum / 2) == XorWords(bytes, at + kChecksum, 1);
}

bool MtfWriter::StreamHeaderChecksumValid(std::span<const std::byte> bytes, std::size_t at) {
  return at + kStreamHeaderSize <= bytes.size() &&
         XorWords(bytes, at, kStreamChecksum / 2) == XorWords(bytes, at + kStreamChecksum, 1);
}

std::size_t MtfWriter::LogicalBlockSize() const {
  if (logicalBlock_ != 0) return logicalBlock_;
  return Windows() ? kWindowsLogicalBlock : kOtherLogicalBlock;
}

// Blocks of a set count their format logical blocks from its SSET block.
std::uint64_t MtfWriter::LogicalAddress(std::size_t at) const {
  const std::size_t from = sets_.empty() ? 0 : sets_.back().block;
  return (flushed_ + at - from) / LogicalBlockSize();
}

std::vector<std::byte> MtfWriter::TakeBytes() {
  if (flushed_ % kBlock != 0 || bytes_.size() % kBlock != 0) throw std::logic_error("bytes taken off the block grid");
  flushed_ += bytes_.size();
  return std::exchange(bytes_, {});
}

std::size_t MtfWriter::Append(std::size_t count) {
  const std::size_t at = bytes_.size();
  bytes_.resize(at + count);
  return at;
}

void MtfWriter::AlignTo(std::size_t multiple) { PadTo(RoundUp(bytes_.size(), multiple)); }

// The common header of a styled block on the next logical block boundary,
// with `fixedSize` bytes for the block's own fields.
std::size_t MtfWriter::BeginDescriptor(std::string_view id, std::size_t fixedSize) {
  AlignTo(LogicalBlockSize());
  const std::size_t at = Append(fixedSize);
  for (std::size_t i = 0; i < 4 && i < id.size(); ++i) bytes_[at + i] = std::byte(id[i]);
  bytes_[at + 10] = std::byte{kWindowsNt};
  bytes_[at + 11] = std::byte{Windows() ? std::uint8_t{2} : std::uint8_t{4}};
  PutU64(at + 20, LogicalAddress(at));
  PutU32(at + 36, controlBlockId_++);
  bytes_[at + kStringType] = std::byte{2};  // UTF-16
  return at;
}

// The text after what the block holds so far, and its size and offset in
// the field at `field`; an empty text leaves the field zero.
void MtfWriter::AppendTextField(std::size_t block, std::size_t field, std::u16string_view text) {
  if (text.empty()) return;
  const std::size_t at = Append(2 * text.size());
  PutText(at, text);
  if (at - block + 2 * text.size() > 0xFFFF) throw std::length_error("text beyond a block's reach");
  PutU16(block + field, static_cast<std::uint16_t>(2 * text.size()));
  PutU16(block + field + 2, static_cast<std::uint16_t>(at - block));
}

// Room for the OS data, which only the Windows utility writes;
// 0 when there is none.
std::size_t MtfWriter::AppendOsData(std::size_t block, std::size_t size) {
  if (!Windows()) return 0;
  const std::size_t at = Append(size);
  PutU16(block + 44, static_cast<std::uint16_t>(size));
  PutU16(block + 46, static_cast<std::uint16_t>(at - block));
  return at;
}

// Ends the block's own fields: the offset to the first event is where its
// streams start (or would start), on the 4-byte grid. The other writer
// leaves the checksum zero.
void MtfWriter::SealHeader(std::size_t block) {
  AlignTo(4);
  const std::size_t firstEvent = bytes_.size() - block;
  if (firstEvent > 0xFFFF) throw std::length_error("block fields longer than 64 KiB");
  if (Windows()) {
    FinishHeader(block, static_cast<std::uint16_t>(firstEvent));
  } else {
    PutU16(block + kFirstEventOffset, static_cast<std::uint16_t>(firstEvent));
  }
}

std::size_t MtfWriter::AppendStream(std::string_view id, std::string_view content,
                                    std::uint16_t fsAttributes, std::uint16_t mediaAttributes) {
  AlignTo(4);
  return AppendStreamHere(id, content, fsAttributes, mediaAttributes);
}

std::size_t MtfWriter::AppendStreamHere(std::string_view id, std::string_view content,
                                        std::uint16_t fsAttributes, std::uint16_t mediaAttributes) {
  const std::size_t at = Append(kStreamHeaderSize);
  for (std::size_t i = 0; i < 4 && i < id.size(); ++i) bytes_[at + i] = std::byte(id[i]);
  PutU16(at + 4, fsAttributes);
  PutU16(at + 6, mediaAttributes);
  PutU64(at + 8, content.size());
  if (Windows()) PutU16(at + kStreamChecksum, StreamHeaderChecksum(bytes_, at));
  Raw(content);
  return at;
}

std::size_t MtfWriter::AppendChecksum(std::string_view content, bool wrong) {
  const std::uint32_t value = DataChecksum(content);
  return AppendStream("CSUM", LittleEndian(wrong ? ~value : value, 4));
}

// The Windows utility pads every block's streams with SPAD up to the next
// logical block; the other writer leaves zeros.
void MtfWriter::EndDescriptor() {
  if (!Windows()) {
    AlignTo(LogicalBlockSize());
    return;
  }
  AlignTo(4);
  const std::size_t padStart = bytes_.size() + kStreamHeaderSize;
  const std::size_t padEnd = RoundUp(padStart, LogicalBlockSize());
  AppendStreamHere("SPAD", std::string(padEnd - padStart, '\0'), 0, 0);
}

void MtfWriter::StyledTape() {
  const std::size_t at = BeginDescriptor("TAPE", 94);
  // The Windows utility writes a set map and file details after each set.
  if (Windows()) PutU32(at + 4, 0x30000);
  PutU32(at + 52, 0x4B1D2007);  // media family id
  PutU32(at + 56, 1);           // soft filemarks in use
  PutU16(at + 60, 1);           // first medium of the family
  const std::size_t softFilemark = Windows() ? LogicalBlockSize() : kOtherSoftFilemark;
  PutU16(at + 64, static_cast<std::uint16_t>(softFilemark / kBlock));
  PutU16(at + 66, Windows() ? 2 : 0);
  AppendTextField(at, 68, u"Media created 12/05/2007 at 14:30");
  AppendTextField(at, 80, Windows() ? u"Windows Backup Utility" : u"Server Backup");
  PutU16(at + 84, static_cast<std::uint16_t>(LogicalBlockSize()));
  PutDate(at + 88, PackedDate{});
  bytes_[at + 93] = std::byte{1};  // format major version
  SealHeader(at);
  EndDescriptor();
  SoftFilemark();
}

void MtfWriter::StyledDataSet(std::u16string_view name) {
  controlBlockId_ = 0;  // counted within each set
  directoryCount_ = fileCount_ = directoryId_ = 0;
  const auto number = static_cast<std::uint16_t>(sets_.size() + 1);
  const std::size_t at = BeginDescriptor("SSET", 98);
  sets_.push_back({std::u16string(name), number, flushed_ + at, {}});
  PutU64(at + 20, 0);
  if (Windows()) PutU32(at + 4, 0x10000);  // the set has file details
  PutU16(at + 62, number);
  AppendTextField(at, 64, name);
  AppendTextField(at, 76, u"user");
  PutU64(at + 80, (flushed_ + at) / LogicalBlockSize());
  PutDate(at + 88, PackedDate{});
  bytes_[at + 93] = std::byte{1};  // software major version
  bytes_[at + 97] = std::byte{Windows() ? std::uint8_t{1} : std::uint8_t{0}};
  SealHeader(at);
  EndDescriptor();
  Volume();
}

void MtfWriter::Volume() {
  const std::size_t at = BeginDescriptor("VOLB", 73);
  AppendTextField(at, 56, u"C:");
  AppendTextField(at, 60, u"C:");
  AppendTextField(at, 64, u"BACKUP-PC");
  PutDate(at + 68, PackedDate{});
  SealHeader(at);
  EndDescriptor();
  Record({.tag = "VOLB", .name = u"C:", .block = flushed_ + at});
}

void MtfWriter::StyledDirectory(std::u16string_view storedName, bool pathInStream) {
  directoryId_ = ++directoryCount_;
  const std::size_t at = BeginDescriptor("DIRB", 84);
  const std::uint32_t attributes = pathInStream ? kNameInStreamBit : 0;
  PutU32(at + 52, attributes);
  PutDate(at + 56, PackedDate{});
  PutDate(at + 61, PackedDate{2006, 1, 2, 3, 4, 5});
  PutDate(at + 71, PackedDate{});
  PutU32(at + 76, directoryId_);
  if (!pathInStream) AppendTextField(at, 80, storedName);
  if (const std::size_t os = AppendOsData(at, 4)) PutU32(os, 0x10);  // directory
  SealHeader(at);
  if (pathInStream) AppendStream("PNAM", Utf16Le(storedName));
  // The other writer's folder blocks carry no streams at all.
  if (Windows()) AppendStream("NACL", SecurityDescriptor(150));
  EndDescriptor();
  Record({.tag = "DIRB",
          .name = std::u16string(storedName),
          .block = flushed_ + at,
          .attributes = attributes,
          .modified = PackedDate{},
          .created = PackedDate{2006, 1, 2, 3, 4, 5},
          .accessed = PackedDate{}});
}

MtfWriter& MtfWriter::FileWithStreams(const RealFile& file) {
  if (style_ == WriterStyle::kMinimal) throw std::logic_error("a RealFile needs a styled writer");
  if (!file.sparse.empty() && !file.data.empty()) {
    throw std::invalid_argument("a sparse file's data is in its pieces");
  }
  const std::uint64_t size = FileSize(file);
  const std::size_t at = BeginDescriptor("FILE", 88);
  PutU64(at + 12, size);
  const std::uint32_t attributes = kFileAttributes | (file.nameInStream ? kNameInStreamBit : 0);
  PutU32(at + 52, attributes);
  PutDate(at + 56, file.modified);
  PutDate(at + 61, file.created);
  PutDate(at + 71, file.accessed);  // the backup date before it stays zero
  PutU32(at + 76, directoryId_);
  PutU32(at + 80, ++fileCount_);
  if (!file.nameInStream) AppendTextField(at, 84, file.name);
  if (const std::size_t os = AppendOsData(at, 24)) {
    PutU32(os, file.windowsAttributes);
    if (!file.shortName.empty()) {
      const std::size_t shortName = Append(2 * file.shortName.size());
      PutText(shortName, file.shortName);
      PutU16(os + 4, static_cast<std::uint16_t>(2 * file.shortName.size()));
      PutU16(os + 6, static_cast<std::uint16_t>(shortName - at));
    }
  }
  SealHeader(at);
  lastFile_ = {.block = at};
  FileStreams(file);
  EndDescriptor();
  lastDataOffset_ = lastFile_.data.value_or(0);
  Record({.tag = "FILE",
          .name = file.name,
          .size = size,
          .block = flushed_ + at,
          .attributes = attributes,
          .modified = file.modified,
          .created = file.created,
          .accessed = file.accessed});
  return *this;
}

// A file of no bytes has no data stream at all, only its security.
void MtfWriter::FileStreams(const RealFile& file) {
  if (file.nameInStream) AppendStream("FNAM", Utf16Le(file.name));
  AppendStream("NACL", SecurityDescriptor(file.securityDescriptorSize));
  if (!file.data.empty() || !file.sparse.empty()) DataStream(file);
  if (file.alternate) {
    // The checksum covers the whole stream: name size, name and data.
    const std::string name = Utf16Le(file.alternate->name);
    const std::string content = LittleEndian(name.size(), 4) + name + file.alternate->data;
    lastFile_.adatHeader =
        AppendStream("ADAT", content, 0, file.checksummed ? kChecksummedBit : 0);
    if (file.checksummed) AppendChecksum(content);
  }
  if (file.objectId) AppendStream("NTOI", ObjectIdInfo());
}

// STAN (or NTED), its CSUM, and for a sparse file an empty STAN followed by
// one SPAR per piece. The other writer puts its private padding first and
// the data header right after it, off the 4-byte grid.
void MtfWriter::DataStream(const RealFile& file) {
  const bool sparse = !file.sparse.empty();
  const bool checksummed = file.checksummed && !sparse;
  const std::string_view id = file.encrypted ? "NTED" : "STAN";
  const auto fs = sparse ? kSparseBit : std::uint16_t{0};
  const auto media =
      static_cast<std::uint16_t>(file.dataMediaAttributes | (checksummed ? kChecksummedBit : 0));
  std::size_t header = 0;
  if (Windows()) {
    header = AppendStream(id, file.data, fs, media);
  } else {
    AppendStream(kPrivatePadId, std::string(kPrivatePadLength, '\0'));
    header = AppendStreamHere(id, file.data, fs, media);
  }
  lastFile_.stanHeader = header;
  lastFile_.data = header + kStreamHeaderSize;
  if (checksummed) lastFile_.csumHeader = AppendChecksum(file.data, file.wrongChecksum);
  for (const SparsePiece& piece : file.sparse) {
    const std::string content = LittleEndian(piece.offset, 8) + piece.data;
    lastFile_.sparHeaders.push_back(AppendStream("SPAR", content));
  }
}

// A soft filemark: the block lists the earlier filemarks, most recent first,
// and the other writer pads it out to 64 KiB.
void MtfWriter::SoftFilemark() {
  const std::size_t blockSize = LogicalBlockSize();
  const std::size_t at = BeginDescriptor("SFMB", blockSize);
  const std::size_t capacity = (blockSize - 60) / 4;
  const std::size_t used = std::min(capacity, softFilemarks_.size());
  PutU32(at + 52, static_cast<std::uint32_t>(capacity));
  PutU32(at + 56, static_cast<std::uint32_t>(used));
  for (std::size_t i = 0; i < used; ++i) {
    PutU32(at + 60 + 4 * i,
           static_cast<std::uint32_t>(softFilemarks_[softFilemarks_.size() - 1 - i] / blockSize));
  }
  softFilemarks_.push_back(flushed_ + at);
  if (Windows()) {
    FinishHeader(at, static_cast<std::uint16_t>(blockSize));
  } else {
    PutU16(at + kFirstEventOffset, static_cast<std::uint16_t>(blockSize));
  }
  PadTo(at + (Windows() ? blockSize : kOtherSoftFilemark));
}

void MtfWriter::EndOfSetBlock(CatalogueLayout layout) {
  const std::size_t at = BeginDescriptor("ESET", 85);
  PutU16(at + 76, 1);  // the medium where the file details begin
  PutU16(at + 78, sets_.empty() ? 0 : sets_.back().number);
  PutDate(at + 80, PackedDate{});
  SealHeader(at);
  if (Windows() && layout == CatalogueLayout::kInEndOfSet) {
    SetCatalogueStream();
    SetMapStream();
  }
  EndDescriptor();
}

// The set's file details: one entry per volume, folder and file block, in
// block order, each with the block's place in logical blocks from the SSET
// block, its size, dates, attributes and name; a file's entry links to its
// folder's. The last entry, FEND, reaches to the next 512-byte boundary.
void MtfWriter::SetCatalogueStream() {
  const std::vector<CatalogueEntry> none;
  const auto& entries = sets_.empty() ? none : sets_.back().entries;
  std::vector<std::byte> content;
  const auto put = [&](std::size_t at, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) content[at + i] = std::byte(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  const auto begin = [&](std::string_view tag, std::size_t length) {
    const std::size_t e = content.size();
    content.resize(e + length);
    put(e, length, 2);
    for (std::size_t i = 0; i < 4; ++i) content[e + 2 + i] = std::byte(tag[i]);
    put(e + 6, 1, 2);  // the medium the block is on
    content[e + 34] = std::byte{2};  // UTF-16
    return e;
  };
  std::int32_t folderEntry = -1;
  for (std::size_t index = 0; index < entries.size(); ++index) {
    const CatalogueEntry& entry = entries[index];
    const std::size_t nameAt = entry.tag == "VOLB" ? 60 : 64;
    const std::size_t e = begin(entry.tag, RoundUp(nameAt + 2 * entry.name.size(), 4));
    put(e + 12, (entry.block - sets_.back().block) / LogicalBlockSize(), 8);
    put(e + 20, entry.size, 8);
    content[e + 32] = std::byte{kWindowsNt};
    content[e + 33] = std::byte{2};
    const std::size_t sizeField = entry.tag == "VOLB" ? 44 : 60;  // the volume's name
    if (entry.tag != "VOLB") {
      if (entry.tag == "DIRB") folderEntry = static_cast<std::int32_t>(index);
      if (entry.tag == "FILE") put(e + 28, static_cast<std::uint32_t>(folderEntry), 4);
      for (const auto& [offset, date] : {std::pair{36, entry.modified}, {41, entry.created}, {51, entry.accessed}}) {
        const auto packed = PackDate(date);
        std::copy(packed.begin(), packed.end(), content.begin() + static_cast<std::ptrdiff_t>(e + offset));
      }
      put(e + 56, entry.attributes, 4);
    }
    put(e + sizeField, 2 * entry.name.size(), 2);
    put(e + sizeField + 2, nameAt, 2);
    for (std::size_t i = 0; i < entry.name.size(); ++i) put(e + nameAt + 2 * i, entry.name[i], 2);
  }
  const std::size_t data = RoundUp(bytes_.size(), 4) + kStreamHeaderSize;
  begin("FEND", kEntryHeaderSize + (kBlock - (data + content.size() + kEntryHeaderSize) % kBlock) % kBlock);
  std::string text(content.size(), '\0');
  std::transform(content.begin(), content.end(), text.begin(), [](std::byte b) { return static_cast<char>(b); });
  lastSetCatalogue_ = AppendStream("TFDD", text);
}

// The map of every set so far, each with its number, file count and place.
void MtfWriter::SetMapStream() {
  std::string map = LittleEndian(0x4B1D2007, 4) + LittleEndian(sets_.size(), 2) + std::string(2, '\0');
  for (const SetRecord& set : sets_) {
    const std::string name = Utf16Le(set.name);
    const std::size_t files = static_cast<std::size_t>(std::count_if(
        set.entries.begin(), set.entries.end(), [](const CatalogueEntry& entry) { return entry.tag == "FILE"; }));
    std::string entry = LittleEndian(RoundUp(20 + name.size(), 4), 2) + LittleEndian(set.number, 2) +
                        LittleEndian(files, 4) + LittleEndian(set.block / LogicalBlockSize(), 8) +
                        LittleEndian(name.size(), 2) + LittleEndian(20, 2) + name;
    entry.resize(RoundUp(entry.size(), 4), '\0');
    map += entry;
  }
  AppendStream("TSMP", map);
}

// The other writer keeps its catalogue as XML text after the last
// set rather than in MTF blocks.
MtfWriter& MtfWriter::XmlCatalogue() {
  std::u16string xml = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Catalog>\r\n";
  for (const SetRecord& set : sets_) {
    xml += u"  <Set number=\"" + Number(set.number) + u"\" name=\"" + XmlText(set.name) +
           u"\">\r\n";
    for (const CatalogueEntry& entry : set.entries) {
      if (entry.tag == "VOLB") continue;
      xml += entry.tag == "FILE" ? u"    <File name=\"" : u"    <Folder path=\"";
      xml += XmlText(entry.name) + u"\" size=\"" + Number(entry.size) + u"\" position=\"" +
             Number(entry.block) + u"\"/>\r\n";
    }
    xml += u"  </Set>\r\n";
  }
  xml += u"</Catalog>\r\n";
  AlignTo(LogicalBlockSize());
  Raw(Utf16Le(xml));
  AlignTo(LogicalBlockSize());
  return *this;
}

void MtfWriter::Record(CatalogueEntry entry) {
  if (!sets_.empty()) sets_.back().entries.push_back(std::move(entry));
}

}  // namespace tallowin::test
