#include "browser/gui_view.h"

#include <filesystem>
#include <system_error>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimer>
#include <QTreeView>

#include "browser/catalogue_list_model.h"
#include "browser/file_dialog.h"
#include "browser/file_list_model.h"
#include "browser/folder_tree_model.h"
#include "browser/hover_button.h"
#include "browser/item_look.h"
#include "browser/message_box.h"
#include "browser/pictures.h"
#include "browser/text_qt.h"
#include "catalog/program_texts.h"
#include "catalog/recovery_session.h"

namespace tallowin {
namespace {

void Place(QWidget* widget, const ViewRect& rect) {
  widget->setGeometry(rect.left, rect.top, std::max(rect.width, 0), std::max(rect.height, 0));
}

CHoverButton* PictureButton(QWidget* parent, const char* name, const char* picture, QSize size) {
  auto* button = new CHoverButton(parent);
  button->setObjectName(name);
  button->SetPicture(pictures::Render(picture, size));
  return button;
}

}  // namespace

CGUI_RezEreView::CGUI_RezEreView(SharedValues& values, QWidget* parent, FileTypeLookup lookup,
                                 BkfOpener opener)
    : QWidget(parent),
      values_(values),
      catalogue_(lookup ? std::move(lookup) : GenericFileType),
      scanner_(catalogue_, values_.log, events_, std::move(opener)),
      catalogueModel_(std::make_unique<CatalogueListModel>(catalogue_)),
      treeModel_(std::make_unique<FolderTreeModel>(catalogue_, checks_)),
      fileModel_(std::make_unique<FileListModel>()),
      refresh_(new QTimer(this)) {
  setObjectName("view");
  CreateBrowserPage();
  CreateStartPage();
  // Created after the lists that use it, so that it is deleted after them.
  auto* checkStyle = new CheckImageStyle;
  checkStyle->setParent(this);
  tree_->setStyle(checkStyle);
  fileList_->setStyle(checkStyle);
  catalogueList_->setStyle(checkStyle);

  refresh_->setInterval(kRefreshMilliseconds);
  connect(refresh_, &QTimer::timeout, this, &CGUI_RezEreView::FollowScan);
  connect(&events_, &ScanEvents::openFailed, this, &CGUI_RezEreView::OnOpenFailed);
  connect(&events_, &ScanEvents::searching, this, [this](const QString& label) {
    searchingLabel_->setText(label);
    searchingLabel_->show();
  });
  connect(&events_, &ScanEvents::stopped, this, [this] {
    progressBar_->hide();
    stop_->hide();
  });
  connect(&events_, &ScanEvents::finished, this, &CGUI_RezEreView::OnScanFinished);

  ShowBrowserPage(false);
  HideScanControls();
  back_->hide();
  save_->hide();
  ShowStartPage(true);
}

CGUI_RezEreView::~CGUI_RezEreView() { scanner_.Stop(); }

void CGUI_RezEreView::CreateStartPage() {
  prompt_ = new QLabel("Please select the file to repair", this);
  prompt_->setObjectName("prompt");
  QFont promptFont("Arial");
  promptFont.setPixelSize(16);
  prompt_->setFont(promptFont);
  prompt_->setStyleSheet("color: white; background: transparent;");

  pathBox_ = new QLineEdit(this);
  pathBox_->setObjectName("pathBox");
  QFont boxFont("Ms Sans Serif");
  boxFont.setPixelSize(16);
  pathBox_->setFont(boxFont);
  connect(pathBox_, &QLineEdit::returnPressed, this, &CGUI_RezEreView::Recover);

  browse_ = new QPushButton("&Browse...", this);
  browse_->setObjectName("browse");
  connect(browse_, &QPushButton::clicked, this, &CGUI_RezEreView::Browse);

  next_ = PictureButton(this, "next", pictures::kNextButton, QSize(92, 39));
  next_->setToolTip("Add Files to repair");
  connect(next_, &QAbstractButton::clicked, this, &CGUI_RezEreView::Recover);
}

void CGUI_RezEreView::CreateBrowserPage() {
  tree_ = new QTreeView(this);
  tree_->setObjectName("folderTree");
  tree_->setModel(treeModel_.get());
  tree_->setHeaderHidden(true);
  tree_->setUniformRowHeights(true);
  // Long names scroll sideways instead of being cut short; the width follows
  // what is expanded when the user opens a node and when a scan ends.
  tree_->header()->setStretchLastSection(false);
  connect(tree_, &QTreeView::expanded, tree_, [this] { tree_->resizeColumnToContents(0); });

  fileList_ = new QTreeView(this);
  fileList_->setObjectName("fileList");
  fileList_->setModel(fileModel_.get());
  fileList_->setRootIsDecorated(false);
  fileList_->setUniformRowHeights(true);
  fileList_->setAllColumnsShowFocus(true);
  fileList_->setItemDelegate(new GridLineDelegate(fileList_));
  fileList_->header()->setSortIndicatorShown(true);
  fileList_->header()->setSortIndicator(-1, Qt::AscendingOrder);
  fileList_->header()->setSectionsClickable(true);
  for (int column = 0; column < FileListModel::kColumnCount; ++column) {
    fileList_->setColumnWidth(column, FileListModel::kColumnWidths[column]);
  }

  caption_ = new QLabel(this);
  caption_->setObjectName("caption");
  caption_->setPixmap(pictures::Render(pictures::kCaption, QSize(990, 21)));
  caption_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  catalogueList_ = new QTableView(this);
  catalogueList_->setObjectName("catalogueList");
  catalogueList_->setModel(catalogueModel_.get());
  // Rows of one fixed height: a million rows cost the list no measuring,
  // and new rows no layout of the ones before them.
  catalogueList_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  catalogueList_->verticalHeader()->setDefaultSectionSize(catalogueList_->fontMetrics().height() + 4);
  catalogueList_->verticalHeader()->hide();
  catalogueList_->horizontalHeader()->setHighlightSections(false);
  catalogueList_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  catalogueList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  catalogueList_->setWordWrap(false);
  for (int column = 0; column < kCatalogueCellCount; ++column) {
    const int width = CatalogueListModel::kColumnWidths[column];
    catalogueList_->setColumnWidth(column, width);
    catalogueList_->setColumnHidden(column, width == 0);
  }

  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName("progressBar");
  progressBar_->setRange(0, 100);
  progressBar_->setTextVisible(false);
  searchingLabel_ = new QLabel(this);
  searchingLabel_->setObjectName("searchingLabel");
  progressLabel_ = new QLabel(this);
  progressLabel_->setObjectName("progressLabel");
  foundLabel_ = new QLabel(this);
  foundLabel_->setObjectName("foundLabel");

  stop_ = PictureButton(this, "stop", pictures::kStopButton, QSize(80, 39));
  stop_->setToolTip("Stop the scan");
  connect(stop_, &QAbstractButton::clicked, this, &CGUI_RezEreView::StopClicked);
  back_ = PictureButton(this, "back", pictures::kBackButton, QSize(77, 39));
  back_->setToolTip("Back to the choice of a file");
  connect(back_, &QAbstractButton::clicked, this, &CGUI_RezEreView::Back);
  save_ = PictureButton(this, "save", pictures::kSaveButton, QSize(77, 39));
  save_->setToolTip("Save the checked files");
  connect(save_, &QAbstractButton::clicked, this, &CGUI_RezEreView::saveRequested);
}

void CGUI_RezEreView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceControls();
}

