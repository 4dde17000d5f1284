// A file that takes the place of its target only once it is complete, so that
// the target is always either the old file or the whole new one. Where the
// file system has unnamed files, the new one has no name until it is put in
// place: a process killed while writing leaves nothing behind. Elsewhere it is
// a hidden file beside the target, removed when the write does not complete
// (on Windows by the system itself, when the process ends without a commit).
#pragma once

#include <filesystem>
#include <string_view>

#include "catalog/native_file.h"

namespace tallowin {

class ReplacingFile {
 public:
  // `error` is set (to an errno value) when the file cannot be created.
  ReplacingFile(const std::filesystem::path& target, int& error);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool IsOpen() const { return fd_ != kNoNativeFile; }
  bool Write(std::string_view bytes, int& error);
  // Makes the data durable, moves the file over the target and makes the
  // folder's new entry durable too. A failure before the move leaves the
  // target as it was.
  bool Commit(int& error);

 private:
  bool LinkInPlace(int& error);
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temporary_;  // empty for an unnamed file
  NativeFile folder_ = kNoNativeFile;
  NativeFile fd_ = kNoNativeFile;
};

}  // namespace tallowin
