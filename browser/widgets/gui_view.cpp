#include "browser/widgets/gui_view.h"

#include <filesystem>
#include <system_error>

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QUrl>

#include "save/snapshot_bkf_check.h"
#include "browser/widgets/accessible_names.h"
#include "browser/widgets/browser_filters.h"
#include "browser/widgets/browser_menus.h"
#include "browser/widgets/browser_views.h"
#include "browser/widgets/catalogue_list_model.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/file_commands.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/file_list_model.h"
#include "browser/widgets/folder_tree_model.h"
#include "browser/widgets/hover_button.h"
#include "browser/widgets/item_look.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/recovery_report.h"
#include "browser/widgets/rename_dialog.h"
#include "browser/widgets/snapshot_target.h"
#include "browser/widgets/text_qt.h"
#include "catalog/program_texts.h"
#include "engine/recovery_session.h"
#include "catalog/text_convert.h"

namespace tallowin {
namespace {

void Place(QWidget* widget, const ViewRect& rect) {
  widget->setGeometry(rect.left, rect.top, std::max(rect.width, 0), std::max(rect.height, 0));
}

// A picture button, and the key that presses it (the picture holds no text
// to underline).
CHoverButton* PictureButton(QWidget* parent, const char* name, const char* picture, QSize size, const char* key) {
  auto* button = new CHoverButton(parent);
  button->setObjectName(name);
  button->SetPicture(pictures::Render(picture, size));
  button->setShortcut(QKeySequence(key));
  return button;
}

QString ChooseFile(QWidget* owner, std::u16string_view title, std::u16string_view filter, const QString& kind) {
  CNKFileDialog dialog(owner, ToQString(title));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(NameFiltersFromPairs(ToQString(filter)));
  if (const QString folder = LastFolder(kind); !folder.isEmpty()) dialog.setDirectory(folder);
  const QString chosen = RunFileDialog(dialog);
  KeepLastFolder(kind, chosen);
  return chosen;
}

// A local file named by what was dragged: exactly one, or nothing.
QString DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile()) {
    return {};
  }
  return data->urls().constFirst().toLocalFile();
}

// A keyboard command of one view, shown where its menu item is.
QAction* ViewShortcut(QWidget* view, const QKeySequence& keys) {
  auto* action = new QAction(view);
  action->setShortcut(keys);
  action->setShortcutContext(Qt::WidgetShortcut);
  view->addAction(action);
  return action;
}

}  // namespace

