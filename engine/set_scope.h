// What the scan keeps of one set scope: the run of blocks from an SSET block
// that changes the set (or the start of the scan, or just after a checked
// ESET block) to the next such SSET block, the next checked ESET block or
// the end of the scan. Directory ids are only ever compared within a scope,
// so a lost SSET block never mixes two sets' folders up. All of it is given
// up when the scope ends.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalog/catalogue.h"

namespace tallowin {

// Block positions minus their place in format logical blocks may lie below
// zero, and a logical address times the block size beyond 64 bits.
__extension__ using WidePosition = __int128;

// A checked FILE block whose directory id does not name the folder the scan
// is in: its row is made when the scope ends, where its id files it.
struct HeldFile {
  std::u16string name;
  FileRowValues values;
  std::uint32_t directoryId = 0;
  std::u16string directory;  // the current directory when it was met
};

struct SetScope {
  // The SSET block that began it, if one did.
  std::optional<std::uint64_t> setBlock;
  // The directory id of the DIRB block that last set the current directory
  // in this scope, checked or not.
  std::optional<std::uint32_t> currentDirectoryId;
  // The current directory of the first checked DIRB block met for each id.
  std::unordered_map<std::uint32_t, std::u16string> folders;
  std::uint32_t largestId = 0;
  std::vector<HeldFile> held;
  // Without an SSET block: how many checked DIRB and FILE blocks give each
  // value of position minus logical address times block size.
  std::map<WidePosition, std::uint64_t> baseVotes;

  void AddFolder(std::uint32_t id, const std::u16string& directory) {
    folders.try_emplace(id, directory);
    largestId = std::max(largestId, id);
  }

  void VoteBase(std::uint64_t position, std::uint64_t logicalAddress, std::uint64_t logicalBlock) {
    if (setBlock) return;
    ++baseVotes[WidePosition{position} - WidePosition{logicalAddress} * WidePosition{logicalBlock}];
  }

  // Where the set's logical blocks are counted from: the SSET block, else the
  // value most blocks give (the smallest of a tie).
  std::optional<WidePosition> Base() const {
    if (setBlock) return WidePosition{*setBlock};
    std::optional<WidePosition> best;
    std::uint64_t votes = 0;
    for (const auto& [value, count] : baseVotes) {
      if (count > votes) {
        best = value;
        votes = count;
      }
    }
    return best;
  }
};

}  // namespace tallowin
