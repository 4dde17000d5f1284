#include "browser/widgets/browser_page.h"

#include <algorithm>
#include <optional>

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSignalBlocker>

#include "browser/widgets/browser_filters.h"
#include "browser/widgets/browser_menus.h"
#include "browser/widgets/browser_state.h"
#include "browser/widgets/browser_views.h"
#include "browser/widgets/catalogue_list_model.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/file_list_model.h"
#include "browser/widgets/folder_tree_model.h"
#include "browser/widgets/hover_button.h"
#include "browser/widgets/item_look.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/recovery_commands.h"
#include "browser/widgets/recovery_session_controller.h"
#include "browser/widgets/scan_progress.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {
namespace {

// A keyboard command of one view, shown where its menu item is.
QAction* ViewShortcut(QWidget* view, const QKeySequence& keys) {
  auto* action = new QAction(view);
  action->setShortcut(keys);
  action->setShortcutContext(Qt::WidgetShortcut);
  view->addAction(action);
  return action;
}

}  // namespace

BrowserPage::BrowserPage(RecoverySessionController& session, RecoveryCommands& commands, QWidget* parent)
    : QWidget(parent),
      session_(session),
      shown_(session.Shown()),
      commands_(commands),
      guard_(session, parent),
      catalogueModel_(new CatalogueListModel(session.GetCatalogue(), session.Verdicts(), this)),
      treeModel_(new FolderTreeModel(session.GetCatalogue(), shown_.Checks(), shown_.Marks(), this)),
      fileModel_(new FileListModel(shown_.Browser(), session.GetCatalogue(), session.Verdicts(), shown_.Marks(), this)),
      filters_(new BrowserFilters(shown_.Browser(), session.GetCatalogue(), session.Verdicts(), *fileModel_,
                                  *catalogueModel_, this)) {
  setObjectName("browserPage");
  CreateLists();
  progress_ = new ScanProgress(session_, this);
  CreateButtons();
  // Created after the lists that use it, so that it is deleted after them.
  auto* checkStyle = new CheckImageStyle;
  checkStyle->setParent(this);
  tree_->setStyle(checkStyle);
  fileList_->setStyle(checkStyle);
  catalogueList_->setStyle(checkStyle);
  ConnectModels();
  ConnectViews();
}

BrowserPage::~BrowserPage() = default;

void BrowserPage::CreateLists() {
  tree_ = new FolderTreeView(this);
  tree_->setObjectName("folderTree");
  tree_->setModel(treeModel_);

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
}

void BrowserPage::CreateButtons() {
  back_ = PictureButton(this, "back", pictures::kBackButton, QSize(77, 39), "Alt+B");
  back_->setToolTip(ToQString(desktop::kBackTooltip));
  connect(back_, &QAbstractButton::clicked, this, &BrowserPage::backClicked);
  save_ = PictureButton(this, "save", pictures::kSaveButton, QSize(77, 39), "Alt+S");
  save_->setToolTip(ToQString(desktop::kSaveTooltip));
  connect(save_, &QAbstractButton::clicked, &commands_, &RecoveryCommands::SaveChecked);
  verify_ = PictureButton(this, "verify", pictures::kVerifyButton, QSize(77, 39), "Alt+V");
  verify_->setToolTip(ToQString(desktop::kVerifyAllTooltip));
  connect(verify_, &QAbstractButton::clicked, &commands_, &RecoveryCommands::VerifyAll);

  // The borders between the panes move where the user drags them.
  treeHandle_ = new SplitHandle(Qt::Horizontal, this);
  treeHandle_->setObjectName("treeHandle");
  listHandle_ = new SplitHandle(Qt::Vertical, this);
  listHandle_->setObjectName("listHandle");
  connect(treeHandle_, &SplitHandle::dragged, this, [this](int x) {
    split_.treeWidth = x - 10;
    emit splitDragged();
  });
  connect(listHandle_, &SplitHandle::dragged, this, [this](int y) {
    split_.captionTop = y;
    emit splitDragged();
  });
  connect(treeHandle_, &SplitHandle::released, this, &BrowserPage::splitReleased);
  connect(listHandle_, &SplitHandle::released, this, &BrowserPage::splitReleased);
}

