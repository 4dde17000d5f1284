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
// A held file whose directory id is at most this far above every id met is
// filed in a folder of its own: its folder block was lost.
constexpr std::uint64_t kLostFolderReach = 64;

// The name rules of a file: a leading backslash is dropped; nothing when
// the name is empty or cannot be used.
std::optional<std::u16string_view> UsableFileName(std::u16string_view name) {
  if (name.empty()) return std::nullopt;
  if (name.front() == u'\\') name.remove_prefix(1);
  if (IsUnusableName(name)) return std::nullopt;
  return name;
}

}  // namespace

bool IsUnusableName(std::u16string_view name) {
  return std::any_of(name.begin(), name.end(), [](char16_t c) { return c < kUnusable.size() && kUnusable[c]; });
}

CatalogueBuilder::CatalogueBuilder(Catalogue& catalogue, const ActivityLog& log, ScanObserver& observer,
                                   BkfReader& file, std::stop_token stop)
    : catalogue_(catalogue),
      log_(log),
      observer_(observer),
      file_(file),
      stop_(std::move(stop)),
      fileSize_(file.GetSize()),
      progress_{.done = 0, .total = fileSize_, .files = 0, .filesTotal = 0} {}

void CatalogueBuilder::OnScanned(std::uint64_t position) {
  progress_.done = position;
  observer_.OnProgress(progress_);
}

void CatalogueBuilder::OnTapeBlock(const BlockSite& site) {
  const Bytes block = site.Block();
  if (!HasValidHeaderChecksum(block)) return;
  const std::uint16_t size = ReadU16(block, mtf::kTapeLogicalBlockSize);
  logicalBlock_ = size != 0 && size % kBlockSize == 0 ? size : mtf::kDefaultLogicalBlock;
}

void CatalogueBuilder::OnSetBlock(const BlockSite& site, ScanPass pass) {
  const Bytes block = site.Block();
  const std::uint16_t size = ReadU16(block, mtf::kSetNameSize);
  if (size > mtf::kMaxSetNameBytes) return;
  std::u16string name = ReadMtfString(block, size, ReadU16(block, mtf::kSetNameOffset));
  for (char16_t& c : name) {
    if (c == u'\\' || c == u'/' || c == u':' || (c == u'"' && pass == ScanPass::kMain)) c = u'_';
  }
  if (IsUnusableName(name)) name.clear();
  // The scope that ends here keeps the label of its own set.
  EndScope({});
  scope_.setBlock = site.Position();
  ++context_.setCounter;
  context_.setLabel = u"BACKUP SET " + FormatUInt64(context_.setCounter) + u"(" + name + u")";
  currentFolder_.reset();
  sets_.push_back({.label = context_.setLabel,
                   .number = context_.setCounter,
                   .name = std::move(name),
                   .written = DecodeMtfDate(block, mtf::kSetWriteDate),
                   .ended = false,
                   .rowsFromSetCatalogue = 0,
                   .setCatalogueFilesNotFound = 0});
}

DataSetFacts& CatalogueBuilder::CurrentSet() {
  if (sets_.empty() || sets_.back().label != context_.setLabel) {
    sets_.push_back({.label = context_.setLabel,
                     .number = context_.setCounter,
                     .name = {},
                     .written = 0,
                     .ended = false,
                     .rowsFromSetCatalogue = 0,
                     .setCatalogueFilesNotFound = 0});
  }
  return sets_.back();
}

std::u16string CatalogueBuilder::DirectoryOf(std::u16string name) {
  if (IsUnusableName(name)) {
    name = u"lost dir" + FormatUInt64(context_.lostDirectoryCounter++) + u"\\";
  }
  if (name.empty() || name.front() != u'\\') name.insert(name.begin(), u'\\');
  if (name.back() != u'\\') name.push_back(u'\\');
  return name;
}

void CatalogueBuilder::OnDirectoryBlock(const BlockSite& site) {
  const Bytes block = site.Block();
  const bool checked = HasValidHeaderChecksum(block);
  std::u16string name = ReadMtfString(block, ReadU16(block, mtf::kDirectoryNameSize),
                                      ReadU16(block, mtf::kDirectoryNameOffset), mtf::kNameLimit);
  // A path too long for the block is kept whole in its first stream.
  if (checked && name.empty() && (ReadU32(block, mtf::kBlockAttributes) & mtf::kNameInStream) != 0) {
    if (auto path = ReadNameStream(site, file_, fileSize_, mtf::kPnam, mtf::kNoLimit)) name = std::move(*path);
  }
  context_.currentDirectory = DirectoryOf(std::move(name));
  currentFolder_.reset();
  const std::uint32_t id = ReadU32(block, mtf::kDirectoryId);
  scope_.currentDirectoryId = id;
  if (checked) {
    scope_.AddFolder(id, context_.currentDirectory);
    scope_.VoteBase(site.Position(), ReadU64(block, mtf::kFormatLogicalAddress), logicalBlock_);
  }

  const std::u16string path = u"BKF\\" + context_.setLabel + context_.currentDirectory;
  if (path.size() <= kMaxTreePath) catalogue_.EnsureFolderPath(path);
}