CGUI_RezEreView::CGUI_RezEreView(SharedValues& values, QWidget* parent, FileTypeLookup lookup,
                                 BkfOpener opener)
    : QWidget(parent),
      values_(values),
      session_(values, std::move(lookup), std::move(opener)),
      browser_(session_.GetCatalogue(), checks_),
      catalogueModel_(std::make_unique<CatalogueListModel>(session_.GetCatalogue(), session_.Verdicts())),
      treeModel_(std::make_unique<FolderTreeModel>(session_.GetCatalogue(), checks_, marks_)),
      fileModel_(std::make_unique<FileListModel>(browser_, session_.GetCatalogue(), session_.Verdicts(), marks_)),
      filters_(new BrowserFilters(browser_, session_.GetCatalogue(), session_.Verdicts(), *fileModel_,
                                  *catalogueModel_, this)),
      commands_(new FileCommands(session_, values, this)),
      refresh_(new QTimer(this)) {
  setObjectName("view");
  setAcceptDrops(true);
  CreateBrowserPage();
  CreateStartPage();
  // Created after the lists that use it, so that it is deleted after them.
  auto* checkStyle = new CheckImageStyle;
  checkStyle->setParent(this);
  tree_->setStyle(checkStyle);
  fileList_->setStyle(checkStyle);
  catalogueList_->setStyle(checkStyle);
  ConnectBrowser();
  connect(commands_, &FileCommands::progressPercent, this, &CGUI_RezEreView::progressPercent);
  connect(commands_, &FileCommands::verdictsChanged, this, &CGUI_RezEreView::OnVerdictsChanged);
  connect(commands_, &FileCommands::markRequested, this, &CGUI_RezEreView::MarkRow);
  connect(commands_, &FileCommands::showRowRequested, this, &CGUI_RezEreView::ShowRow);

  refresh_->setInterval(kRefreshMilliseconds);
  connect(refresh_, &QTimer::timeout, this, &CGUI_RezEreView::FollowScan);
  ScanEvents& events = session_.Events();
  connect(&events, &ScanEvents::openFailed, this, &CGUI_RezEreView::OnOpenFailed);
  connect(&events, &ScanEvents::searching, this, [this](const QString& label) {
    searchingLabel_->setText(label);
    searchingLabel_->show();
  });
  connect(&events, &ScanEvents::stopped, this, [this] {
    progressBar_->hide();
    stop_->hide();
  });
  connect(&events, &ScanEvents::finished, this, &CGUI_RezEreView::OnScanFinished);
  connect(&session_, &RecoverySessionController::loadFinished, this, &CGUI_RezEreView::OnLoadFinished);
  connect(&session_, &RecoverySessionController::snapshotSaved, this, [this](bool ok, const QString& error) {
    if (!ok) ShowMessage(this, ToQString(texts::kSnapshotNotSaved) + error, mb::kIconExclamation);
    emit snapshotSaved(ok);
  });

  ShowBrowserPage(false);
  HideScanControls();
  back_->hide();
  save_->hide();
  ShowStartPage(true);
  DescribeControls(*this);
}

CGUI_RezEreView::~CGUI_RezEreView() { FinishBackgroundWork(); }

void CGUI_RezEreView::CreateStartPage() {
  prompt_ = new QLabel(ToQString(texts::kPrompt), this);
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

  browse_ = new QPushButton(ToQString(texts::kBrowseButton), this);
  browse_->setObjectName("browse");
  connect(browse_, &QPushButton::clicked, this, &CGUI_RezEreView::Browse);

  next_ = PictureButton(this, "next", pictures::kNextButton, QSize(92, 39), "Alt+N");
  next_->setToolTip(ToQString(texts::kNextTooltip));
  connect(next_, &QAbstractButton::clicked, this, &CGUI_RezEreView::Recover);
}