void BrowserPage::ConnectModels() {
  connect(&shown_, &BrowserState::rowsAdded, catalogueModel_, &CatalogueListModel::Refresh);
  connect(&shown_, &BrowserState::rowsAdded, treeModel_, &FolderTreeModel::Refresh);
  connect(treeModel_, &FolderTreeModel::nodesAdded, this, &BrowserPage::OpenNewNodes);
  connect(&shown_, &BrowserState::listChanged, fileModel_, &FileListModel::Reload);
  connect(&shown_, &BrowserState::checksChanged, treeModel_, &FolderTreeModel::ChecksChanged);
  connect(&shown_, &BrowserState::checksChanged, fileModel_, &FileListModel::StatesChanged);
  connect(&shown_, &BrowserState::checksChanged, catalogueModel_, &CatalogueListModel::RowsChanged);
  connect(&shown_, &BrowserState::folderRenamed, treeModel_, &FolderTreeModel::NameChanged);
  // The paths of the list of recovered files hold the folder's name.
  connect(&shown_, &BrowserState::folderRenamed, catalogueModel_,
          [this] { catalogueModel_->RowsChanged(BrowserState::kAnyRow); });
  connect(&shown_, &BrowserState::verdictsChanged, catalogueModel_, &CatalogueListModel::VerdictsChanged);
  connect(&shown_, &BrowserState::verdictsChanged, fileModel_, &FileListModel::VerdictsChanged);
  connect(&shown_, &BrowserState::verdictsChanged, treeModel_, &FolderTreeModel::MarksChanged);
  connect(&shown_, &BrowserState::verdictsChanged, filters_, &BrowserFilters::VerdictsChanged);
}

void BrowserPage::ConnectViews() {
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    const FolderId node = FolderTreeModel::NodeOf(current);
    treeModel_->SetSelectedNode(node);
    shown_.ShowFolder(node);
  });
  connect(tree_, &FolderTreeView::checkBoxPressed, this, &BrowserPage::ToggleTreeCheckBox);
  connect(tree_, &FolderTreeView::spacePressed, this, [this] {
    const FolderId node = shown_.Browser().Selected();
    if (node == kNoFolder || !guard_.Permits(SessionCommand::kCheckFiles)) return;
    shown_.ToggleFolder(node);
  });
  connect(tree_, &FolderTreeView::tabPressed, fileList_, [this] { fileList_->setFocus(Qt::TabFocusReason); });
  const auto rename = [this] { commands_.RenameFolder(shown_.Browser().Selected()); };
  connect(ViewShortcut(tree_, Qt::Key_F2), &QAction::triggered, this, rename);
  for (QWidget* view : {static_cast<QWidget*>(tree_), static_cast<QWidget*>(fileList_)}) {
    connect(ViewShortcut(view, Qt::Key_Backspace), &QAction::triggered, this, &BrowserPage::GoToParentFolder);
  }
  connect(tree_, &FolderTreeView::menuRequested, this, [this, rename](const QModelIndex&, const QPoint& at) {
    ShowTreeMenu(parentWidget(), at,
                 {.saveChecked = [this] { commands_.SaveChecked(); },
                  .renameFolder = rename,
                  .parentFolder = [this] { GoToParentFolder(); }});
  });

  connect(fileList_, &FileListView::checkBoxClicked, this, &BrowserPage::ToggleListCheckBox);
  connect(fileList_, &FileListView::spacePressed, this, &BrowserPage::ToggleListCheckBox);
  connect(fileList_, &FileListView::rightClickedCheckBox, this, [this](int row) {
    if (AcceptsRightClick(row)) ToggleListCheckBox(row);
  });
  connect(fileList_, &FileListView::menuRequested, this, &BrowserPage::ShowListMenu);
  connect(fileList_, &FileListView::navigationRequested, this, &BrowserPage::NavigateFrom);
  connect(fileList_, &FileListView::dragRequested, this, [this](int row) {
    const std::vector<ListRow>& list = shown_.Browser().List();
    if (row >= 0 && static_cast<std::size_t>(row) < list.size() &&
        list[static_cast<std::size_t>(row)].kind == ListRowKind::kFile) {
      commands_.Files().Drag(list[static_cast<std::size_t>(row)].row);
    }
  });
  connect(fileList_, &FileListView::tabPressed, tree_, [this] { tree_->setFocus(Qt::TabFocusReason); });
  connect(fileList_->header(), &QHeaderView::sectionClicked, this, &BrowserPage::SortFileList);

  connect(catalogueList_, &CatalogueListView::checkBoxHit, this,
          [this](int row) { shown_.MarkRow(row, !session_.GetCatalogue().IsRowChecked(row)); });
  connect(catalogueList_, &CatalogueListView::rowActivated, this, &BrowserPage::ShowRow);
  // Tab keeps to the tree and the file list; F6 goes round all three panes.
  CycleFocus(*parentWidget(), Qt::Key_F6, {tree_, fileList_, catalogueList_});
}

