#include "browser/widgets/type_icons.h"

namespace tallowin {

QIcon TypeIcons::For(const Catalogue& catalogue, std::uint32_t iconIndex) {
  const auto found = icons_.constFind(iconIndex);
  if (found != icons_.cend()) return *found;
  const std::string name = catalogue.FileType(iconIndex).iconName;
  static const QIcon generic = QIcon::fromTheme("text-x-generic");
  QIcon icon = name.empty() ? generic : QIcon::fromTheme(QString::fromStdString(name), generic);
  icons_.insert(iconIndex, icon);
  return icon;
}

}  // namespace tallowin
