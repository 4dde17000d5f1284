// Running a scan over bytes in memory and reading back what it catalogued.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "catalog/activity_log.h"
#include "catalog/catalogue.h"
#include "engine/bkf_scanner.h"
#include "tests/support/memory_reader.h"
#include "tests/support/mtf_writer.h"

namespace tallowin::test {

// A scan's row for a whole catalogue path: its folder (the text before the
// last backslash) and its name.
inline RowIndex AppendFileRow(Catalogue& catalogue, std::u16string_view path, const FileRowValues& values) {
  const auto slash = path.rfind(u'\\');
  if (slash == std::u16string_view::npos) return catalogue.AppendFileRow(kNoFolderKey, path, values);
  return catalogue.AppendFileRow(catalogue.InternFolder(path.substr(0, slash)), path.substr(slash + 1), values);
}

// A log that is never switched on.
inline const ActivityLog& SilentLog() {
  static const ActivityLog log("/nonexistent-folder/never.log");
  return log;
}

inline bool ScanReader(BkfReader& reader, Catalogue& catalogue, ScanObserver* observer = nullptr) {
  ScanObserver quiet;
  CBkfScanner scanner(catalogue, SilentLog(), observer ? *observer : quiet);
  return scanner.Scan(reader);
}

inline bool ScanBytes(const std::vector<std::byte>& bytes, Catalogue& catalogue,
                      ScanObserver* observer = nullptr) {
  MemoryReader reader(bytes);
  return ScanReader(reader, catalogue, observer);
}

inline std::vector<std::u16string> Paths(const Catalogue& catalogue) {
  std::vector<std::u16string> paths;
  for (RowIndex row = 0; row < catalogue.CatalogueRowCount(); ++row) {
    paths.push_back(catalogue.GetCatalogueCell(row, kCellPath));
  }
  return paths;
}

inline std::vector<std::u16string> ScanPaths(const MtfWriter& writer) {
  Catalogue catalogue;
  ScanBytes(writer.Bytes(), catalogue);
  return Paths(catalogue);
}

// Every folder node as its full path, depth first in child order.
inline std::vector<std::u16string> TreePaths(const Catalogue& catalogue) {
  return catalogue.ReadFolderTree([](const FolderTree& tree) {
    std::vector<std::u16string> out;
    std::function<void(FolderId, const std::u16string&)> walk = [&](FolderId node,
                                                                   const std::u16string& prefix) {
      for (const FolderId child : tree.Children(node)) {
        const std::u16string path = prefix.empty() && node == kNoFolder
                                        ? tree.Name(child)
                                        : prefix + u"\\" + tree.Name(child);
        out.push_back(path);
        walk(child, path);
      }
    };
    walk(kNoFolder, u"");
    return out;
  });
}

}  // namespace tallowin::test
