// The platform's handle of an open file or folder, as the interfaces pass it:
// a file descriptor on POSIX systems, the value of a HANDLE on Windows.
#pragma once

#include <cstdint>

namespace tallowin {

#ifdef _WIN32
using NativeFile = std::intptr_t;
#else
using NativeFile = int;
#endif
// No file: -1 is both an invalid descriptor and INVALID_HANDLE_VALUE.
inline constexpr NativeFile kNoNativeFile = -1;

// Closes the file; false when the system reports that the close failed
// (a write that was delayed until now did not reach the disk).
bool CloseNativeFile(NativeFile file);

// An open file or folder that closes itself.
class UniqueNativeFile {
 public:
  UniqueNativeFile() = default;
  explicit UniqueNativeFile(NativeFile file) : file_(file) {}
  UniqueNativeFile(UniqueNativeFile&& other) noexcept : file_(other.Release()) {}
  UniqueNativeFile& operator=(UniqueNativeFile&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueNativeFile() { Reset(kNoNativeFile); }

  bool IsOpen() const { return file_ != kNoNativeFile; }
  NativeFile Get() const { return file_; }
  NativeFile Release() {
    const NativeFile file = file_;
    file_ = kNoNativeFile;
    return file;
  }
  void Reset(NativeFile file) {
    if (IsOpen()) CloseNativeFile(file_);
    file_ = file;
  }

 private:
  NativeFile file_ = kNoNativeFile;
};

}  // namespace tallowin
