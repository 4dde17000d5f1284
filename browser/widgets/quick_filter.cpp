#include "browser/widgets/quick_filter.h"

#include <algorithm>

namespace tallowin {
namespace {

bool Wanted(VerdictChoice choice, FileVerdict verdict) {
  switch (choice) {
    case VerdictChoice::kAll: return true;
    case VerdictChoice::kTrouble: return IsTrouble(verdict);
    case VerdictChoice::kVerified: return verdict == FileVerdict::kVerified;
  }
  return false;
}

bool HasPart(std::u16string_view name, const QString& part) {
  return QStringView(reinterpret_cast<const QChar*>(name.data()), static_cast<qsizetype>(name.size()))
      .contains(part, Qt::CaseInsensitive);
}

}  // namespace

RowFilterProxy::Match CatalogueRowsMatch(const Catalogue& catalogue, const RowVerdicts& verdicts,
                                         const QuickFilter& filter) {
  return [&catalogue, &verdicts, filter](int first, int end, std::vector<int>& out) {
    // Which rows the verdict lets through, from one pass over the verdicts.
    std::vector<bool> passes;
    if (filter.choice != VerdictChoice::kAll) {
      passes.assign(static_cast<std::size_t>(std::max(end - first, 0)), false);
      verdicts.ForEachKnown(first, end, [&](RowIndex row, FileVerdict verdict) {
        passes[static_cast<std::size_t>(row - first)] = Wanted(filter.choice, verdict);
      });
    }
    const auto verdictPasses = [&](RowIndex row) { return passes.empty() || passes[static_cast<std::size_t>(row - first)]; };
    if (filter.text.isEmpty()) {
      for (int row = first; row < end; ++row) {
        if (verdictPasses(row)) out.push_back(row);
      }
      return;
    }
    catalogue.ReadRowNames(first, end, [&](RowIndex row, std::u16string_view name) {
      if (verdictPasses(row) && HasPart(name, filter.text)) out.push_back(row);
    });
  };
}

RowFilterProxy::Match FileListMatch(const FolderBrowser& browser, const Catalogue& catalogue,
                                    const RowVerdicts& verdicts, const QuickFilter& filter) {
  return [&browser, &catalogue, &verdicts, filter](int first, int end, std::vector<int>& out) {
    const std::vector<ListRow>& list = browser.List();
    end = std::min(end, static_cast<int>(list.size()));
    if (first >= end) return;
    std::vector<bool> passes(static_cast<std::size_t>(end - first), false);
    // The files whose verdict passes, by catalogue row, with where they stand.
    std::vector<RowIndex> files;
    std::vector<int> at;
    for (int i = first; i < end; ++i) {
      const ListRow& row = list[static_cast<std::size_t>(i)];
      if (row.kind != ListRowKind::kFile) {
        passes[static_cast<std::size_t>(i - first)] = true;
        continue;
      }
      if (filter.choice != VerdictChoice::kAll) {
        const std::optional<FileVerdict> verdict = verdicts.Verdict(row.row);
        if (!verdict || !Wanted(filter.choice, *verdict)) continue;
      }
      files.push_back(row.row);
      at.push_back(i);
    }
    if (filter.text.isEmpty()) {
      for (const int i : at) passes[static_cast<std::size_t>(i - first)] = true;
    } else {
      std::size_t next = 0;
      catalogue.ReadRowNames(files, [&](RowIndex row, std::u16string_view name) {
        while (next < files.size() && files[next] != row) ++next;
        if (next < files.size() && HasPart(name, filter.text)) passes[static_cast<std::size_t>(at[next] - first)] = true;
      });
    }
    for (int i = first; i < end; ++i) {
      if (passes[static_cast<std::size_t>(i - first)]) out.push_back(i);
    }
  };
}

}  // namespace tallowin
