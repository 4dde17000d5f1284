#include "browser/widgets/verify_report_dialog.h"

#include <algorithm>
#include <utility>

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include "browser/widgets/accessible_names.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/item_look.h"
#include "browser/widgets/report_text.h"
#include "browser/widgets/text_qt.h"
#include "catalog/text_convert.h"

namespace tallowin {

VerifyReportDialog::VerifyReportDialog(const SaveSummary& summary, std::vector<RowIndex> notVerified,
                                       const Catalogue& catalogue, const RowVerdicts& verdicts,
                                       VerdictRowsModel::MarkRoutine mark, std::filesystem::path bkfPath,
                                       QWidget* owner)
    : QDialog(owner),
      summary_(QString::fromStdString(summary.fatalError.empty() ? VerifySummaryText(summary) : summary.fatalError)),
      catalogue_(catalogue),
      verdicts_(verdicts),
      bkfPath_(std::move(bkfPath)),
      rows_(new VerdictRowsModel(catalogue, verdicts, std::move(notVerified), std::move(mark), this)),
      list_(new QTableView(this)) {
  setObjectName("verifyReport");
  setWindowTitle(ToQString(desktop::kVerifyReportTitle));
  auto* counts = new QLabel(summary_, this);
  counts->setObjectName("summary");
  counts->setWordWrap(true);
  counts->setTextInteractionFlags(Qt::TextSelectableByMouse);

  list_->setObjectName("notVerified");
  list_->setModel(rows_);
  UseFixedRowTable(*list_);
  // A path shows its beginning and its file name; the whole of it in a tooltip.
  list_->setTextElideMode(Qt::ElideMiddle);
  list_->setItemDelegate(new ItemLookDelegate(false, list_));
  list_->horizontalHeader()->setStretchLastSection(true);
  FitColumnWidths(*list_, *list_->horizontalHeader(), VerdictRowsModel::kColumnWidths, {});
  if (rows_->rowCount() > 0) list_->setCurrentIndex(rows_->index(0, 0));
  list_->setVisible(rows_->rowCount() > 0);
  connect(list_, &QTableView::activated, this, &VerifyReportDialog::ShowInBrowser);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* show = buttons->addButton(ToQString(desktop::kShowInBrowser), QDialogButtonBox::ActionRole);
  show->setObjectName("showInBrowser");
  show->setEnabled(rows_->rowCount() > 0);
  QPushButton* copy = buttons->addButton(ToQString(desktop::kCopy), QDialogButtonBox::ActionRole);
  copy->setObjectName("copy");
  QPushButton* save = buttons->addButton(ToQString(desktop::kSaveAsText), QDialogButtonBox::ActionRole);
  save->setObjectName("saveAsText");
  QPushButton* close = buttons->addButton(ToQString(desktop::kClose), QDialogButtonBox::RejectRole);
  close->setObjectName("close");
  close->setDefault(true);
  connect(show, &QPushButton::clicked, this, &VerifyReportDialog::ShowInBrowser);
  connect(copy, &QPushButton::clicked, this, &VerifyReportDialog::CopyReport);
  connect(save, &QPushButton::clicked, this, &VerifyReportDialog::SaveReportAsText);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(counts);
  layout->addWidget(list_, 1);
  layout->addWidget(buttons);
  const QRect screen = (owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  resize(std::min(960, screen.width() * 9 / 10), rows_->rowCount() > 0 ? 420 : 140);
  DescribeControls(*this);
}

QString VerifyReportDialog::Report() const {
  QString report = summary_;
  for (const RowIndex row : rows_->Rows()) {
    const RowVerdicts::Entry entry = verdicts_.Read(row);
    report += '\n';
    report += ToQString(FileReportLine(catalogue_.GetCatalogueCell(row, kCellPath), entry.verdict, entry.reason));
  }
  return report;
}

void VerifyReportDialog::CopyReport() { CopyReportText(Report()); }

void VerifyReportDialog::SaveReportAsText() { SaveReportText(this, Report(), bkfPath_); }

void VerifyReportDialog::ShowInBrowser() {
  const QModelIndex current = list_->currentIndex();
  if (!current.isValid()) return;
  const RowIndex row = rows_->RowAt(current.row());
  accept();
  emit showRowRequested(row);
}

}  // namespace tallowin
