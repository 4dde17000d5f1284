#include "engine/set_catalogue.h"

#include <algorithm>

#include "engine/mtf_stream.h"

namespace tallowin {
namespace {

// Room for the longest entry and many more, read at a time.
constexpr std::size_t kBufferSize = std::size_t{1} << 18;
constexpr std::uint32_t kVolb = mtf::IdValue("VOLB");
constexpr std::uint32_t kDirb = mtf::IdValue("DIRB");
constexpr std::uint32_t kFile = mtf::IdValue("FILE");

std::optional<SetCatalogueSpan> SpanOf(std::uint64_t header, std::uint64_t length, std::uint64_t fileSize) {
  const std::uint64_t begin = header + mtf::kStreamHeaderSize;
  return SetCatalogueSpan{begin, begin + std::min(length, fileSize - begin)};
}

bool IsCatalogueHeader(const std::optional<StreamHeader>& header) {
  return header && header->valid && header->id == mtf::kTfdd;
}

}  // namespace

std::optional<SetCatalogueSpan> FindSetCatalogue(const BlockSite& site, BkfReader& file, std::uint64_t fileSize,
                                                 std::uint64_t logicalBlock) {
  const std::uint64_t eset = site.Position();
  const std::uint64_t first = eset + ReadU16(site.Block(), mtf::kFirstEventOffset);
  if (const auto header = ReadStreamHeaderAt(file, first, fileSize); IsCatalogueHeader(header)) {
    return SpanOf(first, header->length, fileSize);
  }
  for (std::uint64_t at = eset + logicalBlock;
       at + mtf::kStreamHeaderSize <= eset + mtf::kSetCatalogueBound && at < fileSize; at += logicalBlock) {
    if (const auto header = ReadStreamHeaderAt(file, at, fileSize); IsCatalogueHeader(header)) {
      return SpanOf(at, header->length, fileSize);
    }
  }
  return std::nullopt;
}

SetCatalogueReader::SetCatalogueReader(BkfReader& file, SetCatalogueSpan span)
    : file_(file), position_(span.begin), end_(span.end) {}

bool SetCatalogueReader::Have(std::size_t count) {
  if (position_ > end_ || end_ - position_ < count) return false;
  if (position_ >= bufferStart_ && position_ + count <= bufferStart_ + bufferFilled_) return true;
  if (buffer_.empty()) buffer_.resize(kBufferSize);
  const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size(), end_ - position_));
  bufferStart_ = position_;
  bufferFilled_ = std::min(want, file_.ReadAt(position_, std::span(buffer_).first(want)));
  return bufferFilled_ >= count;
}

bool SetCatalogueReader::Next(SetCatalogueEntry& entry) {
  if (!Have(mtf::kEntryType + 4)) return false;
  const Bytes bytes = std::span(buffer_).subspan(static_cast<std::size_t>(position_ - bufferStart_));
  const std::size_t length = ReadU16(bytes, mtf::kEntryLength);
  const std::uint32_t type = ReadU32(bytes, mtf::kEntryType);
  if (type == kVolb) {
    entry.kind = SetCatalogueEntry::Kind::kVolume;
  } else if (type == kDirb) {
    entry.kind = SetCatalogueEntry::Kind::kFolder;
  } else if (type == kFile) {
    entry.kind = SetCatalogueEntry::Kind::kFile;
  } else {
    return false;  // "FEND" or anything this program does not know
  }
  if (length < mtf::kEntryHeaderSize || !Have(length)) return false;
  entry.bytes = std::span(buffer_).subspan(static_cast<std::size_t>(position_ - bufferStart_), length);
  position_ += length;
  entry.logicalAddress = ReadU64(entry.bytes, mtf::kEntryLogicalAddress);
  entry.size = ReadU64(entry.bytes, mtf::kEntrySize);
  return true;
}

std::u16string SetCatalogueEntry::Name() const {
  if (kind == Kind::kVolume) return {};
  return ReadMtfString(bytes, ReadU16(bytes, mtf::kEntryNameSize), ReadU16(bytes, mtf::kEntryNameOffset));
}

FileTime SetCatalogueEntry::Modified() const { return DecodeMtfDate(bytes, mtf::kEntryModifiedDate); }
FileTime SetCatalogueEntry::Created() const { return DecodeMtfDate(bytes, mtf::kEntryCreatedDate); }
FileTime SetCatalogueEntry::Accessed() const { return DecodeMtfDate(bytes, mtf::kEntryAccessedDate); }

}  // namespace tallowin
