#include "catalog/file_types.h"

#include <utility>

namespace tallowin {

FileTypeInfo GenericFileType(std::u16string_view extension) {
  if (extension.empty()) return {u"File", {}};
  std::u16string description;
  for (const char16_t c : extension) {
    description.push_back(c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c);
  }
  description += u" File";
  return {std::move(description), {}};
}

std::u16string_view FileExtension(std::u16string_view path) {
  const auto slash = path.rfind(u'\\');
  const auto name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  const auto dot = name.rfind(u'.');
  return dot == std::u16string_view::npos ? std::u16string_view{} : name.substr(dot + 1);
}

FileTypeTable::FileTypeTable(FileTypeLookup lookup) : lookup_(std::move(lookup)) {}

std::uint32_t FileTypeTable::IndexFor(std::u16string_view path) {
  const auto extension = FileExtension(path);
  // Consecutive rows mostly share their extension.
  if (haveLast_ && extension == lastExtension_) return lastIndex_;
  std::uint64_t key = 0;
  if (extension.size() <= 3) {
    key = std::uint64_t{extension.size() + 1} << 48;
    for (std::size_t i = 0; i < extension.size(); ++i) key |= std::uint64_t{extension[i]} << (16 * i);
  }
  const std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 58) % kShortSlots;
  if (key != 0 && shortKeys_[slot] == key) return shortIndexes_[slot];
  auto found = byExtension_.find(extension);
  if (found == byExtension_.end()) {
    types_.push_back(lookup_ ? lookup_(extension) : GenericFileType(extension));
    found = byExtension_.emplace(std::u16string(extension), static_cast<std::uint32_t>(types_.size() - 1)).first;
  }
  lastExtension_.assign(extension);
  lastIndex_ = found->second;
  haveLast_ = true;
  if (key != 0) {
    shortKeys_[slot] = key;
    shortIndexes_[slot] = lastIndex_;
  }
  return lastIndex_;
}

}  // namespace tallowin
