#include "browser/widgets/recovery_findings.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "save/save_rows.h"
#include "browser/widgets/catalogue_note.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/text_qt.h"
#include "catalog/file_time.h"

namespace tallowin {
namespace {

constexpr int kNone = -1;

// The folders of the tree with the names that the scan gives to folders
// damage took: "[lost folder 7]" and "lost dir0".
struct LostNodes {
  std::vector<FolderId> byNumber;
  std::vector<FolderId> renamed;
  std::vector<FolderId> sets;  // the data sets: the nodes below a top-level node
};

LostNodes FindNodes(const Catalogue& catalogue) {
  return catalogue.ReadFolderTree([](const FolderTree& tree) {
    LostNodes nodes;
    for (const FolderId top : tree.Children(kNoFolder)) {
      for (const FolderId set : tree.Children(top)) nodes.sets.push_back(set);
    }
    for (FolderId node = 0; node < tree.NodeCount(); ++node) {
      const std::u16string& name = tree.Name(node);
      if (name.starts_with(u"[lost folder ") && name.ends_with(u"]")) nodes.byNumber.push_back(node);
      if (name.starts_with(u"lost dir")) nodes.renamed.push_back(node);
    }
    return nodes;
  });
}

// For each folder key, the entry of `marked` (by key) that it lies in, or kNone.
std::vector<int> Spread(const std::vector<FolderKey>& parents, const std::vector<int>& marked) {
  std::vector<int> of(parents.size(), kNone);
  // Keys are numbered after the folders they lie in.
  for (std::size_t key = 0; key < parents.size(); ++key) {
    if (marked[key] != kNone) {
      of[key] = marked[key];
    } else if (parents[key] != kNoFolderKey && parents[key] < key) {
      of[key] = of[parents[key]];
    }
  }
  return of;
}

QString CountLine(std::uint64_t files) { return QString::number(files) + " file(s)"; }

}  // namespace

RecoveryFindings FindRecoveryFindings(const RecoverySessionController& session) {
  const Catalogue& catalogue = session.GetCatalogue();
  RecoveryFindings findings;
  const LostNodes nodes = FindNodes(catalogue);
  std::vector<FolderKey> parents;
  catalogue.ReadFolders(0, [&](FolderKey, FolderKey parent, std::u16string_view) { parents.push_back(parent); });
  std::vector<int> setMarks(parents.size(), kNone), lostMarks(parents.size(), kNone), renamedMarks(parents.size(), kNone);
  const auto mark = [&](const std::vector<FolderId>& list, std::vector<int>& marks, auto add) {
    for (const FolderId node : list) {
      const FolderKey key = catalogue.KeyOfNode(node);
      if (key == kNoFolderKey || key >= marks.size() || marks[key] != kNone) continue;
      marks[key] = add(node, key);
    }
  };
  const auto nodeName = [&](FolderId node) {
    return ToQString(catalogue.ReadFolderTree([&](const FolderTree& tree) { return tree.Name(node); }));
  };
  mark(nodes.sets, setMarks, [&](FolderId node, FolderKey) {
    findings.sets.push_back({nodeName(node), 0, 0, 0});
    return static_cast<int>(findings.sets.size() - 1);
  });
  mark(nodes.byNumber, lostMarks, [&](FolderId, FolderKey key) {
    findings.lostFolders.push_back({ToQString(catalogue.FolderText(key)), 0});
    return static_cast<int>(findings.lostFolders.size() - 1);
  });
  mark(nodes.renamed, renamedMarks, [&](FolderId, FolderKey key) {
    findings.renamedFolders.push_back({ToQString(catalogue.FolderText(key)), 0});
    return static_cast<int>(findings.renamedFolders.size() - 1);
  });
  const std::vector<int> setOf = Spread(parents, setMarks);
  const std::vector<int> lostOf = Spread(parents, lostMarks);
  const std::vector<int> renamedOf = Spread(parents, renamedMarks);

  catalogue.ReadRowsNumbers(0, catalogue.CatalogueRowCount(), [&](RowIndex row, const RowNumbers& numbers) {
    if (numbers.source == RowSource::kSetCatalogue) findings.fromSetCatalogue.push_back(row);
    if (numbers.folder == kNoFolderKey || numbers.folder >= parents.size()) return;
    if (const int set = setOf[numbers.folder]; set != kNone) {
      RecoveryFindings::DataSet& data = findings.sets[static_cast<std::size_t>(set)];
      ++data.files;
      data.bytes += static_cast<std::uint64_t>(std::max<std::int64_t>(numbers.size, 0));
      data.newest = std::max(data.newest, numbers.modified);
    }
    if (const int lost = lostOf[numbers.folder]; lost != kNone) ++findings.lostFolders[static_cast<std::size_t>(lost)].files;
    if (const int renamed = renamedOf[numbers.folder]; renamed != kNone) {
      ++findings.renamedFolders[static_cast<std::size_t>(renamed)].files;
    }
  });
  if (session.SnapshotPath().empty()) findings.notFound = session.Events().LastTotals().setCatalogueFilesNotFound;
  return findings;
}

bool ScanFoundDamage(const RecoverySessionController& session) {
  const ScanTotals totals = session.Events().LastTotals();
  if (session.SnapshotPath().empty() && (totals.rowsFromSetCatalogue > 0 || totals.setCatalogueFilesNotFound > 0)) {
    return true;
  }
  const LostNodes nodes = FindNodes(session.GetCatalogue());
  return !nodes.byNumber.empty() || !nodes.renamed.empty();
}

QString RecoveryReportText(const RecoverySessionController& session, const RecoveryFindings& findings) {
  const Catalogue& catalogue = session.GetCatalogue();
  QStringList lines;
  lines << ToQString(desktop::kRecoveryReportTitle);
  lines << "BKF file: " + ToQString(session.BkfPath());
  const CatalogueNote note = NoteOnCatalogue(session);
  lines << QString::number(catalogue.CatalogueRowCount()) + " file(s) in the catalogue" +
               (note.text.isEmpty() ? QString(", from a scan of the whole file.") : ". " + note.text + ".");
  const bool fromSnapshot = !session.SnapshotPath().empty();

  lines << "" << "Data sets";
  if (findings.sets.empty()) lines << "  none";
  for (const RecoveryFindings::DataSet& set : findings.sets) {
    lines << "  " + set.name + ": " + CountLine(set.files) + ", " + ToQString(desktop::DataSize(set.bytes)) +
                 (set.files > 0 ? ", newest file " + ToQString(FormatListDate(set.newest)) : QString());
  }

  lines << "" << "What the scan found damaged or missing";
  if (fromSnapshot) {
    lines << "  A snapshot does not keep what its scan found; only the folders named after damage show it.";
  }
  if (!findings.DamageFound()) lines << "  Nothing.";
  if (!findings.lostFolders.empty()) {
    lines << "  Folders whose block was lost; their files are filed under the folder's number:";
    for (const RecoveryFindings::Folder& folder : findings.lostFolders) {
      lines << "    " + folder.path + ": " + CountLine(folder.files);
    }
  }
  if (!findings.renamedFolders.empty()) {
    lines << "  Folders whose name was damaged:";
    for (const RecoveryFindings::Folder& folder : findings.renamedFolders) {
      lines << "    " + folder.path + ": " + CountLine(folder.files);
    }
  }
  if (!findings.fromSetCatalogue.empty()) {
    lines << "  Files whose block was lost, named by the backup's own catalogue: " +
                 QString::number(findings.fromSetCatalogue.size());
    for (const RowIndex row : findings.fromSetCatalogue) {
      lines << "    " + ToQString(catalogue.GetCatalogueCell(row, kCellPath));
    }
  }
  if (findings.notFound > 0) {
    lines << "  Files the backup's own catalogue lists whose data was not found: " + QString::number(findings.notFound);
  }

  lines << "" << "Verdicts";
  const RowVerdicts& verdicts = session.Verdicts();
  if (verdicts.Known() == 0) {
    lines << "  Not known yet: Verify All Files tells them without saving anything.";
  } else {
    SaveSummary summary;
    const auto counts = verdicts.Counts();
    for (std::size_t verdict = 0; verdict < counts.size(); ++verdict) {
      summary.Add(static_cast<FileVerdict>(verdict), counts[verdict]);
    }
    lines << "  " + QString::fromStdString(VerifySummaryText(summary));
    if (verdicts.Known() < static_cast<std::uint64_t>(catalogue.CatalogueRowCount())) {
      lines << "  The other files were not saved or verified yet.";
    }
  }
  return lines.join('\n');
}

}  // namespace tallowin
