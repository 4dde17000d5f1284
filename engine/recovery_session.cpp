#include "engine/recovery_session.h"

#include <string>
#include <utility>

namespace tallowin {

void LogRecoveryStart(const ActivityLog& log, std::u16string_view bkfPath) {
  log.Mark(std::u16string(bkfPath) + u"\r\n");
  log.Mark(marks::kRecoveryStarted);
}

bool RunRecoveryWorker(Catalogue& catalogue, CBkfScanner& scanner, const ActivityLog& log,
                       const std::filesystem::path& bkfPath, std::stop_token stop) {
  log.Mark(marks::kRecoveryWorker);
  catalogue.ClearFolderTree();
  catalogue.ClearCatalogue();
  log.Mark(marks::kCatalogueCleared);
  return scanner.Run(bkfPath, std::move(stop));
}

}  // namespace tallowin