FilterBar* BrowserPage::Filter() const { return filters_->Bar(); }

FilterBar* BrowserPage::ReleaseFilter() { return filters_->ReleaseBar(); }

void BrowserPage::Place(const ViewLayout& layout) {
  PlaceWidget(*tree_, layout.folderTree);
  PlaceWidget(*fileList_, layout.fileList);
  PlaceWidget(*caption_, layout.captionImage);
  PlaceWidget(*catalogueList_, layout.catalogueList);
  progress_->Place(layout);
  PlaceWidget(*back_, layout.backButton);
  PlaceWidget(*save_, layout.saveButton);
  PlaceWidget(*verify_, layout.verifyButton);
  PlaceWidget(*treeHandle_, layout.treeHandle);
  PlaceWidget(*listHandle_, layout.listHandle);
  treeHandle_->raise();
  listHandle_->raise();
}

void BrowserPage::Begin() {
  back_->hide();
  save_->hide();
  verify_->hide();
  show();
  progress_->Begin();
}

void BrowserPage::OpenNewNodes(const QList<QModelIndex>& added) {
  if (added.isEmpty()) return;
  {
    // New nodes open as they come; the width is measured once for all of them.
    const QSignalBlocker quiet(tree_);
    for (const QModelIndex& node : added) tree_->expand(node);
  }
  tree_->WidenToShownNames();
}

void BrowserPage::ShowEnd(bool rows) {
  progress_->End(rows);
  shown_.CheckEveryRow();
  tree_->collapseAll();
  const QModelIndex first = treeModel_->index(0, 0);
  if (first.isValid()) tree_->expand(first);
  tree_->resizeColumnToContents(0);
  if (!rows) return;
  back_->show();
  save_->show();
  verify_->show();
  tree_->setFocus(Qt::OtherFocusReason);
}

void BrowserPage::Leave() {
  hide();
  back_->hide();
  save_->hide();
  verify_->hide();
  progress_->Clear();
}

void BrowserPage::Forget() {
  catalogueModel_->Reset();
  treeModel_->Reset();
  filters_->Clear();
}

void BrowserPage::SelectNode(FolderId node) {
  const QModelIndex index = treeModel_->IndexOf(node);
  if (index.isValid()) tree_->setCurrentIndex(index);
}

void BrowserPage::ToggleTreeCheckBox(const QModelIndex& node) {
  if (!guard_.Permits(SessionCommand::kCheckFiles)) {
    tree_->setExpanded(node, !tree_->isExpanded(node));
    return;
  }
  tree_->setCurrentIndex(node);
  tree_->setFocus(Qt::MouseFocusReason);
  shown_.ToggleFolder(FolderTreeModel::NodeOf(node));
}