FolderKey CatalogueBuilder::FolderOf(std::u16string_view directory) {
  std::u16string folder = u"BKF\\" + context_.setLabel;
  folder += directory;
  folder.pop_back();
  return catalogue_.InternFolder(folder);
}

FolderKey CatalogueBuilder::CurrentFolder() {
  if (!currentFolder_) currentFolder_ = FolderOf(context_.currentDirectory);
  return *currentFolder_;
}

void CatalogueBuilder::AddRow(FolderKey folder, std::u16string_view name, const FileRowValues& values) {
  // The row, its cells and its folder chain in one step of the catalogue.
  catalogue_.AppendFileRow(folder, name, values);
  log_.Mark(marks::kRowAdded);
  progress_.files = ++context_.filesFound;
  observer_.OnProgress(progress_);
}

CatalogueBuilder::FileData CatalogueBuilder::FindFileData(const BlockSite& site, std::size_t streamSearchLimit) {
  const Bytes block = site.Block();
  // A FILE block without data directly followed by another block: a search
  // past it would take the next file's data stream for this one's.
  if (block.size() >= kBlockSize + 6 && IsDescriptorBlock(ClassifyBlock(block.subspan(kBlockSize)))) {
    streamSearchLimit = std::min(streamSearchLimit, kBlockSize);
  }
  if (const auto found = FindDataStream(block, streamSearchLimit)) {
    return {.stream = DataStream{site.Position() + *found, *ReadStreamHeader(block.subspan(*found))}};
  }
  // Large security data or a long name put the header further in, and an
  // empty file has none: the block's own chain of streams tells which.
  if (!HasValidHeaderChecksum(block)) return {};
  const StreamChainEnd end = FollowStreamChain(site, file_, fileSize_);
  switch (end.kind) {
    case StreamChainEnd::Kind::kDataStream: return {.stream = DataStream{end.position, end.header}};
    case StreamChainEnd::Kind::kEncrypted:
      return {.stream = DataStream{end.position, end.header}, .encrypted = true};
    case StreamChainEnd::Kind::kNoDataStream: return {.stream = std::nullopt, .noDataStream = true};
    case StreamChainEnd::Kind::kUnknown: break;
  }
  return {};
}

void CatalogueBuilder::OnFileBlock(const BlockSite& site, std::size_t streamSearchLimit) {
  fileBlocks_.Add(site.Position());
  const Bytes block = site.Block();
  const bool checked = HasValidHeaderChecksum(block);
  if (checked) scope_.VoteBase(site.Position(), ReadU64(block, mtf::kFormatLogicalAddress), logicalBlock_);
  const FileData data = FindFileData(site, streamSearchLimit);
  const std::uint64_t displayableSize = ReadU64(block, mtf::kDisplayableSize);
  // An empty file has no data stream; one whose data this program cannot
  // find (an encrypted file of another writer's making) yields nothing.
  const bool emptyFile = data.noDataStream && displayableSize == 0;
  if (!data.stream && !emptyFile) return;
  ReadMtfString(block, ReadU16(block, mtf::kFileNameSize), ReadU16(block, mtf::kFileNameOffset), mtf::kNameLimit,
                name_);
  if (name_.empty() && (ReadU32(block, mtf::kBlockAttributes) & mtf::kNameInStream) != 0) {
    if (auto name = ReadNameStream(site, file_, fileSize_, mtf::kFnam, mtf::kNameLimit)) name_ = std::move(*name);
  }
  const auto name = UsableFileName(name_);
  if (!name) return;
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
  if (data.stream) {
    // A sparse file's data stream is empty; its pieces follow in streams of
    // their own, and the block tells the file's size.
    const StreamHeader& header = data.stream->header;
    const bool sparse = !data.encrypted && header.length == 0 && (header.fileSystemAttributes & mtf::kSparseStream) != 0;
    values.size = static_cast<std::int64_t>(sparse ? displayableSize : header.length);
    values.offset = static_cast<std::int64_t>(data.stream->position + mtf::kStreamHeaderSize);
  }

  // A checked block whose directory id is not that of the folder the scan
  // is in was moved by damage (or the folder's block was): it waits for the
  // end of its scope, where its id tells its folder.
  const std::uint32_t id = ReadU32(block, mtf::kDirectoryId);
  const bool idKnown = block.size() >= mtf::kDirectoryId + 4;
  if (checked && idKnown && id != 0 && scope_.currentDirectoryId != id) {
    scope_.held.push_back({std::u16string(*name), values, id, directory});
    return;
  }
  AddRow(CurrentFolder(), *name, values);
}

void CatalogueBuilder::OnEndOfSetBlock(const BlockSite& site) {
  if (!HasValidHeaderChecksum(site.Block())) return;
  CurrentSet().ended = true;
  SetCatalogueContents contents;
  if (const auto span = FindSetCatalogue(site, file_, fileSize_, logicalBlock_)) {
    contents = ReadSetCatalogue(*span, site.Position());
  }
  EndScope(std::move(contents));
}

