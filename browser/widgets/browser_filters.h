// The quick filter of the browser page: the filter bar and the two lists it
// filters, the file list and the list of recovered files. The models below
// stay whole; the views show them through the filters.
#pragma once

#include <memory>

#include <QObject>
#include <QPointer>

#include "browser/widgets/catalogue_list_model.h"
#include "browser/widgets/file_list_model.h"
#include "browser/widgets/filter_bar.h"
#include "browser/widgets/row_filter_proxy.h"

namespace tallowin {

class BrowserFilters : public QObject {
  Q_OBJECT

 public:
  BrowserFilters(const FolderBrowser& browser, const Catalogue& catalogue, const RowVerdicts& verdicts,
                 FileListModel& files, CatalogueListModel& rows, QObject* parent);

  FilterBar* Bar() const { return bar_; }
  // The bar, for a window to place and own; until then it is this object's
  // and shows nowhere.
  FilterBar* ReleaseBar() { return ownBar_.release(); }
  RowFilterProxy* FileList() const { return fileList_; }
  RowFilterProxy* CatalogueList() const { return catalogueList_; }
  // Verdicts changed: a filter by verdict is worked out again.
  void VerdictsChanged();
  // The filter goes when it hides `row` of the catalogue.
  void Reveal(RowIndex row);
  // No filter: for a new catalogue.
  void Clear();

 private:
  void Apply();

  const FolderBrowser& browser_;
  const Catalogue& catalogue_;
  const RowVerdicts& verdicts_;
  std::unique_ptr<FilterBar> ownBar_;
  QPointer<FilterBar> bar_;
  RowFilterProxy* fileList_;
  RowFilterProxy* catalogueList_;
};

}  // namespace tallowin