void CGUI_RezEreView::CreateBrowserPage() {
  tree_ = new FolderTreeView(this);
  tree_->setObjectName("folderTree");
  tree_->setModel(treeModel_.get());

  fileList_ = new FileListView(this);
  fileList_->setObjectName("fileList");
  fileList_->setModel(filters_->FileList());
  // The widest date and size a row can show.
  const QString date = "88/88/8888 88:88:88";
  const QString size = "8888888888888";
  const QString fileSamples[FileListModel::kColumnCount] = {{}, {}, size, date, date, {}};
  FitColumnWidths(*fileList_, *fileList_->header(), FileListModel::kColumnWidths, fileSamples);

  caption_ = new QLabel(this);
  caption_->setObjectName("caption");
  caption_->setPixmap(pictures::Render(pictures::kCaption, QSize(990, 21)));
  caption_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  catalogueList_ = new CatalogueListView(this);
  catalogueList_->setObjectName("catalogueList");
  catalogueList_->setModel(filters_->CatalogueList());
  UseFixedRowTable(*catalogueList_);
  for (int column = 0; column < CatalogueListModel::kColumnCount; ++column) {
    catalogueList_->setColumnHidden(column, CatalogueListModel::kColumnWidths[column] == 0);
  }
  FitColumnWidths(*catalogueList_, *catalogueList_->horizontalHeader(), CatalogueListModel::kColumnWidths, {});
  // The verdict beside the name, where the wide size column cannot push it out of sight.
  catalogueList_->horizontalHeader()->moveSection(CatalogueListModel::kVerdictColumn, 1);

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

  stop_ = PictureButton(this, "stop", pictures::kStopButton, QSize(80, 39), "Alt+P");
  stop_->setToolTip(ToQString(texts::kStopTooltip));
  connect(stop_, &QAbstractButton::clicked, this, &CGUI_RezEreView::StopClicked);
  back_ = PictureButton(this, "back", pictures::kBackButton, QSize(77, 39), "Alt+B");
  back_->setToolTip(ToQString(texts::kBackTooltip));
  connect(back_, &QAbstractButton::clicked, this, &CGUI_RezEreView::Back);
  save_ = PictureButton(this, "save", pictures::kSaveButton, QSize(77, 39), "Alt+S");
  save_->setToolTip(ToQString(texts::kSaveTooltip));
  connect(save_, &QAbstractButton::clicked, this, &CGUI_RezEreView::SaveCheckedFiles);
  verify_ = PictureButton(this, "verify", pictures::kVerifyButton, QSize(77, 39), "Alt+V");
  verify_->setToolTip(ToQString(desktop::kVerifyAllTooltip));
  connect(verify_, &QAbstractButton::clicked, this, &CGUI_RezEreView::VerifyAllFiles);

  // The borders between the panes move where the user drags them.
  treeHandle_ = new SplitHandle(Qt::Horizontal, this);
  treeHandle_->setObjectName("treeHandle");
  listHandle_ = new SplitHandle(Qt::Vertical, this);
  listHandle_->setObjectName("listHandle");
  connect(treeHandle_, &SplitHandle::dragged, this, [this](int x) {
    split_.treeWidth = x - 10;
    PlaceControls();
  });
  connect(listHandle_, &SplitHandle::dragged, this, [this](int y) {
    split_.captionTop = y;
    PlaceControls();
  });
  connect(treeHandle_, &SplitHandle::released, this, &CGUI_RezEreView::splitChanged);
  connect(listHandle_, &SplitHandle::released, this, &CGUI_RezEreView::splitChanged);
}

void CGUI_RezEreView::ConnectBrowser() {
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            const FolderId node = FolderTreeModel::NodeOf(current);
            treeModel_->SetSelectedNode(node);
            browser_.ShowFolder(node);
            fileModel_->Reload();
          });
  connect(tree_, &FolderTreeView::checkBoxPressed, this, &CGUI_RezEreView::ToggleTreeCheckBox);
  connect(tree_, &FolderTreeView::spacePressed, this, [this] {
    const FolderId node = browser_.Selected();
    if (node == kNoFolder || RefuseDuringScan()) return;
    browser_.ToggleNode(node);
    ChecksChanged();
  });
  connect(tree_, &FolderTreeView::tabPressed, fileList_, [this] { fileList_->setFocus(Qt::TabFocusReason); });
  QAction* rename = ViewShortcut(tree_, Qt::Key_F2);
  connect(rename, &QAction::triggered, this, &CGUI_RezEreView::RenameSelectedFolder);
  for (QWidget* view : {static_cast<QWidget*>(tree_), static_cast<QWidget*>(fileList_)}) {
    connect(ViewShortcut(view, Qt::Key_Backspace), &QAction::triggered, this, &CGUI_RezEreView::GoToParentFolder);
  }
  connect(tree_, &FolderTreeView::menuRequested, this, [this](const QModelIndex&, const QPoint& at) {
    ShowContextMenu(this, at,
                    {{desktop::kSaveFilesMenu, {}, [this] { SaveCheckedFiles(); }},
                     {desktop::kRenameFolderMenu, Qt::Key_F2, [this] { RenameSelectedFolder(); }}, ParentFolderItem()});
  });

  connect(fileList_, &FileListView::checkBoxClicked, this, &CGUI_RezEreView::ToggleListCheckBox);
  connect(fileList_, &FileListView::spacePressed, this, &CGUI_RezEreView::ToggleListCheckBox);
  connect(fileList_, &FileListView::rightClickedCheckBox, this, [this](int row) {
    if (AcceptsRightClick(row)) ToggleListCheckBox(row);
  });
  connect(fileList_, &FileListView::menuRequested, this, &CGUI_RezEreView::ShowListMenu);
  connect(fileList_, &FileListView::navigationRequested, this, &CGUI_RezEreView::NavigateFrom);
  connect(fileList_, &FileListView::dragRequested, this, [this](int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < browser_.List().size() &&
        browser_.List()[static_cast<std::size_t>(row)].kind == ListRowKind::kFile) {
      commands_->Drag(browser_.List()[static_cast<std::size_t>(row)].row);
    }
  });
  connect(fileList_, &FileListView::tabPressed, tree_, [this] { tree_->setFocus(Qt::TabFocusReason); });
  connect(fileList_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
    browser_.SortByColumn(column, [this](RowIndex row) -> std::optional<std::int64_t> {
      const std::optional<FileVerdict> verdict = session_.Verdicts().Verdict(row);
      if (!verdict) return std::nullopt;
      return static_cast<std::int64_t>(*verdict);
    });
    fileList_->header()->setSortIndicatorShown(true);
    fileList_->header()->setSortIndicator(column, browser_.SortAscending() ? Qt::AscendingOrder
                                                                             : Qt::DescendingOrder);
    fileModel_->Reload();
  });

  connect(catalogueList_, &CatalogueListView::checkBoxHit, this,
          [this](int row) { MarkRow(row, !GetCatalogue().IsRowChecked(row)); });
  connect(catalogueList_, &CatalogueListView::rowActivated, this, &CGUI_RezEreView::ShowRow);
  // Tab keeps to the tree and the file list; F6 goes round all three panes.
  CycleFocus(*this, Qt::Key_F6, {tree_, fileList_, catalogueList_});
}

