// The values that the whole program shares for one run, held by the main
// frame: the Generate Log switch (inside the activity log, which tests it
// before every line) and the folder name prefix of saves. Nothing here is
// ever stored: every run starts from the defaults.
#pragma once

#include <string>
#include <string_view>

#include "catalog/activity_log.h"

namespace tallowin {

inline constexpr std::u16string_view kDefaultFolderPrefix = u"Rec";

struct SharedValues {
  ActivityLog log;
  std::u16string folderPrefix{kDefaultFolderPrefix};
};

// A prefix may be empty; it may not hold any of / \ | * : ? < > or an
// apostrophe. The double quote is allowed.
bool IsLegalFolderPrefix(std::u16string_view prefix);

}  // namespace tallowin
