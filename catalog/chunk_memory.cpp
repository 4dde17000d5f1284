#include "catalog/chunk_memory.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif
#ifdef _WIN32
#include <malloc.h>
#endif

namespace tallowin {
namespace {

// Windows has no std::aligned_alloc: its C library cannot free such memory
// with free(), so it has an aligned pair of its own.
void* AlignedAllocate(std::size_t alignment, std::size_t size) {
#ifdef _WIN32
  return ::_aligned_malloc(size, alignment);
#else
  return std::aligned_alloc(alignment, size);
#endif
}

void AlignedFree(void* memory) {
#ifdef _WIN32
  ::_aligned_free(memory);
#else
  std::free(memory);
#endif
}

void* NewChunk(bool huge) {
  void* chunk = AlignedAllocate(kChunkBytes, kChunkBytes);
  if (chunk == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  if (huge) ::madvise(chunk, kChunkBytes, MADV_HUGEPAGE);
#else
  (void)huge;
#endif
  return chunk;
}

// One huge chunk kept ready by a thread of its own: the system clears fresh
// memory when it is first touched, and a scan of millions of small files
// would otherwise spend a large part of its time waiting for that. The
// clearing happens here, on another core, while the scan goes on.
class ChunkReserve {
 public:
  static ChunkReserve& Instance() {
    static ChunkReserve reserve;
    return reserve;
  }
  ~ChunkReserve() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wanted_.notify_all();
    if (thread_.joinable()) thread_.join();
    AlignedFree(ready_);
  }

  void* Take() {
    std::unique_lock lock(mutex_);
    if (!thread_.joinable()) thread_ = std::thread(&ChunkReserve::Prepare, this);
    void* chunk = ready_;
    ready_ = nullptr;
    lock.unlock();
    wanted_.notify_one();
    return chunk != nullptr ? chunk : NewChunk(true);
  }

 private:
  void Prepare() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wanted_.wait(lock, [&] { return stop_ || ready_ == nullptr; });
      if (stop_) return;
      lock.unlock();
      void* chunk = nullptr;
      try {
        chunk = NewChunk(true);
        // A write to every page makes the system map and clear it now.
        for (std::size_t at = 0; at < kChunkBytes; at += 4096) static_cast<volatile char*>(chunk)[at] = 0;
      } catch (const std::bad_alloc&) {
        chunk = nullptr;
      }
      lock.lock();
      if (chunk == nullptr) return;  // the scan's own allocation will say so
      ready_ = chunk;
    }
  }

  std::mutex mutex_;
  std::condition_variable wanted_;
  void* ready_ = nullptr;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace

void ChunkDeleter::operator()(void* chunk) const { AlignedFree(chunk); }

ChunkPtr AllocateChunk(bool huge) {
  return ChunkPtr(huge ? ChunkReserve::Instance().Take() : NewChunk(false));
}

}  // namespace tallowin
