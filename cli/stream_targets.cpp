#include "cli/stream_targets.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <unordered_set>

#include "catalog/text_convert.h"

namespace tallowin::cli {
namespace {

namespace fs = std::filesystem;

std::string Joined(TargetFolder folder, const std::string& name) {
  std::string path;
  for (const std::string& part : folder) path += part + '/';
  return path + name;
}

bool WriteAll(std::span<const std::byte> bytes, int& error) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = written < 0 ? errno : EIO;
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

// The bytes of one file in order; a hole is written as zeros, and a piece
// that would go back cannot be, on a stream.
class OutputFile final : public TargetFile {
 public:
  bool Write(std::uint64_t at, std::span<const std::byte> bytes, int& error) override {
    if (!Reach(at, error)) return false;
    if (!WriteAll(bytes, error)) return false;
    position_ += bytes.size();
    return true;
  }
  bool SetSize(std::uint64_t size, int& error) override { return Reach(size, error); }
  bool Keep(int&) override { return true; }
  void Discard() override {}

 private:
  bool Reach(std::uint64_t at, int& error) {
    if (at < position_) {
      error = ESPIPE;
      return false;
    }
    static constexpr std::array<std::byte, 65536> kZeros{};
    while (position_ < at) {
      const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(at - position_, kZeros.size()));
      if (!WriteAll(std::span(kZeros).first(step), error)) return false;
      position_ += step;
    }
    return true;
  }
  std::uint64_t position_ = 0;
};

class StandardOutputTarget final : public SaveTarget {
 public:
  bool MakeFolder(TargetFolder, const std::string&, bool, int&) override { return true; }
  std::unique_ptr<TargetFile> CreateFile(TargetFolder, const std::string&, const FileTimes&, int&) override {
    return std::make_unique<OutputFile>();
  }
  fs::path Where(TargetFolder folder, const std::string& name) const override {
    return PathFromUtf8(Joined(folder, name));
  }
};

class NoFile final : public TargetFile {
 public:
  bool Write(std::uint64_t, std::span<const std::byte>, int&) override { return true; }
  bool Keep(int&) override { return true; }
  void Discard() override {}
};

class DryRunTarget final : public SaveTarget {
 public:
  explicit DryRunTarget(std::optional<fs::path> folder) : folder_(std::move(folder)) {}

  bool MakeFolder(TargetFolder parent, const std::string& name, bool fresh, int& error) override {
    const std::string path = Joined(parent, name);
    const fs::file_type there = OnDisk(path);
    if (files_.contains(path) || (there != fs::file_type::not_found && there != fs::file_type::directory)) {
      error = EEXIST;
      return false;
    }
    if (fresh && (there != fs::file_type::not_found || folders_.contains(path))) {
      error = EEXIST;
      return false;
    }
    folders_.insert(path);
    return true;
  }
  std::unique_ptr<TargetFile> CreateFile(TargetFolder folder, const std::string& name, const FileTimes&,
                                         int& error) override {
    std::string path = Joined(folder, name);
    if (folders_.contains(path) || OnDisk(path) != fs::file_type::not_found || !files_.insert(path).second) {
      error = EEXIST;
      return nullptr;
    }
    return std::make_unique<NoFile>();
  }
  fs::path Where(TargetFolder folder, const std::string& name) const override {
    const fs::path path = PathFromUtf8(Joined(folder, name));
    return folder_ ? *folder_ / path : path;
  }
  bool WantsData() const override { return false; }

 private:
  // What lies at `path` in the folder, a link as itself.
  fs::file_type OnDisk(const std::string& path) const {
    if (!folder_) return fs::file_type::not_found;
    std::error_code error;
    const fs::file_type type = fs::symlink_status(*folder_ / PathFromUtf8(path), error).type();
    return type == fs::file_type::none ? fs::file_type::not_found : type;
  }

  std::optional<fs::path> folder_;
  std::unordered_set<std::string> folders_, files_;
};

}  // namespace

std::unique_ptr<SaveTarget> MakeStandardOutputTarget() { return std::make_unique<StandardOutputTarget>(); }

std::unique_ptr<SaveTarget> MakeDryRunTarget(const std::optional<fs::path>& folder) {
  return std::make_unique<DryRunTarget>(folder);
}

}  // namespace tallowin::cli
