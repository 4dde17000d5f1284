#include "browser/widgets/private_copies.h"

#include <system_error>

#include <QDir>
#include <QTemporaryDir>

#include "browser/widgets/text_qt.h"

namespace tallowin {

PrivateCopies::PrivateCopies() = default;
PrivateCopies::~PrivateCopies() = default;

std::optional<std::filesystem::path> PrivateCopies::Folder() {
  if (!folder_) {
    // Made with the owner's permissions only.
    auto folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/tallowin-bkf-XXXXXX");
    if (!folder->isValid()) return std::nullopt;
    folder_ = std::move(folder);
  }
  return PathFromQString(folder_->path());
}

std::optional<std::filesystem::path> PrivateCopies::Find(RowIndex row) const {
  const auto found = copies_.find(row);
  std::error_code error;
  if (found == copies_.end() || !std::filesystem::is_regular_file(found->second, error)) return std::nullopt;
  return found->second;
}

void PrivateCopies::Keep(RowIndex row, const std::filesystem::path& copy) { copies_[row] = copy; }

}  // namespace tallowin
