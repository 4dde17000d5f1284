// Turns the data set, directory and file blocks that a scan meets, in file
// order, into catalogue rows and folder-tree paths. Nothing is linked by MTF
// identifiers: a file belongs to the set and the directory whose blocks came
// last before it.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Where a block lies: the filled bytes of its window, its offset in them and
// the window's position in the BKF file.
struct BlockSite {
  Bytes window;
  std::size_t blockOffset;
  std::uint64_t windowPosition;

  Bytes Block() const { return window.subspan(blockOffset); }
};

enum class ScanPass { kMain, kTail };

class CatalogueBuilder {
 public:
  CatalogueBuilder(Catalogue& catalogue, const ActivityLog& log, ScanObserver& observer);

  // The tail pass keeps double quotes in set names; the main pass replaces them.
  void OnSetBlock(const BlockSite& site, ScanPass pass);
  void OnDirectoryBlock(const BlockSite& site);
  void OnFileBlock(const BlockSite& site, std::size_t streamSearchLimit);

  const ScanContext& Context() const { return context_; }

 private:
  Catalogue& catalogue_;
  const ActivityLog& log_;
  ScanObserver& observer_;
  ScanContext context_;
  // Consecutive files mostly share their dates: the last decoding of each.
  struct DateMemo {
    std::uint64_t packed = UINT64_MAX;  // never five bytes' worth
    FileTime time = 0;
  };
  FileTime Date(Bytes block, std::size_t offset, DateMemo& memo);

  // A row's path is built here, so that its memory is reused from row to row.
  std::u16string path_;
  DateMemo modified_, accessed_, created_;
};

// A name holding any of / | * : ? < > cannot be used.
bool IsUnusableName(std::u16string_view name);

}  // namespace tallowin