void CGUI_RezEreView::PlaceControls() {
  const ViewLayout layout = ComputeViewLayout(width(), height());
  Place(tree_, layout.folderTree);
  Place(fileList_, layout.fileList);
  Place(caption_, layout.captionImage);
  Place(catalogueList_, layout.catalogueList);
  Place(progressBar_, layout.progressBar);
  Place(searchingLabel_, layout.searchingLabel);
  Place(progressLabel_, layout.progressLabel);
  Place(foundLabel_, layout.foundFilesLabel);
  Place(stop_, layout.stopButton);
  Place(back_, layout.backButton);
  Place(save_, layout.saveButton);
  Place(prompt_, layout.promptLabel);
  Place(pathBox_, layout.pathBox);
  Place(browse_, layout.browseButton);
  Place(next_, layout.nextButton);
}

void CGUI_RezEreView::paintEvent(QPaintEvent*) {
  // The start page's white prompt stands on a dark picture.
  if (state_ != kStartPage) return;
  if (background_.size() != size()) background_ = pictures::Render(pictures::kStartPage, size());
  QPainter painter(this);
  painter.drawPixmap(0, 0, background_);
}

void CGUI_RezEreView::ShowStartPage(bool shown) {
  for (QWidget* control : {static_cast<QWidget*>(prompt_), static_cast<QWidget*>(pathBox_),
                           static_cast<QWidget*>(browse_), static_cast<QWidget*>(next_)}) {
    control->setVisible(shown);
  }
}

void CGUI_RezEreView::ShowBrowserPage(bool shown) {
  for (QWidget* control :
       {static_cast<QWidget*>(tree_), static_cast<QWidget*>(fileList_), static_cast<QWidget*>(caption_),
        static_cast<QWidget*>(catalogueList_)}) {
    control->setVisible(shown);
  }
}

void CGUI_RezEreView::HideScanControls() {
  progressBar_->setValue(0);
  for (QWidget* control : {static_cast<QWidget*>(progressBar_), static_cast<QWidget*>(searchingLabel_),
                           static_cast<QWidget*>(progressLabel_), static_cast<QWidget*>(foundLabel_),
                           static_cast<QWidget*>(stop_)}) {
    control->hide();
  }
}