void CatalogueBuilder::Finish() { EndScope({}); }

CatalogueBuilder::SetCatalogueContents CatalogueBuilder::ReadSetCatalogue(SetCatalogueSpan span,
                                                                          std::uint64_t eset) {
  SetCatalogueContents contents;
  // Without a base the entries place nothing; their folders still tell held
  // files where they belong.
  const std::optional<WidePosition> base = scope_.Base();
  const auto blockOf = [&](std::uint64_t logicalAddress) {
    return *base + WidePosition{logicalAddress} * WidePosition{logicalBlock_};
  };
  // A range that ends at a place outside the file ends at the file's edge.
  const auto limitOf = [&](WidePosition place) {
    return static_cast<std::uint64_t>(std::clamp<WidePosition>(place, 0, WidePosition{fileSize_}));
  };
  std::optional<CatalogueFile> pending;  // waits for the next entry's place
  SetCatalogueReader reader(file_, span);
  SetCatalogueEntry entry;
  while (!stop_.stop_requested() && reader.Next(entry)) {
    if (pending) {
      pending->lost.nextBlock = limitOf(blockOf(entry.logicalAddress));
      pending->lost.searchEnd = *pending->lost.nextBlock;
      contents.lostFiles.push_back(std::move(*pending));
      pending.reset();
    }
    if (entry.kind == SetCatalogueEntry::Kind::kFolder) {
      contents.folders.push_back({entry.Name(), std::nullopt});
      continue;
    }
    if (entry.kind != SetCatalogueEntry::Kind::kFile || !base) continue;
    const WidePosition place = blockOf(entry.logicalAddress);
    if (place < 0 || place >= WidePosition{fileSize_}) {
      ++setCatalogueFilesNotFound_;
      continue;
    }
    const auto block = static_cast<std::uint64_t>(place);
    if (fileBlocks_.Contains(block)) continue;
    pending = CatalogueFile{
        .name = entry.Name(),
        .values = {.modified = entry.Modified(),
                   .accessed = entry.Accessed(),
                   .created = entry.Created(),
                   .source = RowSource::kSetCatalogue},
        .lost = {.block = block, .size = entry.size, .nextBlock = std::nullopt, .searchEnd = eset},
        .folder = contents.folders.empty() ? std::nullopt : std::optional(contents.folders.size() - 1)};
  }
  if (pending) contents.lostFiles.push_back(std::move(*pending));
  return contents;
}

void CatalogueBuilder::EndScope(SetCatalogueContents contents) {
  const auto directoryOf = [&](CatalogueFolder& folder) -> const std::u16string& {
    if (!folder.directory) folder.directory = DirectoryOf(folder.path);
    return *folder.directory;
  };
  for (HeldFile& file : scope_.held) {
    std::u16string lostFolder;
    const std::u16string* directory = &file.directory;
    if (const auto known = scope_.folders.find(file.directoryId); known != scope_.folders.end()) {
      directory = &known->second;
    } else if (file.directoryId <= contents.folders.size()) {
      directory = &directoryOf(contents.folders[file.directoryId - 1]);
    } else if (file.directoryId <= std::uint64_t{scope_.largestId} + kLostFolderReach) {
      lostFolder = u"\\[lost folder " + FormatUInt64(file.directoryId) + u"]\\";
      directory = &lostFolder;
    }
    AddRow(FolderOf(*directory), file.name, file.values);
  }
  for (CatalogueFile& file : contents.lostFiles) {
    std::u16string_view stored = file.name;
    const auto name = UsableFileName(stored.substr(0, std::min(stored.size(), mtf::kNameLimit)));
    if (!name) continue;
    const auto data = FindLostFileData(file_, fileSize_, file.lost, stop_);
    if (stop_.stop_requested()) break;
    if (!data) {
      ++setCatalogueFilesNotFound_;
      continue;
    }
    file.values.size = static_cast<std::int64_t>(data->size);
    file.values.offset = static_cast<std::int64_t>(data->offset);
    const std::u16string root = u"\\";
    const std::u16string& directory = file.folder ? directoryOf(contents.folders[*file.folder]) : root;
    AddRow(FolderOf(directory), *name, file.values);
    ++rowsFromSetCatalogue_;
  }
  scope_ = SetScope{};
  if (rowsFromSetCatalogue_ != rowsTold_ || setCatalogueFilesNotFound_ != notFoundTold_) {
    DataSetFacts& set = CurrentSet();
    set.rowsFromSetCatalogue += rowsFromSetCatalogue_ - rowsTold_;
    set.setCatalogueFilesNotFound += setCatalogueFilesNotFound_ - notFoundTold_;
    rowsTold_ = rowsFromSetCatalogue_;
    notFoundTold_ = setCatalogueFilesNotFound_;
  }
}

}  // namespace tallowin
