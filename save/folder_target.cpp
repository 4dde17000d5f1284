// The save's files in a folder on disk, through SaveFolder: nothing is
// opened outside the destination, no link is followed, nothing replaced.
#include <algorithm>
#include <vector>

#include "save/safe_names.h"
#include "save/save_folder.h"
#include "save/save_target.h"
#include "catalog/text_convert.h"

namespace tallowin {
namespace {

// Written under a hidden name and given its own only when complete, with
// its times: a save killed midway never leaves a short file that looks
// saved. Kept or discarded before the save opens the next file: `folder`
// stays open until then.
class DiskFile final : public TargetFile {
 public:
  DiskFile(SavedFile file, const SaveFolder& folder, std::string part, std::string name, const FileTimes& times)
      : file_(std::move(file)), folder_(folder), part_(std::move(part)), name_(std::move(name)), times_(times) {}
  ~DiskFile() override {
    if (file_.IsOpen()) Discard();
  }
  bool Write(std::uint64_t at, std::span<const std::byte> bytes, int& error) override {
    return file_.WriteAt(at, bytes, error);
  }
  std::uint64_t CopyFrom(BkfReader& bkf, std::uint64_t from, std::uint64_t count) override {
    return bkf.CopyToFile(from, count, file_.Descriptor());
  }
  bool SetSize(std::uint64_t size, int& error) override { return file_.Extend(size, error); }
  // The times last: writing would change them; a rename does not.
  bool Keep(int& error) override {
    file_.SetTimes(times_.modified, times_.accessed, times_.created);
    if (file_.Close(error) && folder_.RenameFile(part_, name_, error)) return true;
    Discard();
    return false;
  }
  void Discard() override {
    file_ = SavedFile();
    folder_.RemoveFile(part_);
  }

 private:
  SavedFile file_;
  const SaveFolder& folder_;
  std::string part_;  // the hidden name it has until it is kept
  std::string name_;
  FileTimes times_;
};

class FolderTarget final : public SaveTarget {
 public:
  FolderTarget(std::filesystem::path destination, int& error)
      : destination_(std::move(destination)), root_(SaveFolder::OpenDestination(destination_, error)) {}
  bool IsOpen() const { return root_.IsOpen(); }

  bool MakeFolder(TargetFolder parent, const std::string& name, bool fresh, int& error) override {
    const SaveFolder* folder = Open(parent, error);
    if (folder == nullptr) return false;
    if (folder->CreateFolder(name, error).IsOpen()) return true;
    return !fresh && error == EEXIST && folder->OpenFolder(name, error).IsOpen();
  }
  std::unique_ptr<TargetFile> CreateFile(TargetFolder folder, const std::string& name, const FileTimes& times,
                                         int& error) override {
    const SaveFolder* open = Open(folder, error);
    if (open == nullptr) return nullptr;
    // The name must be free now; Keep takes it only if it still is.
    if (open->Holds(name)) {
      error = EEXIST;
      return nullptr;
    }
    for (int n = 1;; ++n) {
      std::string part = PartName(name, n);
      SavedFile file = open->CreateFile(part, error);
      if (file.IsOpen()) return std::make_unique<DiskFile>(std::move(file), *open, std::move(part), name, times);
      if (error != EEXIST) return nullptr;
    }
  }
  std::filesystem::path Where(TargetFolder folder, const std::string& name) const override {
    std::filesystem::path where = destination_;
    for (const std::string& part : folder) where /= PathFromUtf8(part);
    return name.empty() ? where : where / PathFromUtf8(name);
  }

 private:
  // The open folder; most files lie in the folder of the file before.
  const SaveFolder* Open(TargetFolder folder, int& error) {
    if (folder.empty()) return &root_;
    if (!std::equal(folder.begin(), folder.end(), openPath_.begin(), openPath_.end())) {
      openPath_.clear();
      open_ = root_.OpenFolder(folder.front(), error);
      for (std::size_t level = 1; open_.IsOpen() && level < folder.size(); ++level) {
        open_ = open_.OpenFolder(folder[level], error);
      }
      if (!open_.IsOpen()) return nullptr;
      openPath_.assign(folder.begin(), folder.end());
    }
    return &open_;
  }

  std::filesystem::path destination_;
  SaveFolder root_;
  std::vector<std::string> openPath_;
  SaveFolder open_;
};

}  // namespace

std::unique_ptr<SaveTarget> MakeFolderTarget(const std::filesystem::path& destination, int& error) {
  error = 0;
  auto target = std::make_unique<FolderTarget>(destination, error);
  if (!target->IsOpen()) return nullptr;
  return target;
}

}  // namespace tallowin
