#include "tests/support/styled_writer.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "engine/mtf_stream.h"
#include "tests/support/written_fields.h"

namespace tallowin::test {
namespace {

constexpr std::uint8_t kUtf16 = 2;
constexpr std::size_t kWindowsLogicalBlock = 1024;
constexpr std::size_t kOtherLogicalBlock = kBlockSize;
constexpr std::size_t kOtherSoftFilemark = 64 * 1024;
constexpr std::uint8_t kWindowsNt = 14;
constexpr std::uint8_t kWindowsOsVersion = 2;
constexpr std::uint8_t kOtherOsVersion = 4;
constexpr std::uint32_t kMediaFamily = 0x4B1D2007;
constexpr std::uint32_t kFileAttributes = 0x800;
constexpr std::uint32_t kDirectoryOsAttributes = 0x10;
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

StyledWriter::StyledWriter(WriterStyle style, std::size_t logicalBlock) : style_(style), logicalBlock_(logicalBlock) {
  if (style == WriterStyle::kMinimal || logicalBlock % kBlockSize != 0) {
    throw std::invalid_argument("a styled writer with a multiple of 512 as its block");
  }
}

std::unique_ptr<StyleWriter> StyledWriter::Clone() const { return std::make_unique<StyledWriter>(*this); }

std::size_t StyledWriter::LogicalBlockSize() const {
  if (logicalBlock_ != 0) return logicalBlock_;
  return Windows() ? kWindowsLogicalBlock : kOtherLogicalBlock;
}

// Blocks of a set count their format logical blocks from its SSET block.
std::uint64_t StyledWriter::LogicalAddress(const MtfOutput& out, std::size_t at) const {
  const std::size_t from = sets_.empty() ? 0 : sets_.back().block;
  return (out.Taken() + at - from) / LogicalBlockSize();
}

// The common header of a styled block on the next logical block boundary,
// with `fixedSize` bytes for the block's own fields.
std::size_t StyledWriter::BeginDescriptor(MtfOutput& out, std::string_view id, std::size_t fixedSize) {
  out.AlignTo(LogicalBlockSize());
  const std::size_t at = out.Append(fixedSize);
  out.PutId(at + field::kId, id);
  out.PutU8(at + field::kOsId, kWindowsNt);
  out.PutU8(at + field::kOsVersion, Windows() ? kWindowsOsVersion : kOtherOsVersion);
  out.PutU64(at + mtf::kFormatLogicalAddress, LogicalAddress(out, at));
  out.PutU32(at + field::kControlBlockId, controlBlockId_++);
  out.PutU8(at + field::kStringType, kUtf16);
  return at;
}

// The text after what the block holds so far, and its size and offset in
// the field at `field`; an empty text leaves the field zero.
void StyledWriter::AppendTextField(MtfOutput& out, std::size_t block, std::size_t field, std::u16string_view text) {
  if (text.empty()) return;
  const std::size_t at = out.Append(2 * text.size());
  out.PutText(at, text);
  if (at - block + 2 * text.size() > 0xFFFF) throw std::length_error("text beyond a block's reach");
  out.PutU16(block + field, static_cast<std::uint16_t>(2 * text.size()));
  out.PutU16(block + field + 2, static_cast<std::uint16_t>(at - block));
}

// Room for the OS data, which only the Windows utility writes;
// 0 when there is none.
std::size_t StyledWriter::AppendOsData(MtfOutput& out, std::size_t block, std::size_t size) {
  if (!Windows()) return 0;
  const std::size_t at = out.Append(size);
  out.PutU16(block + field::kOsDataSize, static_cast<std::uint16_t>(size));
  out.PutU16(block + field::kOsDataOffset, static_cast<std::uint16_t>(at - block));
  return at;
}

// Ends the block's own fields: the offset to the first event is where its
// streams start (or would start), on the 4-byte grid. The other writer
// leaves the checksum zero.
void StyledWriter::SealHeader(MtfOutput& out, std::size_t block) {
  out.AlignTo(mtf::kStreamAlignment);
  const std::size_t firstEvent = out.Size() - block;
  if (firstEvent > 0xFFFF) throw std::length_error("block fields longer than 64 KiB");
  if (Windows()) {
    out.FinishHeader(block, static_cast<std::uint16_t>(firstEvent));
  } else {
    out.PutU16(block + mtf::kFirstEventOffset, static_cast<std::uint16_t>(firstEvent));
  }
}

std::size_t StyledWriter::AppendStream(MtfOutput& out, std::string_view id, std::string_view content,
                                       std::uint16_t fsAttributes, std::uint16_t mediaAttributes) {
  out.AlignTo(mtf::kStreamAlignment);
  return AppendStreamHere(out, id, content, fsAttributes, mediaAttributes);
}

std::size_t StyledWriter::AppendStreamHere(MtfOutput& out, std::string_view id, std::string_view content,
                                           std::uint16_t fsAttributes, std::uint16_t mediaAttributes) {
  const std::size_t at = out.Append(mtf::kStreamHeaderSize);
  out.PutId(at + field::kStreamId, id);
  out.PutU16(at + mtf::kStreamFileSystemAttributes, fsAttributes);
  out.PutU16(at + mtf::kStreamMediaAttributes, mediaAttributes);
  out.PutU64(at + mtf::kStreamLength, content.size());
  if (Windows()) out.SealStreamHeader(at);
  out.Raw(content);
  return at;
}

std::size_t StyledWriter::AppendChecksum(MtfOutput& out, std::string_view content, bool wrong) {
  const std::uint32_t value = MtfOutput::DataChecksum(content);
  return AppendStream(out, "CSUM", LittleEndian(wrong ? ~value : value, mtf::kChecksumSize));
}

// The Windows utility pads every block's streams with SPAD up to the next
// logical block; the other writer leaves zeros.
void StyledWriter::EndDescriptor(MtfOutput& out) {
  if (!Windows()) {
    out.AlignTo(LogicalBlockSize());
    return;
  }
  out.AlignTo(mtf::kStreamAlignment);
  const std::size_t padStart = out.Size() + mtf::kStreamHeaderSize;
  const std::size_t padEnd = RoundUp(padStart, LogicalBlockSize());
  AppendStreamHere(out, "SPAD", std::string(padEnd - padStart, '\0'), 0, 0);
}

// In the styles the tape block is followed by the first soft filemark.
void StyledWriter::Tape(MtfOutput& out) {
  const std::size_t at = BeginDescriptor(out, "TAPE", field::kTapeEnd);
  // The Windows utility writes a set map and file details after each set.
  if (Windows()) out.PutU32(at + field::kAttributes, 0x30000);
  out.PutU32(at + field::kMediaFamilyId, kMediaFamily);
  out.PutU32(at + field::kTapeAttributes, 1);  // soft filemarks in use
  out.PutU16(at + field::kMediaSequence, 1);   // first medium of the family
  const std::size_t softFilemark = Windows() ? LogicalBlockSize() : kOtherSoftFilemark;
  out.PutU16(at + field::kSoftFilemarkBlocks, static_cast<std::uint16_t>(softFilemark / kBlockSize));
  out.PutU16(at + field::kCatalogueType, Windows() ? 2 : 0);
  AppendTextField(out, at, field::kMediaName, u"Media created 12/05/2007 at 14:30");
  AppendTextField(out, at, field::kSoftwareName, Windows() ? u"Windows Backup Utility" : u"Server Backup");
  out.PutU16(at + mtf::kTapeLogicalBlockSize, static_cast<std::uint16_t>(LogicalBlockSize()));
  out.PutDate(at + field::kMediaDate, PackedDate{});
  out.PutU8(at + field::kFormatVersion, 1);
  SealHeader(out, at);
  EndDescriptor(out);
  SoftFilemark(out);
}

// The data set block and then a volume block.
void StyledWriter::DataSet(MtfOutput& out, std::u16string_view name) {
  controlBlockId_ = 0;  // counted within each set
  directoryCount_ = fileCount_ = directoryId_ = 0;
  const auto number = static_cast<std::uint16_t>(sets_.size() + 1);
  const std::size_t at = BeginDescriptor(out, "SSET", field::kSetEnd);
  sets_.push_back({std::u16string(name), number, out.Taken() + at, {}});
  out.PutU64(at + mtf::kFormatLogicalAddress, 0);
  if (Windows()) out.PutU32(at + field::kAttributes, 0x10000);  // the set has file details
  out.PutU16(at + field::kSetNumber, number);
  AppendTextField(out, at, mtf::kSetNameSize, name);
  AppendTextField(out, at, field::kUserName, u"user");
  out.PutU64(at + field::kSetPhysicalAddress, (out.Taken() + at) / LogicalBlockSize());
  out.PutDate(at + mtf::kSetWriteDate, PackedDate{});
  out.PutU8(at + field::kSoftwareVersion, 1);
  out.PutU8(at + field::kCatalogueVersion, Windows() ? 1 : 0);
  SealHeader(out, at);
  EndDescriptor(out);
  Volume(out);
}

void StyledWriter::Volume(MtfOutput& out) {
  const std::size_t at = BeginDescriptor(out, "VOLB", field::kVolumeEnd);
  AppendTextField(out, at, field::kDeviceName, u"C:");
  AppendTextField(out, at, field::kVolumeName, u"C:");
  AppendTextField(out, at, field::kMachineName, u"BACKUP-PC");
  out.PutDate(at + field::kVolumeWriteDate, PackedDate{});
  SealHeader(out, at);
  EndDescriptor(out);
  Record({.tag = "VOLB", .name = u"C:", .block = out.Taken() + at});
}

void StyledWriter::Directory(MtfOutput& out, std::u16string_view path) {
  StyledDirectory(out, StoredPath(path), Windows() && path.size() > kLongPath);
}

void StyledWriter::DirectoryRaw(MtfOutput& out, std::u16string_view storedName) {
  StyledDirectory(out, storedName, false);
}

void StyledWriter::DirectoryWithPathStream(MtfOutput& out, std::u16string_view path) {
  if (!Windows()) throw std::logic_error("only the Windows utility writes PNAM streams");
  StyledDirectory(out, StoredPath(path), true);
}

void StyledWriter::StyledDirectory(MtfOutput& out, std::u16string_view storedName, bool pathInStream) {
  directoryId_ = ++directoryCount_;
  const std::size_t at = BeginDescriptor(out, "DIRB", field::kDirectoryEnd);
  const std::uint32_t attributes = pathInStream ? mtf::kNameInStream : 0;
  out.PutU32(at + mtf::kBlockAttributes, attributes);
  out.PutDate(at + mtf::kModifiedDate, PackedDate{});
  out.PutDate(at + mtf::kCreatedDate, PackedDate{2006, 1, 2, 3, 4, 5});
  out.PutDate(at + mtf::kAccessedDate, PackedDate{});
  out.PutU32(at + mtf::kDirectoryId, directoryId_);
  if (!pathInStream) AppendTextField(out, at, mtf::kDirectoryNameSize, storedName);
  if (const std::size_t os = AppendOsData(out, at, field::kDirectoryOsDataSize)) {
    out.PutU32(os + field::kOsAttributes, kDirectoryOsAttributes);
  }
  SealHeader(out, at);
  if (pathInStream) AppendStream(out, "PNAM", Utf16Le(storedName));
  // The other writer's folder blocks carry no streams at all.
  if (Windows()) AppendStream(out, "NACL", SecurityDescriptor(150));
  EndDescriptor(out);
  Record({.tag = "DIRB",
          .name = std::u16string(storedName),
          .block = out.Taken() + at,
          .attributes = attributes,
          .modified = PackedDate{},
          .created = PackedDate{2006, 1, 2, 3, 4, 5},
          .accessed = PackedDate{}});
}

// The name, data and dates become a RealFile; the layout fields
// (streamOffset, declaredLength, attributes) are the minimal style's.
WrittenFile StyledWriter::File(MtfOutput& out, const FileEntry& file) {
  if (file.streamOffset || file.declaredLength || file.attributes != 0) {
    throw std::invalid_argument("a styled writer lays out its own FILE blocks");
  }
  return FileWithStreams(out, RealFile{.name = file.name, .data = file.data, .modified = file.modified,
                                       .created = file.created, .accessed = file.accessed});
}

WrittenFile StyledWriter::FileWithStreams(MtfOutput& out, const RealFile& file) {
  if (!file.sparse.empty() && !file.data.empty()) {
    throw std::invalid_argument("a sparse file's data is in its pieces");
  }
  const std::uint64_t size = FileSize(file);
  const std::size_t at = BeginDescriptor(out, "FILE", field::kFileEnd);
  out.PutU64(at + mtf::kDisplayableSize, size);
  const std::uint32_t attributes = kFileAttributes | (file.nameInStream ? mtf::kNameInStream : 0);
  out.PutU32(at + mtf::kBlockAttributes, attributes);
  out.PutDate(at + mtf::kModifiedDate, file.modified);
  out.PutDate(at + mtf::kCreatedDate, file.created);
  out.PutDate(at + mtf::kAccessedDate, file.accessed);  // the backup date before it stays zero
  out.PutU32(at + mtf::kDirectoryId, directoryId_);
  out.PutU32(at + mtf::kFileId, ++fileCount_);
  if (!file.nameInStream) AppendTextField(out, at, mtf::kFileNameSize, file.name);
  if (const std::size_t os = AppendOsData(out, at, field::kFileOsDataSize)) {
    out.PutU32(os + field::kOsAttributes, file.windowsAttributes);
    if (!file.shortName.empty()) {
      const std::size_t shortName = out.Append(2 * file.shortName.size());
      out.PutText(shortName, file.shortName);
      out.PutU16(os + field::kOsShortNameSize, static_cast<std::uint16_t>(2 * file.shortName.size()));
      out.PutU16(os + field::kOsShortNameOffset, static_cast<std::uint16_t>(shortName - at));
    }
  }
  SealHeader(out, at);
  WrittenFile written{.block = at};
  FileStreams(out, file, written);
  EndDescriptor(out);
  Record({.tag = "FILE",
          .name = file.name,
          .size = size,
          .block = out.Taken() + at,
          .attributes = attributes,
          .modified = file.modified,
          .created = file.created,
          .accessed = file.accessed});
  return written;
}

// A file of no bytes has no data stream at all, only its security.
void StyledWriter::FileStreams(MtfOutput& out, const RealFile& file, WrittenFile& written) {
  if (file.nameInStream) AppendStream(out, "FNAM", Utf16Le(file.name));
  AppendStream(out, "NACL", SecurityDescriptor(file.securityDescriptorSize));
  if (!file.data.empty() || !file.sparse.empty()) DataStream(out, file, written);
  if (file.alternate) {
    // The checksum covers the whole stream: name size, name and data.
    const std::string name = Utf16Le(file.alternate->name);
    const std::string content = LittleEndian(name.size(), 4) + name + file.alternate->data;
    written.adatHeader =
        AppendStream(out, "ADAT", content, 0, file.checksummed ? mtf::kChecksummedStream : 0);
    if (file.checksummed) AppendChecksum(out, content);
  }
  if (file.objectId) AppendStream(out, "NTOI", ObjectIdInfo());
}

// STAN (or NTED), its CSUM, and for a sparse file an empty STAN followed by
// one SPAR per piece. The other writer puts its private padding first and
// the data header right after it, off the 4-byte grid.
void StyledWriter::DataStream(MtfOutput& out, const RealFile& file, WrittenFile& written) {
  const bool sparse = !file.sparse.empty();
  const bool checksummed = file.checksummed && !sparse;
  const std::string_view id = file.encrypted ? "NTED" : "STAN";
  const auto fs = sparse ? mtf::kSparseStream : std::uint16_t{0};
  const auto media =
      static_cast<std::uint16_t>(file.dataMediaAttributes | (checksummed ? mtf::kChecksummedStream : 0));
  std::size_t header = 0;
  if (Windows()) {
    header = AppendStream(out, id, file.data, fs, media);
  } else {
    AppendStream(out, kPrivatePadId, std::string(kPrivatePadLength, '\0'));
    header = AppendStreamHere(out, id, file.data, fs, media);
  }
  written.stanHeader = header;
  written.data = header + mtf::kStreamHeaderSize;
  if (checksummed) written.csumHeader = AppendChecksum(out, file.data, file.wrongChecksum);
  for (const SparsePiece& piece : file.sparse) {
    const std::string content = LittleEndian(piece.offset, 8) + piece.data;
    written.sparHeaders.push_back(AppendStream(out, "SPAR", content));
  }
}

// A soft filemark: the block lists the earlier filemarks, most recent first,
// and the other writer pads it out to 64 KiB.
void StyledWriter::SoftFilemark(MtfOutput& out) {
  const std::size_t blockSize = LogicalBlockSize();
  const std::size_t at = BeginDescriptor(out, "SFMB", blockSize);
  const std::size_t capacity = (blockSize - field::kFilemarkList) / 4;
  const std::size_t used = std::min(capacity, softFilemarks_.size());
  out.PutU32(at + field::kFilemarkCapacity, static_cast<std::uint32_t>(capacity));
  out.PutU32(at + field::kFilemarksUsed, static_cast<std::uint32_t>(used));
  for (std::size_t i = 0; i < used; ++i) {
    out.PutU32(at + field::kFilemarkList + 4 * i,
               static_cast<std::uint32_t>(softFilemarks_[softFilemarks_.size() - 1 - i] / blockSize));
  }
  softFilemarks_.push_back(out.Taken() + at);
  if (Windows()) {
    out.FinishHeader(at, static_cast<std::uint16_t>(blockSize));
  } else {
    out.PutU16(at + mtf::kFirstEventOffset, static_cast<std::uint16_t>(blockSize));
  }
  out.PadTo(at + (Windows() ? blockSize : kOtherSoftFilemark));
}

// In the Windows utility's style: soft filemark, ESET with the set's
// catalogue and the map of the sets, soft filemark (or the catalogue after
// it); in the other writer's: soft filemark, ESET, soft filemark.
void StyledWriter::EndOfSet(MtfOutput& out, CatalogueLayout layout) {
  SoftFilemark(out);
  EndOfSetBlock(out, layout);
  SoftFilemark(out);
  if (Windows() && layout == CatalogueLayout::kAfterFilemark) {
    out.AlignTo(LogicalBlockSize());
    SetCatalogueStream(out);
    SetMapStream(out);
    EndDescriptor(out);
  }
}

void StyledWriter::EndOfSetBlock(MtfOutput& out, CatalogueLayout layout) {
  const std::size_t at = BeginDescriptor(out, "ESET", field::kEndSetEnd);
  out.PutU16(at + field::kCatalogueMedium, 1);  // the medium where the file details begin
  out.PutU16(at + field::kEndSetNumber, sets_.empty() ? 0 : sets_.back().number);
  out.PutDate(at + field::kEndSetWriteDate, PackedDate{});
  SealHeader(out, at);
  if (Windows() && layout == CatalogueLayout::kInEndOfSet) {
    SetCatalogueStream(out);
    SetMapStream(out);
  }
  EndDescriptor(out);
}

// The set's file details: one entry per volume, folder and file block, in
// block order, each with the block's place in logical blocks from the SSET
// block, its size, dates, attributes and name; a file's entry links to its
// folder's. The last entry, FEND, reaches to the next 512-byte boundary.
void StyledWriter::SetCatalogueStream(MtfOutput& out) {
  const std::vector<CatalogueEntry> none;
  const auto& entries = sets_.empty() ? none : sets_.back().entries;
  std::vector<std::byte> content;
  const auto put = [&](std::size_t at, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) content[at + i] = std::byte(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  const auto begin = [&](std::string_view tag, std::size_t length) {
    const std::size_t e = content.size();
    content.resize(e + length);
    put(e + field::kEntryLength, length, 2);
    for (std::size_t i = 0; i < 4; ++i) content[e + field::kEntryTag + i] = std::byte(tag[i]);
    put(e + field::kEntryMedium, 1, 2);  // the medium the block is on
    content[e + field::kEntryStringType] = std::byte{kUtf16};
    return e;
  };
  std::int32_t folderEntry = -1;
  for (std::size_t index = 0; index < entries.size(); ++index) {
    const CatalogueEntry& entry = entries[index];
    const bool volume = entry.tag == "VOLB";
    const std::size_t nameAt = volume ? field::kEntryVolumeNameText : field::kEntryNameText;
    const std::size_t e = begin(entry.tag, RoundUp(nameAt + 2 * entry.name.size(), 4));
    put(e + field::kEntryAddress, (entry.block - sets_.back().block) / LogicalBlockSize(), 8);
    put(e + field::kEntrySize, entry.size, 8);
    content[e + field::kEntryOsId] = std::byte{kWindowsNt};
    content[e + field::kEntryOsVersion] = std::byte{kWindowsOsVersion};
    if (!volume) {
      if (entry.tag == "DIRB") folderEntry = static_cast<std::int32_t>(index);
      if (entry.tag == "FILE") put(e + field::kEntryFolder, static_cast<std::uint32_t>(folderEntry), 4);
      for (const auto& [offset, date] : {std::pair{field::kEntryModifiedDate, entry.modified},
                                         {field::kEntryCreatedDate, entry.created},
                                         {field::kEntryAccessedDate, entry.accessed}}) {
        const auto packed = PackDate(date);
        std::copy(packed.begin(), packed.end(), content.begin() + static_cast<std::ptrdiff_t>(e + offset));
      }
      put(e + field::kEntryAttributes, entry.attributes, 4);
    }
    const std::size_t sizeField = volume ? field::kEntryVolumeName : field::kEntryName;
    put(e + sizeField, 2 * entry.name.size(), 2);
    put(e + sizeField + 2, nameAt, 2);
    for (std::size_t i = 0; i < entry.name.size(); ++i) put(e + nameAt + 2 * i, entry.name[i], 2);
  }
  const std::size_t data = RoundUp(out.Size(), mtf::kStreamAlignment) + mtf::kStreamHeaderSize;
  begin("FEND", field::kEntryHeaderEnd +
                    (kBlockSize - (data + content.size() + field::kEntryHeaderEnd) % kBlockSize) % kBlockSize);
  std::string text(content.size(), '\0');
  std::transform(content.begin(), content.end(), text.begin(), [](std::byte b) { return static_cast<char>(b); });
  lastSetCatalogue_ = AppendStream(out, "TFDD", text);
}

// The map of every set so far, each with its number, file count and place.
void StyledWriter::SetMapStream(MtfOutput& out) {
  std::string map = LittleEndian(kMediaFamily, 4) + LittleEndian(sets_.size(), 2) + std::string(2, '\0');
  for (const SetRecord& set : sets_) {
    const std::string name = Utf16Le(set.name);
    const std::size_t files = static_cast<std::size_t>(std::count_if(
        set.entries.begin(), set.entries.end(), [](const CatalogueEntry& entry) { return entry.tag == "FILE"; }));
    std::string entry = LittleEndian(RoundUp(field::kSetMapEntryName + name.size(), 4), 2) +
                        LittleEndian(set.number, 2) + LittleEndian(files, 4) +
                        LittleEndian(set.block / LogicalBlockSize(), 8) + LittleEndian(name.size(), 2) +
                        LittleEndian(field::kSetMapEntryName, 2) + name;
    entry.resize(RoundUp(entry.size(), 4), '\0');
    map += entry;
  }
  AppendStream(out, "TSMP", map);
}

// The other writer keeps its catalogue as XML text after the last
// set rather than in MTF blocks.
void StyledWriter::XmlCatalogue(MtfOutput& out) {
  std::u16string xml = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Catalog>\r\n";
  for (const SetRecord& set : sets_) {
    xml += u"  <Set number=\"" + Number(set.number) + u"\" name=\"" + XmlText(set.name) + u"\">\r\n";
    for (const CatalogueEntry& entry : set.entries) {
      if (entry.tag == "VOLB") continue;
      xml += entry.tag == "FILE" ? u"    <File name=\"" : u"    <Folder path=\"";
      xml += XmlText(entry.name) + u"\" size=\"" + Number(entry.size) + u"\" position=\"" + Number(entry.block) +
             u"\"/>\r\n";
    }
    xml += u"  </Set>\r\n";
  }
  xml += u"</Catalog>\r\n";
  out.AlignTo(LogicalBlockSize());
  out.Raw(Utf16Le(xml));
  out.AlignTo(LogicalBlockSize());
}

// A block that a scan passes over.
void StyledWriter::Block(MtfOutput& out, std::string_view id, std::uint16_t attributes) {
  const std::size_t at = BeginDescriptor(out, id, mtf::kCommonHeaderSize);
  out.PutU16(at + field::kAttributes, attributes);
  SealHeader(out, at);
  EndDescriptor(out);
}

void StyledWriter::Record(CatalogueEntry entry) {
  if (!sets_.empty()) sets_.back().entries.push_back(std::move(entry));
}

}  // namespace tallowin::test
