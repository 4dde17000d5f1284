#include "browser/widgets/search_dialog.h"

#include <utility>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QTimer>

#include "browser/widgets/accessible_names.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/dialog_units.h"
#include "browser/widgets/item_look.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {

SearchResultModel::SearchResultModel(const Catalogue& catalogue, QObject* parent)
    : QAbstractTableModel(parent), catalogue_(catalogue) {}

int SearchResultModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SearchResultModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant SearchResultModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const RowIndex row = rows_[static_cast<std::size_t>(index.row())];
  if (role == Qt::DecorationRole) {
    return index.column() == 0 ? QVariant(icons_.For(catalogue_, catalogue_.IconIndex(row))) : QVariant();
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case 0: return ToQString(catalogue_.GetCatalogueCell(row, kCellPath));
    case 1: return ToQString(catalogue_.FileType(catalogue_.IconIndex(row)).description);
    case 2: return ToQString(catalogue_.GetCatalogueCell(row, kCellSize));
    default: return {};
  }
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case 0:
    case 1:
    case 2: return ToQString(desktop::kCatalogueHeadings[section]);
    default: return {};
  }
}

void SearchResultModel::Append(std::span<const RowIndex> rows) {
  if (rows.empty()) return;
  const int first = rowCount();
  beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
  rows_.insert(rows_.end(), rows.begin(), rows.end());
  endInsertRows();
}

void SearchResultModel::Clear() {
  beginResetModel();
  rows_ = {};
  icons_.Clear();
  endResetModel();
}

void SearchInbox::Reset() {
  std::lock_guard lock(mutex_);
  rows_ = {};
  percent_ = 0;
  found_ = 0;
}

std::vector<RowIndex> SearchInbox::Take() {
  std::lock_guard lock(mutex_);
  return std::exchange(rows_, {});
}

void SearchInbox::OnProgress(const JobProgress& progress) {
  percent_.store(progress.Percent(), std::memory_order_relaxed);
}

void SearchInbox::OnSearchMatch(RowIndex row, std::u16string_view, std::u16string_view, std::uint64_t found) {
  {
    std::lock_guard lock(mutex_);
    rows_.push_back(row);
  }
  found_.store(found, std::memory_order_relaxed);
}

SearchFilesDialog::SearchFilesDialog(const Catalogue& catalogue, QWidget* owner)
    : QDialog(owner),
      catalogue_(catalogue),
      results_(std::make_unique<SearchResultModel>(catalogue)),
      searchBox_(new QLineEdit(this)),
      search_(new QPushButton(ToQString(desktop::kSearchButton), this)),
      stop_(new QPushButton(ToQString(desktop::kStopButton), this)),
      list_(new QTableView(this)),
      foundCount_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      refresh_(new QTimer(this)) {
  setWindowTitle(ToQString(desktop::kSearchTitle));
  setModal(true);
  setFixedSize(DialogSize(422, 201));
  UseDialogUnitFont(*this);

  // The desktop's sans-serif is wider than the units assume: the prompt
  // reaches as far as the box, so that its text is not cut.
  auto* prompt = new QLabel(ToQString(desktop::kSearchPrompt), this);
  prompt->setBuddy(searchBox_);
  prompt->setObjectName("prompt");
  prompt->setGeometry(DialogRect(26, 20, 52, 10));
  searchBox_->setObjectName("searchBox");
  searchBox_->setGeometry(DialogRect(79, 18, 216, 12));

  search_->setObjectName("search");
  search_->setGeometry(DialogRect(328, 17, 64, 15));
  search_->setDefault(true);
  connect(search_, &QPushButton::clicked, this, &SearchFilesDialog::StartSearch);
  stop_->setObjectName("stopSearch");
  stop_->setGeometry(DialogRect(328, 17, 64, 15));
  stop_->hide();
  connect(stop_, &QPushButton::clicked, this, [this] { worker_.request_stop(); });

  list_->setObjectName("results");
  list_->setGeometry(DialogRect(20, 42, 376, 103));
  list_->setModel(results_.get());
  UseFixedRowTable(*list_);
  // Paths cut short by the column show whole in a tooltip.
  list_->setItemDelegate(new ItemLookDelegate(false, list_));
  FitColumnWidths(*list_, *list_->horizontalHeader(), SearchResultModel::kColumnWidths, {});
  connect(list_, &QTableView::activated, this, &SearchFilesDialog::Choose);

  auto* foundLabel = new QLabel(ToQString(desktop::kSearchFound), this);
  foundLabel->setObjectName("foundLabel");
  foundLabel->setGeometry(DialogRect(24, 151, 66, 11));
  foundCount_->setObjectName("foundCount");
  foundCount_->setGeometry(DialogRect(91, 151, 81, 9));

  progress_->setObjectName("progress");
  progress_->setGeometry(DialogRect(23, 165, 372, 9));
  progress_->setRange(0, 100);
  progress_->setTextVisible(false);
  progress_->hide();

  auto* ok = new QPushButton("&OK", this);
  ok->setObjectName("ok");
  ok->setGeometry(DialogRect(184, 181, 50, 14));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  refresh_->setInterval(kRefreshMilliseconds);
  connect(refresh_, &QTimer::timeout, this, &SearchFilesDialog::FollowSearch);
  DescribeControls(*this);
}

// The search thread's own end requests its stop and waits for it.
SearchFilesDialog::~SearchFilesDialog() = default;

void SearchFilesDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window restored from the task bar is not opened anew.
  if (event->spontaneous() || searching_) return;
  chosen_.reset();
  searchBox_->setText("*.*");
  results_->Clear();
  foundCount_->clear();
  progress_->hide();
}

void SearchFilesDialog::paintEvent(QPaintEvent*) {
  if (background_.size() != size()) background_ = pictures::Render(pictures::kDialog, size());
  QPainter painter(this);
  painter.drawPixmap(0, 0, background_);
}

void SearchFilesDialog::StartSearch() {
  if (searching_) return;
  search_->hide();
  stop_->show();
  progress_->setValue(0);
  progress_->show();
  results_->Clear();
  inbox_.Reset();
  foundCount_->setText("0");
  searching_ = true;
  refresh_->start();
  worker_ = std::jthread([this, pattern = ToU16(searchBox_->text())](std::stop_token stop) {
    SearchCatalogue(catalogue_, pattern, inbox_, std::move(stop));
    QMetaObject::invokeMethod(this, &SearchFilesDialog::FinishSearch, Qt::QueuedConnection);
  });
}

void SearchFilesDialog::FollowSearch() {
  const std::uint64_t found = inbox_.Found();
  results_->Append(inbox_.Take());
  progress_->setValue(inbox_.Percent());
  foundCount_->setText(QString::number(found));
}

void SearchFilesDialog::FinishSearch() {
  // The thread's last act was to call here; nothing is left for it to add.
  worker_.join();
  refresh_->stop();
  FollowSearch();
  progress_->hide();
  stop_->hide();
  search_->show();
  searching_ = false;
  if (chosen_) accept();
}

void SearchFilesDialog::Choose(const QModelIndex& result) {
  if (!result.isValid()) return;
  chosen_ = results_->RowAt(result.row());
  if (searching_) {
    worker_.request_stop();
    return;
  }
  accept();
}

bool SearchFilesDialog::MayClose() {
  if (searching_) {
    ShowMessage(this, ToQString(desktop::kStopScanFirst), mb::kIconExclamation);
    return false;
  }
  return true;
}

void SearchFilesDialog::accept() {
  if (MayClose()) QDialog::accept();
}

void SearchFilesDialog::reject() {
  if (MayClose()) QDialog::reject();
}

}  // namespace tallowin
