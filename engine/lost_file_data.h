// Where the data of a file lies when its FILE block was lost but the set's
// catalogue still names it: the catalogue gives the block's place and the
// file's size, and the streams that followed the block may have survived.
#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>

#include "engine/bkf_file.h"

namespace tallowin {

struct LostFile {
  std::uint64_t block = 0;  // where the FILE block lay
  std::uint64_t size = 0;   // the file's size as the catalogue gives it
  // Where the next volume, folder or file of the catalogue lay, if any.
  std::optional<std::uint64_t> nextBlock;
  // Where its checksum may lie at the latest: the next block, or for the
  // last entry the catalogue's ESET block.
  std::uint64_t searchEnd = 0;
};

struct LostFileData {
  std::uint64_t size = 0;
  std::uint64_t offset = 0;  // the first data byte, or the block for an empty file
};

// In this order: an empty file at its block; the first data stream header
// of the file's size (or an empty sparse one) after the block; the data
// that a "CSUM" stream after the block names and whose checksum matches
// (else the first data that one names). Nothing when none of them is there
// or a stop is requested.
std::optional<LostFileData> FindLostFileData(BkfReader& file, std::uint64_t fileSize, const LostFile& lost,
                                             std::stop_token stop);

}  // namespace tallowin