void CGUI_RezEreView::Browse() {
  CNKFileDialog dialog(this, "Select BKF file for recovery...");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(NameFiltersFromPairs("Backup Files(*.bkf)|*.bkf| All Files(*.*)|*.*||"));
  const QString chosen = RunFileDialog(dialog);
  if (!chosen.isEmpty()) pathBox_->setText(chosen);
}

void CGUI_RezEreView::Recover() {
  if (state_ == kBrowserPage) {
    if (!values_.scanRunning) emit saveRequested();
    return;
  }
  const QString path = pathBox_->text();
  if (path.isEmpty()) {
    Browse();
    return;
  }
  std::error_code error;
  if (!std::filesystem::exists(PathFromQString(path), error)) {
    ShowMessage(this, "Please select valid file by using Browse Button", mb::kIconExclamation);
    return;
  }
  StartRecovery(path);
}

void CGUI_RezEreView::StartRecovery(const QString& path) {
  ShowStartPage(false);
  // Whatever an earlier recovery left goes before the models show anything new.
  if (recoveryWorker_.joinable()) recoveryWorker_.join();
  catalogueModel_->Reset();
  treeModel_->Reset();
  checks_.Clear();
  catalogue_.ClearFolderTree();
  catalogue_.ClearCatalogue();
  events_.Clear();
  progressBar_->setValue(0);
  progressLabel_->clear();
  foundLabel_->clear();
  back_->hide();
  save_->hide();
  ShowBrowserPage(true);
  progressBar_->show();
  progressLabel_->show();
  foundLabel_->show();
  stop_->show();
  state_ = kBrowserPage;
  update();

  bkfPath_ = ToU16(path);
  LogRecoveryStart(values_.log, bkfPath_);
  values_.scanRunning = true;
  refresh_->start();
  recoveryWorker_ = std::jthread([this, file = PathFromQString(path)] {
    RunRecoveryWorker(catalogue_, scanner_, values_.log, file);
  });
}

void CGUI_RezEreView::FollowScan() {
  const ScanEvents::Progress progress = events_.Current();
  if (progress.moved) {
    progressBar_->setValue(texts::ProgressPercent(progress.position, progress.fileSize));
    progressLabel_->setText(ToQString(texts::ProgressLabel(progress.position, progress.fileSize)));
  }
  if (progress.filesFound > 0) foundLabel_->setText(ToQString(texts::FilesFoundLabel(progress.filesFound)));
  catalogueModel_->Refresh();
  const QList<QModelIndex> added = treeModel_->Refresh();
  if (added.isEmpty()) return;
  {
    // New nodes open as they come; the width is measured once for all of them.
    const QSignalBlocker quiet(tree_);
    for (const QModelIndex& node : added) tree_->expand(node);
  }
  tree_->resizeColumnToContents(0);
}

void CGUI_RezEreView::StopClicked() {
  if (ShowMessage(this, "Do you really want to stop repairing process",
                  mb::kYesNo | mb::kIconExclamation) != mb::kIdYes) {
    return;
  }
  stop_->hide();
  stopFlag_ = true;
  scanner_.Stop();
}

void CGUI_RezEreView::OnOpenFailed(const QString& message) {
  refresh_->stop();
  ShowMessage(nullptr, message, mb::kIconInformation);
  stop_->hide();
  values_.scanRunning = false;
  Back();
  progressBar_->hide();
}

void CGUI_RezEreView::OnScanFinished(int rowCount, const QString& noDataMessage) {
  refresh_->stop();
  FollowScan();
  searchingLabel_->hide();
  ResetFolderTree();
  catalogueModel_->ChecksChanged();
  progressBar_->hide();
  stop_->hide();
  if (rowCount > 0) {
    back_->show();
    save_->show();
    progressLabel_->clear();
    progressLabel_->hide();
    foundLabel_->clear();
    foundLabel_->hide();
    values_.scanRunning = false;
  } else {
    ShowMessage(this, noDataMessage, mb::kIconInformation);
    values_.scanRunning = false;
    Back();
  }
  emit scanEnded(rowCount);
}

void CGUI_RezEreView::ResetFolderTree() {
  checks_.CheckAll(catalogue_.ReadFolderTree([](const FolderTree& tree) { return tree.NodeCount(); }));
  treeModel_->ChecksChanged();
  tree_->collapseAll();
  const QModelIndex first = treeModel_->index(0, 0);
  if (first.isValid()) tree_->expand(first);
  tree_->resizeColumnToContents(0);
}

void CGUI_RezEreView::Back() {
  if (state_ != kBrowserPage) return;
  catalogueModel_->Reset();
  treeModel_->Reset();
  checks_.Clear();
  catalogue_.ClearFolderTree();
  catalogue_.ClearCatalogue();
  ShowBrowserPage(false);
  next_->hide();
  back_->hide();
  save_->hide();
  HideScanControls();
  progressLabel_->clear();
  searchingLabel_->clear();
  foundLabel_->clear();
  ShowStartPage(true);
  state_ = kStartPage;
  update();
}

}  // namespace tallowin
