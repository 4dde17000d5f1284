// The texts that both programs print for --version, in the GNU manner.
#pragma once

#include <string>
#include <string_view>

#include "tallowin_version.h"

namespace tallowin {

inline constexpr std::string_view kHomePageUrl = "https://www.tallowin.com/bkf/";

inline std::string VersionText(std::string_view program) {
  return std::string(program) + " (Tallowin for BKF) " TALLOWIN_VERSION "\n"
         "Copyright (C) 2026 The Tallowin for BKF developers.\n"
         "License MIT: <https://opensource.org/licenses/MIT>.\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

}  // namespace tallowin
