// Turns the blocks that a scan meets, in file order, into catalogue rows and
// folder-tree paths. A file belongs to the set and the directory whose blocks
// came last before it, unless damage shows otherwise: a checked FILE block
// whose directory id is not that directory's waits for the end of its set
// scope and is filed by its id, and files whose blocks were lost come back
// from the catalogue that the backup keeps at the end of each set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "catalog/activity_log.h"
#include "catalog/catalogue.h"
#include "catalog/job_progress.h"
#include "engine/file_block_positions.h"
#include "engine/lost_file_data.h"
#include "engine/mtf_block.h"
#include "engine/mtf_stream.h"
#include "engine/packed_dates.h"
#include "engine/scan_observer.h"
#include "engine/set_catalogue.h"
#include "engine/set_scope.h"

namespace tallowin {

// The running context of one scan.
struct ScanContext {
  std::uint64_t setCounter = 0;
  std::u16string setLabel = u"BACKUP SET 0";
  std::uint64_t lostDirectoryCounter = 0;
  std::u16string currentDirectory;  // begins and ends with a backslash once set
  std::uint64_t filesFound = 0;
};

enum class ScanPass { kMain, kTail };

class BkfReader;

class CatalogueBuilder {
 public:
  // `file` is the BKF file being scanned: streams and catalogues lead past
  // the window that holds a block. Long reads give up once a stop is requested.
  CatalogueBuilder(Catalogue& catalogue, const ActivityLog& log, ScanObserver& observer, BkfReader& file,
                   std::stop_token stop);

  // The scan has examined the file up to `position`: told with the files found.
  void OnScanned(std::uint64_t position);

  void OnTapeBlock(const BlockSite& site);
  // The tail pass keeps double quotes in set names; the main pass replaces them.
  void OnSetBlock(const BlockSite& site, ScanPass pass);
  void OnDirectoryBlock(const BlockSite& site);
  void OnFileBlock(const BlockSite& site, std::size_t streamSearchLimit);
  void OnEndOfSetBlock(const BlockSite& site);
  // The scan has ended, read to its end or stopped: the open scope's files
  // are catalogued.
  void Finish();

  std::uint64_t RowsFromSetCatalogue() const { return rowsFromSetCatalogue_; }
  std::uint64_t SetCatalogueFilesNotFound() const { return setCatalogueFilesNotFound_; }
  std::vector<DataSetFacts> TakeSets() { return std::move(sets_); }

 private:
  // The file's data stream header: its absolute position and what it says.
  struct DataStream {
    std::uint64_t position;
    StreamHeader header;
  };
  // How a FILE block's data was looked for.
  struct FileData {
    std::optional<DataStream> stream;
    bool noDataStream = false;  // the block's own streams hold none (an empty file)
    bool encrypted = false;     // they hold it encrypted, in an "NTED" stream
  };
  FileData FindFileData(const BlockSite& site, std::size_t streamSearchLimit);

  // A folder entry of the set's catalogue and, once used, its directory.
  struct CatalogueFolder {
    std::u16string path;
    std::optional<std::u16string> directory;
  };
  // A file entry of the set's catalogue whose FILE block was not met.
  struct CatalogueFile {
    std::u16string name;
    FileRowValues values;
    LostFile lost;
    std::optional<std::size_t> folder;  // the folder entry before it
  };
  struct SetCatalogueContents {
    std::vector<CatalogueFolder> folders;
    std::vector<CatalogueFile> lostFiles;
  };
  SetCatalogueContents ReadSetCatalogue(SetCatalogueSpan span, std::uint64_t eset);
  // Ends the scope: its held files, then the files that its catalogue (the
  // ESET block's, if it ends with one) names and no block gave.
  void EndScope(SetCatalogueContents contents);

  // The current directory that the directory rules make of a name.
  std::u16string DirectoryOf(std::u16string name);
  // The key of "BKF\", the set label and `directory` without its last backslash.
  FolderKey FolderOf(std::u16string_view directory);
  // The key of the current set and directory, interned once for the files
  // that follow them.
  FolderKey CurrentFolder();
  void AddRow(FolderKey folder, std::u16string_view name, const FileRowValues& values);

  Catalogue& catalogue_;
  const ActivityLog& log_;
  ScanObserver& observer_;
  BkfReader& file_;
  std::stop_token stop_;
  std::uint64_t fileSize_;
  JobProgress progress_;  // bytes of the file examined, files found
  ScanContext context_;
  std::uint64_t logicalBlock_ = mtf::kDefaultLogicalBlock;
  SetScope scope_;
  FileBlockPositions fileBlocks_;
  std::uint64_t rowsFromSetCatalogue_ = 0;
  std::uint64_t setCatalogueFilesNotFound_ = 0;
  // The facts of each set, and how much of the counts above they hold.
  DataSetFacts& CurrentSet();
  std::vector<DataSetFacts> sets_;
  std::uint64_t rowsTold_ = 0, notFoundTold_ = 0;

  std::optional<FolderKey> currentFolder_;
  PackedDates dates_;
  std::u16string name_;  // the current file's name, its memory kept from row to row
};

// A name holding any of / | * : ? < > cannot be used.
bool IsUnusableName(std::u16string_view name);

}  // namespace tallowin
