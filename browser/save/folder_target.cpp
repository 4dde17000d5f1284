// The save's files in a folder on disk, through SaveFolder: nothing is
// opened outside the destination, no link is followed, nothing replaced.
#include <algorithm>
#include <vector>

#include "browser/save/save_folder.h"
#include "browser/save/save_target.h"

namespace tallowin {
namespace {

// Kept or discarded before the save opens the next file: `folder` stays open until then.
class DiskFile final : public TargetFile {
 public:
  DiskFile(SavedFile file, const SaveFolder& folder, std::string name, const FileTimes& times)
      : file_(std::move(file)), folder_(folder), name_(std::move(name)), times_(times) {}
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
  // The times last: writing would change them.
  bool Keep(int& error) override {
    file_.SetTimes(times_.modified, times_.accessed);
    if (file_.Close(error)) return true;
    folder_.RemoveFile(name_);
    return false;
  }
  void Discard() override {
    file_ = SavedFile();
    folder_.RemoveFile(name_);
  }

 private:
  SavedFile file_;
  const SaveFolder& folder_;
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
    SavedFile file = open->CreateFile(name, error);
    if (!file.IsOpen()) return nullptr;
    return std::make_unique<DiskFile>(std::move(file), *open, name, times);
  }
  std::filesystem::path Where(TargetFolder folder, const std::string& name) const override {
    std::filesystem::path where = destination_;
    for (const std::string& part : folder) where /= part;
    return name.empty() ? where : where / name;
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
