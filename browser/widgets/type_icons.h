// The small icon of each file type, looked up in the desktop's icon theme
// once per type and kept.
#pragma once

#include <cstdint>

#include <QHash>
#include <QIcon>

#include "catalog/catalogue.h"

namespace tallowin {

class TypeIcons {
 public:
  QIcon For(const Catalogue& catalogue, std::uint32_t iconIndex);
  void Clear() { icons_.clear(); }

 private:
  QHash<std::uint32_t, QIcon> icons_;
};

}  // namespace tallowin
