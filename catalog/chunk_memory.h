// Memory for the catalogue's large chunks. Past the first chunk they are
// aligned to 2 MiB and offered to the system for huge pages: a catalogue of
// millions of rows otherwise spends much of a scan faulting in small pages.
#pragma once

#include <cstddef>
#include <memory>

namespace tallowin {

inline constexpr std::size_t kChunkBytes = std::size_t{2} << 20;

struct ChunkDeleter {
  void operator()(void* chunk) const;
};
using ChunkPtr = std::unique_ptr<void, ChunkDeleter>;

// `kChunkBytes` bytes, uninitialised; `huge` asks for huge pages.
ChunkPtr AllocateChunk(bool huge);

}  // namespace tallowin
