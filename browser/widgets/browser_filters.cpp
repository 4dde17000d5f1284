#include "browser/widgets/browser_filters.h"

namespace tallowin {

BrowserFilters::BrowserFilters(const FolderBrowser& browser, const Catalogue& catalogue, const RowVerdicts& verdicts,
                               FileListModel& files, CatalogueListModel& rows, QObject* parent)
    : QObject(parent),
      browser_(browser),
      catalogue_(catalogue),
      verdicts_(verdicts),
      ownBar_(std::make_unique<FilterBar>()),
      bar_(ownBar_.get()),
      fileList_(new RowFilterProxy(this)),
      catalogueList_(new RowFilterProxy(this)) {
  fileList_->setObjectName("fileListFilter");
  catalogueList_->setObjectName("catalogueListFilter");
  fileList_->setSourceModel(&files);
  catalogueList_->setSourceModel(&rows);
  connect(bar_, &FilterBar::filterChanged, this, &BrowserFilters::Apply);
}

void BrowserFilters::Apply() {
  const QuickFilter filter = bar_ ? bar_->Filter() : QuickFilter{};
  if (!filter.Active()) {
    fileList_->SetMatch({});
    catalogueList_->SetMatch({});
    return;
  }
  fileList_->SetMatch(FileListMatch(browser_, catalogue_, verdicts_, filter));
  catalogueList_->SetMatch(CatalogueRowsMatch(catalogue_, verdicts_, filter));
}

void BrowserFilters::VerdictsChanged() {
  if (!bar_ || bar_->Filter().choice == VerdictChoice::kAll) return;
  fileList_->Refilter();
  catalogueList_->Refilter();
}

void BrowserFilters::Reveal(RowIndex row) {
  if (!catalogueList_->Filtering()) return;
  const QModelIndex source = catalogueList_->sourceModel()->index(row, 0);
  if (catalogueList_->Working() || !catalogueList_->mapFromSource(source).isValid()) Clear();
}

void BrowserFilters::Clear() {
  if (bar_) bar_->Clear();
}

}  // namespace tallowin