bool BrowserPage::AcceptsRightClick(int row) {
  if (shown_.Browser().List()[static_cast<std::size_t>(row)].kind == ListRowKind::kParent) return false;
  if (guard_.Permits(SessionCommand::kFileMenu)) return true;
  fileList_->setFocus();
  return false;
}

void BrowserPage::ToggleListCheckBox(int row) {
  const std::vector<ListRow>& list = shown_.Browser().List();
  if (row < 0 || static_cast<std::size_t>(row) >= list.size()) return;
  if (list[static_cast<std::size_t>(row)].kind == ListRowKind::kParent) return;
  if (!guard_.Permits(SessionCommand::kCheckFiles)) return;
  shown_.ToggleListRow(static_cast<std::size_t>(row));
}

void BrowserPage::ShowListMenu(int row, const QPoint& at) {
  if (!AcceptsRightClick(row)) return;
  const ListRow& item = shown_.Browser().List()[static_cast<std::size_t>(row)];
  FileCommands& files = commands_.Files();
  ShowFileListMenu(parentWidget(), at,
                   {.saveChecked = [this] { commands_.SaveChecked(); },
                    .parentFolder = [this] { GoToParentFolder(); },
                    .open = [&files](RowIndex file) { files.Open(file); },
                    .saveFile = [&files](RowIndex file) { files.SaveFile(file); }},
                   item.kind == ListRowKind::kFile ? std::optional<RowIndex>(item.row) : std::nullopt);
}

void BrowserPage::NavigateFrom(int row, bool byKey) {
  const std::vector<ListRow>& list = shown_.Browser().List();
  if (row < 0 || static_cast<std::size_t>(row) >= list.size()) return;
  // A file opens with the desktop's program for it.
  if (const ListRow& item = list[static_cast<std::size_t>(row)]; item.kind == ListRowKind::kFile) {
    commands_.Files().Open(item.row);
    return;
  }
  const FolderId target = shown_.Browser().NavigationTarget(static_cast<std::size_t>(row));
  if (target == kNoFolder) return;
  SelectNode(target);
  if (byKey && fileList_->model()->rowCount() > 0) fileList_->setCurrentIndex(fileList_->model()->index(0, 0));
  fileList_->setFocus();
}

void BrowserPage::GoToParentFolder() {
  if (!guard_.Permits(SessionCommand::kBrowse)) return;
  const QModelIndex parent = tree_->currentIndex().parent();
  if (parent.isValid()) tree_->setCurrentIndex(parent);
}

void BrowserPage::SortFileList(int column) {
  shown_.SortByColumn(column, [this](RowIndex row) -> std::optional<std::int64_t> {
    const std::optional<FileVerdict> verdict = session_.Verdicts().Verdict(row);
    if (!verdict) return std::nullopt;
    return static_cast<std::int64_t>(*verdict);
  });
  fileList_->header()->setSortIndicatorShown(true);
  fileList_->header()->setSortIndicator(column, shown_.Browser().SortAscending() ? Qt::AscendingOrder
                                                                                  : Qt::DescendingOrder);
}

void BrowserPage::ShowRow(RowIndex row) {
  if (!guard_.Permits(SessionCommand::kBrowse) || row < 0 || row >= catalogueModel_->rowCount()) return;
  filters_->Reveal(row);
  const FolderId node = shown_.Browser().NodeOfRow(row);
  if (node != kNoFolder) {
    SelectNode(node);
    tree_->scrollTo(treeModel_->IndexOf(node));
  }
  SelectListRows(row);
  fileList_->setFocus(Qt::OtherFocusReason);
}

void BrowserPage::SelectListRows(RowIndex row) {
  const std::vector<ListRow>& list = shown_.Browser().List();
  const auto found = std::find_if(list.begin(), list.end(),
                                  [row](const ListRow& item) { return item.kind == ListRowKind::kFile && item.row == row; });
  if (found != list.end()) SelectSourceRow(*fileList_, static_cast<int>(found - list.begin()));
  SelectSourceRow(*catalogueList_, row);
}

}  // namespace tallowin
