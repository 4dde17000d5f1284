// The steps that begin a recovery, shared by every front end so that each
// writes the same log lines in the same order.
#pragma once

#include <filesystem>
#include <stop_token>
#include <string_view>

#include "catalog/activity_log.h"
#include "catalog/catalogue.h"
#include "engine/bkf_scanner.h"

namespace tallowin {

// When the chosen BKF file exists and the view has switched to the browser:
// the BKF path line and "SUCC 0001", while Generate Log is on.
void LogRecoveryStart(const ActivityLog& log, std::u16string_view bkfPath);

// The recovery worker, on the front end's thread: empties the catalogue and
// runs the scan until its end or `stop`. Returns what CBkfScanner::Run
// returns.
bool RunRecoveryWorker(Catalogue& catalogue, CBkfScanner& scanner, const ActivityLog& log,
                       const std::filesystem::path& bkfPath, std::stop_token stop);

}  // namespace tallowin
