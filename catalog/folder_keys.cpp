#include "catalog/folder_keys.h"

#include "catalog/same_text.h"

namespace tallowin {

FolderKey FolderKeys::InternChild(FolderKey parent, std::u16string_view name) {
  if (const auto found = children_.find({parent, name}); found != children_.end()) return found->second;
  entries_.push_back({parent, std::u16string(name)});
  const auto key = static_cast<FolderKey>(entries_.size() - 1);
  children_.emplace(ChildKey{parent, entries_.back().name}, key);
  return key;
}

FolderKey FolderKeys::Intern(std::u16string_view text) {
  if (lastKey_ != kNoFolderKey && SameText(lastText_, text)) return lastKey_;
  FolderKey key = kNoFolderKey;
  for (std::size_t start = 0;;) {
    const auto slash = text.find(u'\\', start);
    key = InternChild(key, text.substr(start, slash - start));
    if (slash == std::u16string_view::npos) break;
    start = slash + 1;
  }
  lastText_ = text;
  lastKey_ = key;
  return key;
}

std::optional<FolderKey> FolderKeys::Find(std::u16string_view text) const {
  FolderKey key = kNoFolderKey;
  for (std::size_t start = 0;;) {
    const auto slash = text.find(u'\\', start);
    const auto found = children_.find({key, text.substr(start, slash - start)});
    if (found == children_.end()) return std::nullopt;
    key = found->second;
    if (slash == std::u16string_view::npos) return key;
    start = slash + 1;
  }
}

void FolderKeys::AppendText(FolderKey key, std::u16string& out) const {
  // Measured first, then filled from the end: no list of the ancestors.
  std::size_t length = 0;
  for (FolderKey at = key; at != kNoFolderKey; at = entries_[at].parent) {
    length += entries_[at].name.size() + (entries_[at].parent != kNoFolderKey ? 1 : 0);
  }
  out.resize(out.size() + length);
  std::size_t end = out.size();
  for (FolderKey at = key; at != kNoFolderKey; at = entries_[at].parent) {
    const std::u16string& name = entries_[at].name;
    end -= name.size();
    name.copy(out.data() + end, name.size());
    if (entries_[at].parent != kNoFolderKey) out[--end] = u'\\';
  }
}

std::u16string FolderKeys::Text(FolderKey key) const {
  std::u16string text;
  if (key < entries_.size()) AppendText(key, text);
  return text;
}

void FolderKeys::Clear() {
  children_.clear();
  entries_.clear();
  lastText_.clear();
  lastKey_ = kNoFolderKey;
}

}  // namespace tallowin
