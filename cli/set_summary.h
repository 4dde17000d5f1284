// What a scanned backup holds, data set by data set: `twbkf scan`'s closing
// lines, and the same as one JSON document with --json.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/catalogue.h"
#include "engine/scan_observer.h"

namespace tallowin::cli {

struct SetSummary {
  DataSetFacts facts;
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
  std::uint64_t folders = 0;  // folders that hold files
  bool lostFolders = false;   // files lie in folders named for lost blocks
  bool CutShort() const { return !facts.ended; }
  // Why the set is damaged, one reason a line; empty for a sound set.
  std::vector<std::string> Damage() const;
};

// The sets in the order of the backup, with the catalogue's rows counted.
std::vector<SetSummary> SummariseSets(const Catalogue& catalogue, const std::vector<DataSetFacts>& facts);

// One line a set: "Set 1 "Daily", written 2007-05-12T14:30:45Z: 2 file(s),
// 3.0 KiB (3005 bytes) in 1 folder(s)", then one indented line for each
// way it is cut short or damaged.
std::string SetSummaryText(const std::vector<SetSummary>& sets);

struct ScanFacts {
  std::string bkfPath;
  std::uint64_t bkfSize = 0;
  std::uint64_t files = 0;
  bool stopped = false;
  std::uint64_t stoppedAt = 0;
  std::uint64_t rowsFromSetCatalogue = 0;
  std::uint64_t setCatalogueFilesNotFound = 0;
};
std::string ScanJson(const ScanFacts& scan, const std::vector<SetSummary>& sets);

}  // namespace tallowin::cli
