#include "engine/catalogue_builder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "catalog/number_text.h"
#include "engine/bkf_file.h"
#include "engine/mtf_stream.h"

namespace tallowin {
namespace {

constexpr std::u16string_view kUnusableCharacters = u"/|*:?<>";
// The same characters as a table: every name of a scan is checked against it.
constexpr std::array<bool, 128> kUnusable = [] {
  std::array<bool, 128> table{};
  for (const char16_t c : kUnusableCharacters) table[c] = true;
  return table;
}();
// A directory's folder chain goes into the tree only up to this length.
constexpr std::size_t kMaxTreePath = 260;

}  // namespace

bool IsUnusableName(std::u16string_view name) {
  return std::any_of(name.begin(), name.end(), [](char16_t c) { return c < kUnusable.size() && kUnusable[c]; });
}

CatalogueBuilder::CatalogueBuilder(Catalogue& catalogue, const ActivityLog& log,
                                   ScanObserver& observer, BkfReader& file)
    : catalogue_(catalogue), log_(log), observer_(observer), file_(file), fileSize_(file.GetSize()) {}

void CatalogueBuilder::OnSetBlock(const BlockSite& site, ScanPass pass) {
  const Bytes block = site.Block();
  const std::uint16_t size = ReadU16(block, mtf::kSetNameSize);
  if (size > mtf::kMaxSetNameBytes) return;
  std::u16string name = ReadMtfString(block, size, ReadU16(block, mtf::kSetNameOffset));
  for (char16_t& c : name) {
    if (c == u'\\' || c == u'/' || c == u':' || (c == u'"' && pass == ScanPass::kMain)) c = u'_';
  }
  if (IsUnusableName(name)) name.clear();
  ++context_.setCounter;
  context_.setLabel = u"BACKUP SET " + FormatUInt64(context_.setCounter) + u"(" + name + u")";
  currentFolder_.reset();
}

void CatalogueBuilder::OnDirectoryBlock(const BlockSite& site) {
  const Bytes block = site.Block();
  std::u16string name = ReadMtfString(block, ReadU16(block, mtf::kDirectoryNameSize),
                                      ReadU16(block, mtf::kDirectoryNameOffset), mtf::kNameLimit);
  if (IsUnusableName(name)) {
    name = u"lost dir" + FormatUInt64(context_.lostDirectoryCounter++) + u"\\";
  }
  if (name.empty() || name.front() != u'\\') name.insert(name.begin(), u'\\');
  if (name.back() != u'\\') name.push_back(u'\\');
  context_.currentDirectory = std::move(name);
  currentFolder_.reset();

  const std::u16string path = u"BKF\\" + context_.setLabel + context_.currentDirectory;
  if (path.size() <= kMaxTreePath) catalogue_.EnsureFolderPath(path);
}

FileTime CatalogueBuilder::DateMemo::Decode(Bytes block, std::size_t offset) {
  constexpr std::size_t kPackedSize = 5;
  if (offset + kPackedSize > block.size()) return DecodeMtfDate(block, offset);
  std::uint64_t packed = 0;
  std::memcpy(&packed, block.data() + offset, kPackedSize);
  for (std::size_t slot = 0; slot < kSlots; ++slot) {
    if (packed_[slot] == packed) return times_[slot];
  }
  const std::size_t slot = next_++ % kSlots;
  packed_[slot] = packed;
  times_[slot] = DecodeMtfDate(block, offset);
  return times_[slot];
}

// The catalogue path's folder: "BKF\\", the set label and the current
// directory without its last backslash.
FolderKey CatalogueBuilder::CurrentFolder() {
  if (!currentFolder_) {
    std::u16string folder = u"BKF\\" + context_.setLabel + context_.currentDirectory;
    folder.pop_back();
    currentFolder_ = catalogue_.InternFolder(folder);
  }
  return *currentFolder_;
}

std::optional<CatalogueBuilder::DataStream> CatalogueBuilder::FindFileData(const BlockSite& site,
                                                                            std::size_t streamSearchLimit,
                                                                            bool& noDataStream) {
  const Bytes block = site.Block();
  // A FILE block without data directly followed by another block: a search
  // past it would take the next file's data stream for this one's.
  if (block.size() >= kBlockSize + 6 && IsDescriptorBlock(ClassifyBlock(block.subspan(kBlockSize)))) {
    streamSearchLimit = std::min(streamSearchLimit, kBlockSize);
  }
  if (const auto found = FindDataStream(block, streamSearchLimit)) {
    return DataStream{site.Position() + *found, ReadU64(block, *found + mtf::kStreamLength),
                      ReadU16(block, *found + mtf::kStreamFileSystemAttributes)};
  }
  // Large security data or a long name put the header further in, and an
  // empty file has none: the block's own chain of streams tells which.
  if (!HasValidHeaderChecksum(block)) return std::nullopt;
  const StreamChainEnd end = FollowStreamChain(site, file_, fileSize_);
  noDataStream = end.kind == StreamChainEnd::Kind::kNoDataStream;
  if (end.kind != StreamChainEnd::Kind::kDataStream) return std::nullopt;
  return DataStream{end.position, end.header.length, end.header.fileSystemAttributes};
}

void CatalogueBuilder::OnFileBlock(const BlockSite& site, std::size_t streamSearchLimit) {
  const Bytes block = site.Block();
  bool noDataStream = false;
  const auto stream = FindFileData(site, streamSearchLimit, noDataStream);
  const std::uint64_t displayableSize = ReadU64(block, mtf::kDisplayableSize);
  // An empty file has no data stream; an encrypted one has its data in
  // another stream, which this program cannot read.
  const bool emptyFile = noDataStream && displayableSize == 0;
  if (!stream && !emptyFile) return;
  ReadMtfString(block, ReadU16(block, mtf::kFileNameSize), ReadU16(block, mtf::kFileNameOffset), mtf::kNameLimit,
                name_);
  std::u16string_view name = name_;
  if (name.empty()) return;
  if (name.front() == u'\\') name.remove_prefix(1);
  if (IsUnusableName(name)) return;
  auto& directory = context_.currentDirectory;
  if (directory.empty() || directory.front() != u'\\') {
    directory.insert(directory.begin(), u'\\');
    currentFolder_.reset();
  }

  FileRowValues values{.size = 0,
                       .offset = static_cast<std::int64_t>(site.Position()),
                       .modified = dates_.Decode(block, mtf::kModifiedDate),
                       .accessed = dates_.Decode(block, mtf::kAccessedDate),
                       .created = dates_.Decode(block, mtf::kCreatedDate)};
  if (stream) {
    // A sparse file's data stream is empty; its pieces follow in streams of
    // their own, and the block tells the file's size.
    const bool sparse = stream->length == 0 && (stream->fileSystemAttributes & mtf::kSparseStream) != 0;
    values.size = static_cast<std::int64_t>(sparse ? displayableSize : stream->length);
    values.offset = static_cast<std::int64_t>(stream->position + mtf::kStreamHeaderSize);
  }
  // The row, its cells and its folder chain in one step of the catalogue.
  catalogue_.AppendFileRow(CurrentFolder(), name, values);
  log_.Mark(marks::kRowAdded);
  observer_.OnFilesFound(++context_.filesFound);
}

}  // namespace tallowin
