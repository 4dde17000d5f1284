// Type descriptions and icons of catalogue rows. They depend on the file
// name's extension alone; the front end supplies the lookup (the core has no
// access to the desktop's type database), and results are cached per
// extension so that a scan of a million files asks only a few times.
#pragma once

#include <cstdint>
#include <functional>
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tallowin {

struct FileTypeInfo {
  std::u16string description;
  std::string iconName;  // a freedesktop icon name; empty for the generic icon
};

// Called with the extension without its dot (empty when the name has none).
using FileTypeLookup = std::function<FileTypeInfo(std::u16string_view extension)>;

// Used where no desktop database is at hand: "TXT File" for .txt, "File"
// without an extension, as a desktop shows unregistered types.
FileTypeInfo GenericFileType(std::u16string_view extension);

// The text after the last "." of the last backslash-separated component.
std::u16string_view FileExtension(std::u16string_view path);

// Not thread-safe; the catalogue guards it.
class FileTypeTable {
 public:
  explicit FileTypeTable(FileTypeLookup lookup);

  // The index of the type of `path`; the same extension gives the same index.
  std::uint32_t IndexFor(std::u16string_view path);
  const FileTypeInfo& Info(std::uint32_t index) const { return types_[index]; }
  std::size_t Count() const { return types_.size(); }

 private:
  FileTypeLookup lookup_;
  std::vector<FileTypeInfo> types_;
  // Looked up by view, so that a lookup makes no text of its own.
  struct ViewHash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>{}(text); }
  };
  std::unordered_map<std::u16string, std::uint32_t, ViewHash, std::equal_to<>> byExtension_;
  std::u16string lastExtension_;
  std::uint32_t lastIndex_ = 0;
  bool haveLast_ = false;
  // Short extensions, packed into one number each, find their index
  // without hashing a text: a scan asks for every file it finds.
  static constexpr std::size_t kShortSlots = 64;
  std::array<std::uint64_t, kShortSlots> shortKeys_{};  // 0: empty
  std::array<std::uint32_t, kShortSlots> shortIndexes_{};
};

}  // namespace tallowin
