#include "tests/support/minimal_writer.h"

#include <algorithm>
#include <stdexcept>

#include "engine/mtf_stream.h"
#include "tests/support/written_fields.h"

namespace tallowin::test {
namespace {

// Where this writer puts the names, after the fixed fields.
constexpr std::size_t kSetNameAt = 128;
constexpr std::size_t kDirectoryNameAt = 96;
constexpr std::size_t kFileNameAt = 96;

constexpr std::uint8_t kUtf16 = 2;
// A tape block takes two grid blocks, its first event after them.
constexpr std::size_t kTapeBlockSize = 2 * kBlockSize;
constexpr PackedDate kBackupDate{2009, 1, 1, 0, 0, 0};

}  // namespace

std::unique_ptr<StyleWriter> MinimalWriter::Clone() const { return std::make_unique<MinimalWriter>(*this); }

std::size_t MinimalWriter::BeginBlock(MtfOutput& out, std::string_view id, std::uint16_t attributes,
                                      std::size_t size) {
  out.AlignTo(kBlockSize);
  const std::size_t at = out.Append(RoundUp(std::max(size, mtf::kCommonHeaderSize), kBlockSize));
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
  const std::size_t at = BeginBlock(out, "SSET", 0, kSetNameAt + 2 * name.size());
  out.PutU16(at + mtf::kSetNameSize, static_cast<std::uint16_t>(2 * name.size()));
  out.PutU16(at + mtf::kSetNameOffset, kSetNameAt);
  out.PutText(at + kSetNameAt, name);
  out.FinishHeader(at, static_cast<std::uint16_t>(RoundUp(kSetNameAt + 2 * name.size(), 4)));
}

void MinimalWriter::Directory(MtfOutput& out, std::u16string_view path) { DirectoryRaw(out, StoredPath(path)); }

void MinimalWriter::DirectoryRaw(MtfOutput& out, std::u16string_view storedName) {
  const std::size_t at = BeginBlock(out, "DIRB", 0, kDirectoryNameAt + 2 * storedName.size());
  out.PutU16(at + mtf::kDirectoryNameSize, static_cast<std::uint16_t>(2 * storedName.size()));
  out.PutU16(at + mtf::kDirectoryNameOffset, kDirectoryNameAt);
  out.PutText(at + kDirectoryNameAt, storedName);
  out.FinishHeader(at, static_cast<std::uint16_t>(RoundUp(kDirectoryNameAt + 2 * storedName.size(), 4)));
}

void MinimalWriter::DirectoryWithPathStream(MtfOutput&, std::u16string_view) {
  throw std::logic_error("only the Windows utility writes PNAM streams");
}

WrittenFile MinimalWriter::File(MtfOutput& out, const FileEntry& file) {
  const std::size_t nameBytes = 2 * file.name.size();
  const std::size_t stream = file.streamOffset.value_or(RoundUp(kFileNameAt + nameBytes, 4));
  const auto overlaps = [&](std::size_t begin, std::size_t end) {
    return stream < end && begin < stream + mtf::kStreamHeaderSize;
  };
  if (overlaps(field::kId, field::kAttributes + 2) || overlaps(mtf::kModifiedDate, mtf::kFileNameOffset + 2) ||
      overlaps(kFileNameAt, kFileNameAt + nameBytes)) {
    throw std::invalid_argument("stream header would overlap the FILE block fields");
  }
  const std::size_t at = BeginBlock(out, "FILE", file.attributes, stream + mtf::kStreamHeaderSize + file.data.size());
  out.PutDate(at + mtf::kModifiedDate, file.modified);
  out.PutDate(at + mtf::kCreatedDate, file.created);
  out.PutDate(at + field::kBackupDate, kBackupDate);
  out.PutDate(at + mtf::kAccessedDate, file.accessed);
  out.PutU16(at + mtf::kFileNameSize, static_cast<std::uint16_t>(nameBytes));
  out.PutU16(at + mtf::kFileNameOffset, kFileNameAt);
  out.PutText(at + kFileNameAt, file.name);
  out.FinishHeader(at, static_cast<std::uint16_t>(stream));
  const std::size_t header = at + stream;
  out.PutId(header + field::kStreamId, "STAN");
  out.PutU64(header + mtf::kStreamLength, file.declaredLength.value_or(file.data.size()));
  const std::size_t data = header + mtf::kStreamHeaderSize;
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
