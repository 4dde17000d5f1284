// Folders and files below the save destination. Everything is created and
// opened relative to an already open folder, no symbolic link is followed,
// and files are created exclusively: a save can neither escape the
// destination nor overwrite anything.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "catalog/number_text.h"
#include "catalog/native_file.h"

namespace tallowin {

class SavedFile;

// Names are UTF-8.
class SaveFolder {
 public:
  SaveFolder() = default;

  // The destination the user chose (links in its own path are followed).
  static SaveFolder OpenDestination(const std::filesystem::path& path, int& error);
  // A new folder; fails with EEXIST when anything of that name exists.
  SaveFolder CreateFolder(const std::string& name, int& error) const;
  // An existing folder; a link or a file of that name fails.
  SaveFolder OpenFolder(const std::string& name, int& error) const;
  // A new file; fails with EEXIST when anything of that name exists.
  SavedFile CreateFile(const std::string& name, int& error) const;
  void RemoveFile(const std::string& name) const;
  // Whether anything of that name is in the folder (a link counts as itself).
  bool Holds(const std::string& name) const;
  // Gives the file `from` the name `to`; fails with EEXIST, changing
  // nothing, when anything of that name exists.
  bool RenameFile(const std::string& from, const std::string& to, int& error) const;
  bool IsOpen() const { return fd_.IsOpen(); }

 private:
  explicit SaveFolder(NativeFile folder) : fd_(folder) {}
  UniqueNativeFile fd_;
};

class SavedFile {
 public:
  SavedFile() = default;

  bool IsOpen() const { return fd_.IsOpen(); }
  // The platform's handle, for copies that the system makes itself.
  NativeFile Descriptor() const { return fd_.Get(); }
  // `bytes` at `offset` from the file's start; false with an errno value.
  bool WriteAt(std::uint64_t offset, std::span<const std::byte> bytes, int& error);
  // Makes the file `size` bytes long; what was never written reads as zeros
  // and takes no room where the file system keeps holes.
  bool Extend(std::uint64_t size, int& error);
  // Times the file system cannot hold are left as they are; so is the
  // creation time where the system cannot set it.
  void SetTimes(FileTime modified, FileTime accessed, FileTime created);
  bool Close(int& error);

 private:
  friend class SaveFolder;
  explicit SavedFile(NativeFile file) : fd_(file) {}
  UniqueNativeFile fd_;
};

}  // namespace tallowin
