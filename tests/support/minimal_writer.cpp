#include "tests/support/minimal_writer.h"

#include <algorithm>
#include <stdexcept>

#include "engine/mtf_stream.h"

namespace tallowin::test {
namespace {

// Every field the minimal writer fills, by its offset from the block start
// (or for the stream, from its header): the engine's own names for the
// fields it reads.
namespace field {
// Common block header.
constexpr std::size_t kId = 0;
constexpr std::size_t kAttributes = 4;
constexpr std::size_t kStringType = 48;
constexpr std::size_t kHeaderEnd = mtf::kCommonHeaderSize;
// Data set block: the name's size and offset, and where the name is put.
constexpr std::size_t kSetNameSize = mtf::kSetNameSize;
constexpr std::size_t kSetNameOffset = mtf::kSetNameOffset;
constexpr std::size_t kSetName = 128;
// Directory block.
constexpr std::size_t kDirectoryNameSize = mtf::kDirectoryNameSize;
constexpr std::size_t kDirectoryNameOffset = mtf::kDirectoryNameOffset;
constexpr std::size_t kDirectoryName = 96;
// File block.
constexpr std::size_t kModifiedDate = mtf::kModifiedDate;
constexpr std::size_t kCreatedDate = mtf::kCreatedDate;
constexpr std::size_t kBackupDate = 66;
constexpr std::size_t kAccessedDate = mtf::kAccessedDate;
constexpr std::size_t kFileNameSize = mtf::kFileNameSize;
constexpr std::size_t kFileNameOffset = mtf::kFileNameOffset;
constexpr std::size_t kFileName = 96;
// Stream header.
constexpr std::size_t kStreamId = 0;
constexpr std::size_t kStreamLength = mtf::kStreamLength;
constexpr std::size_t kStreamHeaderSize = mtf::kStreamHeaderSize;
}  // namespace field

constexpr std::uint8_t kUtf16 = 2;
// A tape block takes two grid blocks, its first event after them.
constexpr std::size_t kTapeBlockSize = 2 * kBlockSize;
constexpr PackedDate kBackupDate{2009, 1, 1, 0, 0, 0};

}  // namespace

std::unique_ptr<StyleWriter> MinimalWriter::Clone() const { return std::make_unique<MinimalWriter>(*this); }

std::size_t MinimalWriter::BeginBlock(MtfOutput& out, std::string_view id, std::uint16_t attributes,
                                      std::size_t size) {
  out.AlignTo(kBlockSize);
  const std::size_t at = out.Append(RoundUp(std::max(size, field::kHeaderEnd), kBlockSize));
  out.PutId(at + field::kId, id);
  out.PutU16(at + field::kAttributes, attributes);
  out.PutU8(at + field::kStringType, kUtf16);
  return at;
}

void MinimalWriter::Tape(MtfOutput& out) {
  const std::size_t at = BeginBlock(out, "TAPE", 0, kTapeBlockSize);
  out.FinishHeader(at, kTapeBlockSize);
}

void MinimalWriter::DataSet(MtfOutput& out, std::u16string_view name) {
  const std::size_t at = BeginBlock(out, "SSET", 0, field::kSetName + 2 * name.size());
  out.PutU16(at + field::kSetNameSize, static_cast<std::uint16_t>(2 * name.size()));
  out.PutU16(at + field::kSetNameOffset, field::kSetName);
  out.PutText(at + field::kSetName, name);
  out.FinishHeader(at, static_cast<std::uint16_t>(RoundUp(field::kSetName + 2 * name.size(), 4)));
}

void MinimalWriter::Directory(MtfOutput& out, std::u16string_view path) { DirectoryRaw(out, StoredPath(path)); }

void MinimalWriter::DirectoryRaw(MtfOutput& out, std::u16string_view storedName) {
  const std::size_t at = BeginBlock(out, "DIRB", 0, field::kDirectoryName + 2 * storedName.size());
  out.PutU16(at + field::kDirectoryNameSize, static_cast<std::uint16_t>(2 * storedName.size()));
  out.PutU16(at + field::kDirectoryNameOffset, field::kDirectoryName);
  out.PutText(at + field::kDirectoryName, storedName);
  out.FinishHeader(at, static_cast<std::uint16_t>(RoundUp(field::kDirectoryName + 2 * storedName.size(), 4)));
}

void MinimalWriter::DirectoryWithPathStream(MtfOutput&, std::u16string_view) {
  throw std::logic_error("only the Windows utility writes PNAM streams");
}

WrittenFile MinimalWriter::File(MtfOutput& out, const FileEntry& file) {
  const std::size_t nameBytes = 2 * file.name.size();
  const std::size_t stream = file.streamOffset.value_or(RoundUp(field::kFileName + nameBytes, 4));
  const auto overlaps = [&](std::size_t begin, std::size_t end) {
    return stream < end && begin < stream + field::kStreamHeaderSize;
  };
  if (overlaps(field::kId, field::kAttributes + 2) || overlaps(field::kModifiedDate, field::kFileNameOffset + 2) ||
      overlaps(field::kFileName, field::kFileName + nameBytes)) {
    throw std::invalid_argument("stream header would overlap the FILE block fields");
  }
  const std::size_t at = BeginBlock(out, "FILE", file.attributes, stream + field::kStreamHeaderSize + file.data.size());
  out.PutDate(at + field::kModifiedDate, file.modified);
  out.PutDate(at + field::kCreatedDate, file.created);
  out.PutDate(at + field::kBackupDate, kBackupDate);
  out.PutDate(at + field::kAccessedDate, file.accessed);
  out.PutU16(at + field::kFileNameSize, static_cast<std::uint16_t>(nameBytes));
  out.PutU16(at + field::kFileNameOffset, field::kFileName);
  out.PutText(at + field::kFileName, file.name);
  out.FinishHeader(at, static_cast<std::uint16_t>(stream));
  const std::size_t header = at + stream;
  out.PutId(header + field::kStreamId, "STAN");
  out.PutU64(header + field::kStreamLength, file.declaredLength.value_or(file.data.size()));
  const std::size_t data = header + field::kStreamHeaderSize;
  for (std::size_t i = 0; i < file.data.size(); ++i) {
    out.PutU8(data + i, static_cast<std::uint8_t>(file.data[i]));
  }
  return {.block = at, .stanHeader = header, .data = data};
}

WrittenFile MinimalWriter::FileWithStreams(MtfOutput&, const RealFile&) {
  throw std::logic_error("a RealFile needs a styled writer");
}

void MinimalWriter::EndOfSet(MtfOutput& out, CatalogueLayout) { Block(out, "ESET", 0); }

void MinimalWriter::XmlCatalogue(MtfOutput&) {
  throw std::logic_error("only the other writer keeps an XML catalogue");
}

void MinimalWriter::Block(MtfOutput& out, std::string_view id, std::uint16_t attributes) {
  out.FinishHeader(BeginBlock(out, id, attributes, kBlockSize), kBlockSize);
}

std::size_t MinimalWriter::LogicalBlockSize() const { return kBlockSize; }

}  // namespace tallowin::test
