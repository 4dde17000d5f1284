// The quick filter over the lists: part of a file name, in any case, and a
// choice of verdicts. It decides which rows of the file list and of the list
// of recovered files show; it reads the names and verdicts in bulk, a slice
// of rows under one lock.
#pragma once

#include <QString>

#include "save/row_verdicts.h"
#include "browser/selection/folder_browser.h"
#include "browser/widgets/row_filter_proxy.h"

namespace tallowin {

// In the order of the filter bar's choices.
enum class VerdictChoice { kAll, kTrouble, kVerified };

struct QuickFilter {
  QString text;  // part of a file name; empty: any name
  VerdictChoice choice = VerdictChoice::kAll;

  bool Active() const { return !text.isEmpty() || choice != VerdictChoice::kAll; }
  bool operator==(const QuickFilter&) const = default;
};

// Over the rows of the list of recovered files, which are catalogue rows.
RowFilterProxy::Match CatalogueRowsMatch(const Catalogue& catalogue, const RowVerdicts& verdicts,
                                         const QuickFilter& filter);
// Over the rows of the file list: the parent row and the folders always
// pass, so that the user can still move about.
RowFilterProxy::Match FileListMatch(const FolderBrowser& browser, const Catalogue& catalogue,
                                    const RowVerdicts& verdicts, const QuickFilter& filter);

}  // namespace tallowin
