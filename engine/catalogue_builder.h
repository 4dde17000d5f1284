// Turns the data set, directory and file blocks that a scan meets, in file
// order, into catalogue rows and folder-tree paths. Nothing is linked by MTF
// identifiers: a file belongs to the set and the directory whose blocks came
// last before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "catalog/activity_log.h"
#include "catalog/catalogue.h"
#include "engine/mtf_block.h"
#include "engine/scan_observer.h"

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
  // `file` is the BKF file being scanned: a FILE block's stream chain may
  // lead past the window that holds the block.
  CatalogueBuilder(Catalogue& catalogue, const ActivityLog& log, ScanObserver& observer, BkfReader& file);

  // The tail pass keeps double quotes in set names; the main pass replaces them.
  void OnSetBlock(const BlockSite& site, ScanPass pass);
  void OnDirectoryBlock(const BlockSite& site);
  void OnFileBlock(const BlockSite& site, std::size_t streamSearchLimit);

 private:
  // The file's data stream header: its absolute position and what it says.
  struct DataStream {
    std::uint64_t position;
    std::uint64_t length;
    std::uint16_t fileSystemAttributes;
  };
  // Found by the byte search, or else by the block's stream chain; for a
  // block without any (an empty file), nothing and `noDataStream` set.
  std::optional<DataStream> FindFileData(const BlockSite& site, std::size_t streamSearchLimit,
                                         bool& noDataStream);

  Catalogue& catalogue_;
  const ActivityLog& log_;
  ScanObserver& observer_;
  BkfReader& file_;
  std::uint64_t fileSize_;
  ScanContext context_;
  // Files mostly share dates with those before them, and a file's access
  // date is often its modification date: the last few decodings are kept.
  class DateMemo {
   public:
    FileTime Decode(Bytes block, std::size_t offset);

   private:
    static constexpr std::size_t kSlots = 4;
    std::uint64_t packed_[kSlots] = {UINT64_MAX, UINT64_MAX, UINT64_MAX, UINT64_MAX};  // never five bytes' worth
    FileTime times_[kSlots] = {};
    std::size_t next_ = 0;
  };

  // The key of the current set and directory, interned once for the files
  // that follow them.
  FolderKey CurrentFolder();
  std::optional<FolderKey> currentFolder_;
  DateMemo dates_;
  std::u16string name_;  // the current file's name, its memory kept from row to row
};

// A name holding any of / | * : ? < > cannot be used.
bool IsUnusableName(std::u16string_view name);

}  // namespace tallowin
