// The fuzz targets' own checks: a broken expectation is reported and the
// process aborts, which libFuzzer and the replay programs both take as a crash.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "catalog/catalogue.h"

#define FUZZ_CHECK(condition)                                                             \
  do {                                                                                     \
    if (!(condition)) {                                                                    \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                        \
    }                                                                                      \
  } while (false)

namespace tallowin {

// Visits every folder node once, from the top level down, checking that each
// child names its parent; returns how many nodes it visited.
inline std::int32_t WalkFolderTree(const Catalogue& catalogue) {
  return catalogue.ReadFolderTree([](const FolderTree& tree) {
    std::int32_t visited = 0;
    std::vector<FolderId> pending{kNoFolder};
    while (!pending.empty()) {
      const FolderId node = pending.back();
      pending.pop_back();
      for (const FolderId child : tree.Children(node)) {
        FUZZ_CHECK(tree.Parent(child) == node);
        ++visited;
        pending.push_back(child);
      }
    }
    FUZZ_CHECK(visited == tree.NodeCount());
    return visited;
  });
}

}  // namespace tallowin