MenuItem CGUI_RezEreView::ParentFolderItem() {
  return {desktop::kParentFolderMenu, Qt::Key_Backspace, [this] { GoToParentFolder(); }};
}

void CGUI_RezEreView::ShowListMenu(int row, const QPoint& at) {
  if (!AcceptsRightClick(row)) return;
  const RowIndex file = browser_.List()[static_cast<std::size_t>(row)].row;
  if (browser_.List()[static_cast<std::size_t>(row)].kind != ListRowKind::kFile) {
    ShowContextMenu(this, at, {{desktop::kSaveFilesMenu, {}, [this] { SaveCheckedFiles(); }}, ParentFolderItem()});
    return;
  }
  ShowContextMenu(this, at,
                  {{desktop::kOpenMenu, Qt::Key_Return, [this, file] { commands_->Open(file); }, true},
                   {desktop::kSaveFileMenu, {}, [this, file] { commands_->SaveFile(file); }}, ParentFolderItem()});
}

void CGUI_RezEreView::MarkRow(RowIndex row, bool mark) {
  browser_.SetRowMark(row, mark);
  catalogueModel_->RowChanged(row);
  treeModel_->ChecksChanged();
  fileModel_->StatesChanged();
  userChanges_ = true;
  emit checksChanged();
}

void CGUI_RezEreView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceControls();
}

