#include "catalog/chunk_memory.h"

#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tallowin {

void ChunkDeleter::operator()(void* chunk) const { std::free(chunk); }

ChunkPtr AllocateChunk(bool huge) {
  void* chunk = std::aligned_alloc(kChunkBytes, kChunkBytes);
  if (chunk == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  if (huge) ::madvise(chunk, kChunkBytes, MADV_HUGEPAGE);
#else
  (void)huge;
#endif
  return ChunkPtr(chunk);
}

}  // namespace tallowin
