#include "save/save_settings.h"

namespace tallowin {

bool IsLegalFolderPrefix(std::u16string_view prefix) {
  return prefix.find_first_of(u"/\\|*:?<>'") == std::u16string_view::npos;
}

}  // namespace tallowin