void CGUI_RezEreView::PlaceControls() {
  const ViewLayout layout = ComputeViewLayout(width(), height(), split_);
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
  Place(verify_, layout.verifyButton);
  Place(prompt_, layout.promptLabel);
  Place(pathBox_, layout.pathBox);
  Place(browse_, layout.browseButton);
  Place(next_, layout.nextButton);
  Place(treeHandle_, layout.treeHandle);
  Place(listHandle_, layout.listHandle);
  treeHandle_->raise();
  listHandle_->raise();
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
        static_cast<QWidget*>(catalogueList_), static_cast<QWidget*>(treeHandle_),
       static_cast<QWidget*>(listHandle_)}) {
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

void CGUI_RezEreView::ForgetCatalogue() {
  catalogueModel_->Reset();
  treeModel_->Reset();
  checks_.Clear();
  browser_.Forget();
  fileModel_->Reload();
  GetCatalogue().ClearFolderTree();
  GetCatalogue().ClearCatalogue();
  session_.Verdicts().Clear();
  marks_.Clear();
  filters_->Clear();
  commands_->Forget();
  userChanges_ = false;
  ShowNote({});
}

void CGUI_RezEreView::EnterBrowserPage() {
  ShowStartPage(false);
  ForgetCatalogue();
  progressBar_->setValue(0);
  progressLabel_->clear();
  foundLabel_->clear();
  back_->hide();
  save_->hide();
  verify_->hide();
  ShowBrowserPage(true);
  progressBar_->show();
  progressLabel_->show();
  foundLabel_->show();
  stop_->show();
  state_ = kBrowserPage;
  update();
  timeLeft_.Start();
  refresh_->start();
  emit stateChanged();
}

void CGUI_RezEreView::Browse() {
  const QString chosen = ChooseFile(this, texts::kBrowseTitle, texts::kBkfFilter, "bkf");
  if (!chosen.isEmpty()) pathBox_->setText(chosen);
}

void CGUI_RezEreView::Recover() {
  if (state_ == kBrowserPage) {
    if (!session_.Filling()) SaveCheckedFiles();
    return;
  }
  const QString path = pathBox_->text();
  if (path.isEmpty()) {
    Browse();
    return;
  }
  std::error_code error;
  if (!std::filesystem::exists(PathFromQString(path), error)) {
    ShowMessage(this, ToQString(texts::kSelectValidFile), mb::kIconExclamation);
    return;
  }
  StartRecovery(path);
}

void CGUI_RezEreView::StartRecovery(const QString& path) {
  EnterBrowserPage();
  session_.StartRecovery(ToU16(path));
  emit fileOpened(path);
}

void CGUI_RezEreView::SetSplit(const ViewSplit& split) {
  split_ = split;
  PlaceControls();
}

void CGUI_RezEreView::OpenNamedFile(const QString& path) {
  if (!MayOpenFile()) return;
  if (LooksLikeSnapshot(PathFromQString(path))) {
    LoadSnapshotFile(path);
  } else {
    pathBox_->setText(path);
    Recover();
  }
}

void CGUI_RezEreView::dragEnterEvent(QDragEnterEvent* event) {
  if (MayOpenFile() && !DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CGUI_RezEreView::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (path.isEmpty() || !MayOpenFile()) return;
  event->acceptProposedAction();
  OpenNamedFile(path);
}

void CGUI_RezEreView::FollowScan() {
  if (session_.Activity() == SessionActivity::kLoading) {
    progressBar_->setValue(session_.LoadPercent());
    emit progressPercent(session_.LoadPercent());
  } else {
    const ScanEvents::Progress progress = session_.Events().Current();
    if (progress.moved) {
      progressBar_->setValue(texts::ProgressPercent(progress.position, progress.fileSize));
      progressLabel_->setText(ToQString(desktop::ProgressLine(progress.position, progress.fileSize,
                                                               timeLeft_.SecondsLeft(progress.position, progress.fileSize))));
      emit progressPercent(texts::ProgressPercent(progress.position, progress.fileSize));
    }
    if (progress.filesFound > 0) {
      foundLabel_->setText(ToQString(texts::FilesFoundLabel(progress.filesFound)));
    }
  }
  catalogueModel_->Refresh();
  browser_.IndexNewRows();
  const QList<QModelIndex> added = treeModel_->Refresh();
  if (added.isEmpty()) return;
  {
    // New nodes open as they come; the width is measured once for all of them.
    const QSignalBlocker quiet(tree_);
    for (const QModelIndex& node : added) tree_->expand(node);
  }
  tree_->WidenToShownNames();
}

void CGUI_RezEreView::StopClicked() {
  if (ShowMessage(this, ToQString(texts::kConfirmStop),
                  mb::kYesNo | mb::kIconExclamation) != mb::kIdYes) {
    return;
  }
  stop_->hide();
  session_.Stop();
}

void CGUI_RezEreView::OnOpenFailed(const QString& message) {
  refresh_->stop();
  ShowMessage(nullptr, message, mb::kIconInformation);
  stop_->hide();
  session_.FillingShown();
  Back();
  progressBar_->hide();
}

void CGUI_RezEreView::ResetFolderTree() {
  browser_.ResetFolderTree();
  browser_.ClearList();
  fileModel_->Reload();
  treeModel_->ChecksChanged();
  tree_->collapseAll();
  const QModelIndex first = treeModel_->index(0, 0);
  if (first.isValid()) tree_->expand(first);
  tree_->resizeColumnToContents(0);
}

void CGUI_RezEreView::OnScanFinished(int rowCount, const QString& noDataMessage) {
  refresh_->stop();
  FollowScan();
  searchingLabel_->hide();
  ResetFolderTree();
  catalogueModel_->ChecksChanged();
  emit progressPercent(-1);
  emit checksChanged();
  progressBar_->hide();
  stop_->hide();
  if (rowCount > 0) {
    back_->show();
    save_->show();
    verify_->show();
    tree_->setFocus(Qt::OtherFocusReason);
    progressLabel_->clear();
    progressLabel_->hide();
    foundLabel_->clear();
    foundLabel_->hide();
    session_.FillingShown();
    const ScanTotals totals = session_.Events().LastTotals();
    emit setCatalogueNote(
        ToQString(texts::SetCatalogueNote(totals.rowsFromSetCatalogue, totals.setCatalogueFilesNotFound)));
    ShowNote(NoteOnCatalogue(session_));
    emit damageFound(ScanFoundDamage(session_));
  } else {
    ShowMessage(this, noDataMessage, mb::kIconInformation);
    session_.FillingShown();
    Back();
  }
  emit stateChanged();
  emit scanEnded(rowCount);
}

void CGUI_RezEreView::ShowNote(CatalogueNote note) {
  note_ = std::move(note);
  emit noteChanged();
}

void CGUI_RezEreView::Back() {
  if (state_ != kBrowserPage || RefuseWhileSnapshotWrites()) return;
  if (userChanges_ && ShowMessage(this, ToQString(desktop::kConfirmBack), mb::kYesNo | mb::kIconQuestion) != mb::kIdYes) {
    return;
  }
  ForgetCatalogue();
  emit damageFound(false);
  emit setCatalogueNote({});
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
  emit progressPercent(-1);
  emit checksChanged();
  emit stateChanged();
}

bool CGUI_RezEreView::RefuseWhileSnapshotWrites() {
  if (!session_.WritingSnapshot()) return false;
  ShowMessage(this, ToQString(desktop::kWaitForSnapshot), mb::kIconExclamation);
  return true;
}

bool CGUI_RezEreView::RefuseDuringScan() {
  if (!session_.Filling()) return false;
  ShowMessage(this, ToQString(texts::kScanGuard), mb::kIconQuestion);
  return true;
}

void CGUI_RezEreView::ChecksChanged() {
  userChanges_ = true;
  treeModel_->ChecksChanged();
  fileModel_->StatesChanged();
  catalogueModel_->ChecksChanged();
  emit checksChanged();
}

void CGUI_RezEreView::SelectNode(FolderId node) {
  const QModelIndex index = treeModel_->IndexOf(node);
  if (index.isValid()) tree_->setCurrentIndex(index);
}

void CGUI_RezEreView::ToggleTreeCheckBox(const QModelIndex& node) {
  if (RefuseDuringScan()) {
    tree_->setExpanded(node, !tree_->isExpanded(node));
    return;
  }
  tree_->setCurrentIndex(node);
  tree_->setFocus(Qt::MouseFocusReason);
  browser_.ToggleNode(FolderTreeModel::NodeOf(node));
  fileModel_->Reload();
  ChecksChanged();
}

bool CGUI_RezEreView::AcceptsRightClick(int row) {
  if (browser_.List()[static_cast<std::size_t>(row)].kind == ListRowKind::kParent) return false;
  if (!session_.Filling()) return true;
  ShowMessage(this, ToQString(texts::kSearchGuard), mb::kIconQuestion);
  fileList_->setFocus();
  return false;
}

void CGUI_RezEreView::ToggleListCheckBox(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= browser_.List().size()) return;
  if (browser_.List()[static_cast<std::size_t>(row)].kind == ListRowKind::kParent) return;
  if (RefuseDuringScan()) return;
  browser_.ToggleListRow(static_cast<std::size_t>(row));
  ChecksChanged();
}

void CGUI_RezEreView::NavigateFrom(int row, bool byKey) {
  if (row < 0 || static_cast<std::size_t>(row) >= browser_.List().size()) return;
  // A file opens with the desktop's program for it.
  if (const ListRow& item = browser_.List()[static_cast<std::size_t>(row)]; item.kind == ListRowKind::kFile) {
    commands_->Open(item.row);
    return;
  }
  const FolderId target = browser_.NavigationTarget(static_cast<std::size_t>(row));
  if (target == kNoFolder) return;
  SelectNode(target);
  if (byKey && fileList_->model()->rowCount() > 0) fileList_->setCurrentIndex(fileList_->model()->index(0, 0));
  fileList_->setFocus();
}

void CGUI_RezEreView::GoToParentFolder() {
  if (state_ != kBrowserPage) return;
  const QModelIndex parent = tree_->currentIndex().parent();
  if (parent.isValid()) tree_->setCurrentIndex(parent);
}

void CGUI_RezEreView::RenameSelectedFolder() {
  const FolderId node = browser_.Selected();
  if (node == kNoFolder) return;
  // Rows that a scan or load still adds would come in under the old name and
  // split the folder in two.
  if (session_.Filling()) {
    ShowMessage(this, ToQString(texts::kStopScanFirst), mb::kIconExclamation);
    return;
  }
  if (RefuseWhileSnapshotWrites()) return;
  // A refused name comes back in the box, to be mended.
  QString text = ToQString(GetCatalogue().ReadFolderTree([&](const FolderTree& tree) { return tree.Name(node); }));
  for (;;) {
    const std::optional<QString> name = CurrentRenameRoutine()(this, text);
    if (!name) return;
    const RenameResult result = browser_.RenameFolder(node, ToU16(*name));
    if (result == RenameResult::kRenamed) break;
    ShowMessage(this, RenameRefusal(result), mb::kIconExclamation);
    if (result == RenameResult::kTopLevel) return;
    text = *name;
  }
  userChanges_ = true;
  const QModelIndex index = treeModel_->IndexOf(node);
  emit treeModel_->dataChanged(index, index, {Qt::DisplayRole});
  catalogueModel_->ChecksChanged();
}

void CGUI_RezEreView::SaveCheckedFiles() {
  if (state_ == kBrowserPage) commands_->SaveChecked();
}

void CGUI_RezEreView::VerifyCheckedFiles() {
  if (state_ == kBrowserPage) commands_->Verify(RowSelection::Checked());
}

void CGUI_RezEreView::VerifyAllFiles() {
  if (state_ == kBrowserPage) commands_->Verify(RowSelection::All());
}

void CGUI_RezEreView::OnVerdictsChanged() {
  marks_.Recompute(GetCatalogue(), session_.Verdicts());
  catalogueModel_->VerdictsChanged();
  fileModel_->VerdictsChanged();
  treeModel_->MarksChanged();
  filters_->VerdictsChanged();
}

FilterBar* CGUI_RezEreView::Filter() const { return filters_->Bar(); }

FilterBar* CGUI_RezEreView::ReleaseFilter() { return filters_->ReleaseBar(); }

void CGUI_RezEreView::ShowRow(RowIndex row) {
  if (state_ != kBrowserPage || row < 0 || row >= catalogueModel_->rowCount()) return;
  filters_->Reveal(row);
  const FolderId node = browser_.NodeOfRow(row);
  if (node != kNoFolder) {
    SelectNode(node);
    tree_->scrollTo(treeModel_->IndexOf(node));
  }
  SelectListRows(row);
  fileList_->setFocus(Qt::OtherFocusReason);
}

void CGUI_RezEreView::SelectListRows(RowIndex row) {
  const std::vector<ListRow>& list = browser_.List();
  const auto found = std::find_if(list.begin(), list.end(),
                                  [row](const ListRow& item) { return item.kind == ListRowKind::kFile && item.row == row; });
  if (found != list.end()) SelectSourceRow(*fileList_, static_cast<int>(found - list.begin()));
  SelectSourceRow(*catalogueList_, row);
}

void CGUI_RezEreView::SaveSnapshot() {
  if (RefuseWhileSnapshotWrites()) return;
  const std::optional<QString> target = ChooseSnapshotTarget(this, PathFromUtf16(BkfPath()));
  if (target) session_.SaveSnapshot(ToU16(*target));
}

void CGUI_RezEreView::LoadSnapshot() {
  if (state_ != kStartPage || session_.Busy()) return;
  const QString path = ChooseFile(this, texts::kLoadSnapshotTitle, texts::kSnapshotFilter, "snapshot");
  if (!path.isEmpty()) LoadSnapshotFile(path);
}

void CGUI_RezEreView::LoadSnapshotFile(const QString& path) {
  if (state_ != kStartPage || session_.Busy()) return;
  RecoverySessionController::LoadQuestions questions;
  bkfReplaced_ = false;
  questions.locateMissingBkf = [this](std::u16string_view recorded) -> std::optional<std::u16string> {
    ShowMessage(this, ToQString(desktop::BkfMoved(recorded)), mb::kIconInformation);
    const QString chosen = ChooseFile(this, texts::kLocateBkfTitle, texts::kBkfFilter, "bkf");
    if (chosen.isEmpty()) return std::nullopt;
    pathBox_->setText(chosen);
    bkfReplaced_ = true;
    return ToU16(chosen);
  };
  questions.rowsBegin = [this](std::u16string_view) {
    EnterBrowserPage();
    progressLabel_->hide();
    foundLabel_->hide();
  };
  session_.StartLoad(ToU16(path), std::move(questions));
  emit fileOpened(path);
}

bool CGUI_RezEreView::ConfirmReplacedBkf() {
  for (;;) {
    const std::unique_ptr<BkfReader> bkf = session_.Opener()(PathFromUtf16(BkfPath()));
    if (bkf != nullptr && HoldsCatalogueData(GetCatalogue(), *bkf)) return true;
    ShowMessage(this, ToQString(texts::kWrongBkf), mb::kIconExclamation);
    const QString chosen = ChooseFile(this, texts::kLocateBkfTitle, texts::kBkfFilter, "bkf");
    if (chosen.isEmpty()) return false;
    pathBox_->setText(chosen);
    session_.UseBkfFile(ToU16(chosen));
  }
}

void CGUI_RezEreView::OnLoadFinished(const SnapshotLoadResult& result) {
  refresh_->stop();
  switch (result.status) {
    case SnapshotLoadStatus::kLoaded:
      // Rows read with another backup's bytes would be saved as that backup's.
      if (bkfReplaced_ && !ConfirmReplacedBkf()) {
        session_.FillingShown();
        Back();
        emit scanEnded(0);
        return;
      }
      OnScanFinished(GetCatalogue().CatalogueRowCount(), {});
      return;
    case SnapshotLoadStatus::kNoData:
      OnScanFinished(0, ToQString(result.message));
      return;
    case SnapshotLoadStatus::kOpenFailed:
      ShowMessage(this, ToQString(result.message), mb::kIconInformation);
      break;
    case SnapshotLoadStatus::kCancelled:
      break;
  }
  session_.FillingShown();
  // The tree may already have been emptied; the models start afresh.
  ForgetCatalogue();
  emit stateChanged();
  emit scanEnded(0);
}

}  // namespace tallowin
