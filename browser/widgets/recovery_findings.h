// The Recovery Report: what a scan or a load gave and what the damage cost.
// The data sets with their files, bytes and newest file; the folders whose
// block was lost (their files filed under the folder's number) or whose name
// was damaged; the files that only the backup's own catalogue named, and the
// ones it lists whose data was not found; the verdicts known so far. Worked
// out in one pass over the rows.
#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "browser/widgets/recovery_session_controller.h"

namespace tallowin {

struct RecoveryFindings {
  struct DataSet {
    QString name;
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    FileTime newest = 0;  // the newest modification time of its files
  };
  struct Folder {
    QString path;
    std::uint64_t files = 0;  // in it and below it
  };
  std::vector<DataSet> sets;
  std::vector<Folder> lostFolders;     // "[lost folder 7]": files filed by the folder's number
  std::vector<Folder> renamedFolders;  // "lost dir0": a folder whose name was damaged
  std::vector<RowIndex> fromSetCatalogue;  // rows named by the backup's own catalogue
  std::uint64_t notFound = 0;              // files that catalogue lists whose data was not found

  bool DamageFound() const {
    return !lostFolders.empty() || !renamedFolders.empty() || !fromSetCatalogue.empty() || notFound > 0;
  }
};

RecoveryFindings FindRecoveryFindings(const RecoverySessionController& session);
// Whether the scan or load found damage, from its totals and the folders'
// names alone: cheap enough for the end of every scan.
bool ScanFoundDamage(const RecoverySessionController& session);
QString RecoveryReportText(const RecoverySessionController& session, const RecoveryFindings& findings);

}  // namespace tallowin
