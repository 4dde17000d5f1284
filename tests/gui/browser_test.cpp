// The browser page driven as a user drives it: check boxes in the tree and
// the lists, navigation, sorting, rename, the scan guard, saving files and
// recovery snapshots.
#include <QAbstractItemModelTester>
#include <QAbstractProxyModel>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>
#include <QTreeView>

#include <atomic>
#include <optional>

#include "browser/widgets/browser_views.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/item_look.h"
#include "browser/widgets/scoped_url_launcher.h"
#include "browser/widgets/rename_dialog.h"
#include "browser/widgets/save_window.h"
#include "browser/widgets/text_qt.h"
#include "catalog/program_texts.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {

class BrowserTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString sample_;
  std::vector<std::byte> sampleBytes_;

  struct Page {
    SharedValues values;
    std::unique_ptr<CGUI_RezEreView> view;
    FolderTreeView* tree = nullptr;
    FileListView* list = nullptr;
    CatalogueListView* catalogueList = nullptr;
    // Every model of the page is checked against Qt's rules while the test runs.
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
  };

  std::unique_ptr<Page> Scanned(BkfOpener opener = OpenBkfFile, const QString& bkf = {}) {
    auto page = std::make_unique<Page>();
    page->view = std::make_unique<CGUI_RezEreView>(page->values, nullptr, nullptr, std::move(opener));
    page->view->resize(1100, 760);
    page->view->show();
    page->tree = page->view->findChild<FolderTreeView*>("folderTree");
    page->list = page->view->findChild<FileListView*>("fileList");
    page->catalogueList = page->view->findChild<CatalogueListView*>("catalogueList");
    for (QAbstractItemView* view : std::initializer_list<QAbstractItemView*>{page->tree, page->list, page->catalogueList}) {
      page->testers.push_back(std::make_unique<QAbstractItemModelTester>(view->model()));
      // The lists show their models through the quick filter: both are tried.
      if (auto* filter = qobject_cast<QAbstractProxyModel*>(view->model())) {
        page->testers.push_back(std::make_unique<QAbstractItemModelTester>(filter->sourceModel()));
      }
    }
    QSignalSpy ended(page->view.get(), &CGUI_RezEreView::scanEnded);
    page->view->PathBox()->setText(bkf.isEmpty() ? sample_ : bkf);
    page->view->Recover();
    if (!ended.wait(10000)) return nullptr;
    return page;
  }
  // The tree index of the node at `names` below the top level.
  static QModelIndex TreeIndex(const Page& page, const QStringList& names) {
    QAbstractItemModel* model = page.tree->model();
    QModelIndex at = model->index(0, 0);
    for (const QString& name : names) {
      QModelIndex next;
      for (int row = 0; row < model->rowCount(at); ++row) {
        if (model->index(row, 0, at).data().toString() == name) next = model->index(row, 0, at);
      }
      at = next;
    }
    return at;
  }
  static QPoint CheckBoxAt(QAbstractItemView& view, const ItemLookDelegate& delegate, const QModelIndex& index) {
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.widget = &view;
    option.rect = view.visualRect(index);
    return delegate.CheckRect(option, index).center();
  }
  static void ClickTreeBox(Page& page, const QModelIndex& index, Qt::MouseButton button = Qt::LeftButton) {
    page.tree->scrollTo(index);
    QTest::mouseClick(page.tree->viewport(), button, {}, CheckBoxAt(*page.tree, page.tree->Delegate(), index));
  }
  static void ClickListBox(Page& page, int row) {
    const QModelIndex index = page.list->model()->index(row, 0);
    QTest::mouseClick(page.list->viewport(), Qt::LeftButton, {}, CheckBoxAt(*page.list, page.list->Delegate(), index));
  }
  static QStringList ListNames(const Page& page) {
    QStringList names;
    for (int row = 0; row < page.list->model()->rowCount(); ++row) {
      names.append(page.list->model()->index(row, 0).data().toString());
    }
    return names;
  }
  static Qt::CheckState TreeState(const QModelIndex& index) {
    return index.data(Qt::CheckStateRole).value<Qt::CheckState>();
  }
  static std::vector<bool> Marks(Page& page) {
    std::vector<bool> marks;
    Catalogue& catalogue = page.view->GetCatalogue();
    for (RowIndex row = 0; row < catalogue.CatalogueRowCount(); ++row) marks.push_back(catalogue.IsRowChecked(row));
    return marks;
  }
  static QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }

  // Picks `text` in the context menu that the next action opens.
  static void PickInMenu(const QString& text, QStringList* shown = nullptr) {
    QTimer::singleShot(0, [text, shown] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      for (QAction* action : menu->actions()) {
        // The texts as shown, without the marks of their keys.
        const QString shownText = QString(action->text()).remove('&');
        if (shown) shown->append(action->isSeparator() ? "-" : shownText);
        if (shownText == text) action->trigger();
      }
      menu->close();
    });
  }

  // A snapshot of a copy of the sample whose BKF file then moved to `moved`;
  // `other` is a BKF file that holds another backup.
  struct MovedBackup {
    QString snapshot;
    QString moved;
    QString other;
  };
  std::optional<MovedBackup> SnapshotOfMovedBackup(const QString& name) {
    MovedBackup backup{dir_.filePath(name + ".TWBKF"), dir_.filePath(name + "-moved.bkf"),
                       dir_.filePath(name + "-other.bkf")};
    const QString moving = dir_.filePath(name + ".bkf");
    if (!QFile::copy(sample_, moving)) return std::nullopt;
    {
      auto page = Scanned(OpenBkfFile, moving);
      if (!page) return std::nullopt;
      ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return backup.snapshot; });
      QSignalSpy saved(page->view.get(), &CGUI_RezEreView::snapshotSaved);
      page->view->SaveSnapshot();
      if (!saved.wait(10000)) return std::nullopt;
    }
    if (!QFile::rename(moving, backup.moved)) return std::nullopt;
    MtfWriter other;
    other.Tape().DataSet(u"Other").Directory(u"Elsewhere");
    for (int i = 0; i < 6; ++i) other.File({.name = u"other.dat", .data = std::string(3000 + i * 517, 'o')});
    other.Align();
    other.WriteTo(PathFromQString(backup.other));
    return backup;
  }

 private slots:
  void initTestCase() {
    MtfWriter writer;
    writer.Tape().DataSet(u"Weekly").Directory(u"Docs\\Reports");
    writer.File({.name = u"q1.txt", .data = "first quarter"}).File({.name = u"q2.txt", .data = "second"});
    writer.Directory(u"Pictures").File({.name = u"cat.jpg", .data = std::string(70000, 'c')});
    writer.Directory(u"Docs").File({.name = u"b.txt", .data = std::string(1000, 'b')});
    writer.File({.name = u"a.txt", .data = std::string(20, 'a')});
    writer.Align();
    sampleBytes_ = writer.Bytes();
    sample_ = dir_.filePath("browser.bkf");
    writer.WriteTo(PathFromQString(sample_));
  }

  void treeCheckBoxSpreadsToRowsListAndAncestors() {
    auto page = Scanned();
    QVERIFY(page);
    QAbstractItemModelTester tester(page->list->model());
    const QModelIndex pictures = TreeIndex(*page, {"BACKUP SET 1(Weekly)", "Pictures"});
    page->tree->expand(pictures.parent());
    ClickTreeBox(*page, pictures);
    QCOMPARE(Marks(*page), (std::vector<bool>{true, true, false, true, true}));
    QCOMPARE(TreeState(pictures), Qt::Unchecked);
    QCOMPARE(TreeState(pictures.parent()), Qt::PartiallyChecked);
    QCOMPARE(TreeState(TreeIndex(*page, {})), Qt::PartiallyChecked);
    QCOMPARE(page->tree->currentIndex(), pictures);
    QCOMPARE(ListNames(*page), (QStringList{"..", "cat.jpg"}));
    QCOMPARE(page->list->model()->index(1, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    QVERIFY(!page->catalogueList->model()->index(2, 0).data(Qt::ForegroundRole).isValid());
    // Again: checked, and so is everything above.
    ClickTreeBox(*page, pictures);
    QCOMPARE(TreeState(TreeIndex(*page, {})), Qt::Checked);
  }

  void fileListCheckBoxesAndTheParentRow() {
    auto page = Scanned();
    QVERIFY(page);
    const QModelIndex set = TreeIndex(*page, {"BACKUP SET 1(Weekly)"});
    page->tree->setCurrentIndex(set);
    QCOMPARE(ListNames(*page), (QStringList{"..", "Docs", "Pictures"}));
    QCOMPARE(page->list->model()->index(0, 1).data().toString(), QString("Parent Folder"));
    QCOMPARE(page->list->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(220, 242, 226));
    MessageRecorder messages;
    ClickListBox(*page, 0);
    QCOMPARE(Marks(*page), std::vector<bool>(5, true));
    ClickListBox(*page, 1);  // Docs
    QCOMPARE(Marks(*page), (std::vector<bool>{false, false, true, false, false}));
    QCOMPARE(TreeState(set), Qt::PartiallyChecked);
    page->list->setCurrentIndex(page->list->model()->index(2, 0));
    QTest::keyClick(page->list, Qt::Key_Space);  // Pictures
    QCOMPARE(Marks(*page), std::vector<bool>(5, false));
    QCOMPARE(TreeState(set), Qt::Unchecked);
    QVERIFY(messages.texts.isEmpty());
  }

  void catalogueListCheckBoxUpdatesTreeAndFileListAtOnce() {
    auto page = Scanned();
    QVERIFY(page);
    const QModelIndex docs = TreeIndex(*page, {"BACKUP SET 1(Weekly)", "Docs"});
    page->tree->setCurrentIndex(docs);
    QCOMPARE(ListNames(*page), (QStringList{"..", "Reports", "b.txt", "a.txt"}));
    const QModelIndex b = page->catalogueList->model()->index(3, 0);
    QTest::mouseClick(page->catalogueList->viewport(), Qt::LeftButton, {},
                      CheckBoxAt(*page->catalogueList,
                                 static_cast<ItemLookDelegate&>(*page->catalogueList->itemDelegate()), b));
    QCOMPARE(Marks(*page), (std::vector<bool>{true, true, true, false, true}));
    QCOMPARE(TreeState(docs), Qt::PartiallyChecked);
    QCOMPARE(page->list->model()->index(2, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
  }

  void navigationByDoubleClickAndEnter() {
    auto page = Scanned();
    QVERIFY(page);
    const QModelIndex set = TreeIndex(*page, {"BACKUP SET 1(Weekly)"});
    page->tree->setCurrentIndex(set);
    const QRect docsRow = page->list->visualRect(page->list->model()->index(1, 1));
    QTest::mouseDClick(page->list->viewport(), Qt::LeftButton, {}, docsRow.center());
    QCOMPARE(page->tree->currentIndex(), TreeIndex(*page, {"BACKUP SET 1(Weekly)", "Docs"}));
    QCOMPARE(ListNames(*page), (QStringList{"..", "Reports", "b.txt", "a.txt"}));
    // Enter on a file opens it and stays in the folder; on the parent row it goes up.
    QList<QUrl> opened;
    ScopedUrlLauncher launcher([&](const QUrl& url) {
      opened.append(url);
      return true;
    });
    page->list->setCurrentIndex(page->list->model()->index(2, 0));
    QTest::keyClick(page->list, Qt::Key_Return);
    QCOMPARE(page->tree->currentIndex(), TreeIndex(*page, {"BACKUP SET 1(Weekly)", "Docs"}));
    QCOMPARE(opened.size(), 1);
    QCOMPARE(QFileInfo(opened[0].toLocalFile()).fileName(), QString("b.txt"));
    page->list->setCurrentIndex(page->list->model()->index(0, 0));
    QTest::keyClick(page->list, Qt::Key_Return);
    QCOMPARE(page->tree->currentIndex(), set);
    QCOMPARE(page->list->currentIndex().row(), 0);
  }

  void sortingTwiceReversesAndKeepsTheParentFirst() {
    auto page = Scanned();
    QVERIFY(page);
    page->tree->setCurrentIndex(TreeIndex(*page, {"BACKUP SET 1(Weekly)", "Docs"}));
    QHeaderView* header = page->list->header();
    const int sizeColumn = header->sectionViewportPosition(2) + 10;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(sizeColumn, header->height() / 2));
    QCOMPARE(ListNames(*page), (QStringList{"..", "Reports", "a.txt", "b.txt"}));  // 20 before 1000
    QCOMPARE(header->sortIndicatorSection(), 2);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(sizeColumn, header->height() / 2));
    QCOMPARE(ListNames(*page), (QStringList{"..", "b.txt", "a.txt", "Reports"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
  }

  void renameFromTheContextMenu() {
    auto page = Scanned();
    QVERIFY(page);
    const QModelIndex set = TreeIndex(*page, {"BACKUP SET 1(Weekly)"});
    page->tree->expand(set);
    const QModelIndex docs = TreeIndex(*page, {"BACKUP SET 1(Weekly)", "Docs"});
    const QPoint label = page->tree->visualRect(docs).center() + QPoint(20, 0);
    MessageRecorder messages;
    QStringList shown;
    // The box starts with the folder's name; a refused name comes back in it.
    QStringList boxTexts;
    {
      ScopedRenameRoutine answer([&](QWidget*, const QString& text) {
        boxTexts.append(text);
        return boxTexts.size() == 1 ? std::optional<QString>("a/b") : std::nullopt;
      });
      PickInMenu("Rename Folder", &shown);
      QTest::mouseClick(page->tree->viewport(), Qt::RightButton, {}, label);
      QTRY_COMPARE(messages.texts.size(), 1);
      QTRY_COMPARE(boxTexts, (QStringList{"Docs", "a/b"}));
    }
    QCOMPARE(shown, (QStringList{"Save Files", "Rename Folder", "Parent Folder", "-"}));
    QCOMPARE(messages.texts[0], QString("A folder name cannot hold any of the characters \\ / | * : ? < >"));
    QCOMPARE(page->view->GetCatalogue().GetCatalogueCell(0, kCellPath),
             u"BKF\\BACKUP SET 1(Weekly)\\Docs\\Reports\\q1.txt");
    {
      ScopedRenameRoutine answer([](QWidget*, const QString&) { return std::optional<QString>("Papers"); });
      PickInMenu("Rename Folder");
      QTest::mouseClick(page->tree->viewport(), Qt::RightButton, {}, label);
      QTRY_COMPARE(docs.data().toString(), QString("Papers"));
    }
    QCOMPARE(page->view->GetCatalogue().GetCatalogueCell(0, kCellPath),
             u"BKF\\BACKUP SET 1(Weekly)\\Papers\\Reports\\q1.txt");
    QCOMPARE(page->view->GetCatalogue().GetCatalogueCell(2, kCellPath),
             u"BKF\\BACKUP SET 1(Weekly)\\Pictures\\cat.jpg");
    QCOMPARE(messages.texts.size(), 1);
  }

  void checkBoxesRefuseChangesWhileAScanRuns() {
    auto gate = std::make_shared<Gate>();
    Page page;
    page.view = std::make_unique<CGUI_RezEreView>(page.values, nullptr, nullptr, GatedOpener(TwoDistantFiles(), gate));
    page.view->resize(1100, 760);
    page.view->show();
    page.tree = page.view->findChild<FolderTreeView*>("folderTree");
    page.list = page.view->findChild<FileListView*>("fileList");
    QSignalSpy ended(page.view.get(), &CGUI_RezEreView::scanEnded);
    page.view->PathBox()->setText(sample_);
    page.view->Recover();
    QTRY_VERIFY(gate->SomeoneWaits());
    QTRY_VERIFY(page.tree->model()->rowCount() == 1);
    const QModelIndex top = page.tree->model()->index(0, 0);
    QVERIFY(page.tree->isExpanded(top));
    MessageRecorder messages;
    ClickTreeBox(page, top);
    QCOMPARE(messages.texts, QStringList{"Please stop scanning process , then select files"});
    QCOMPARE(messages.styles, std::vector<unsigned>{mb::kIconQuestion});
    QVERIFY(!page.tree->isExpanded(top));  // the refused click still folds the node
    QCOMPARE(TreeState(top), Qt::Unchecked);
    QVERIFY(!page.view->GetCatalogue().IsRowChecked(0));

    // The file list: a right-click on a row during the scan is refused as well.
    page.tree->setCurrentIndex(top);
    page.list->setFocus();
    QTest::mouseClick(page.list->viewport(), Qt::RightButton, {},
                      page.list->visualRect(page.list->model()->index(0, 1)).center());
    QCOMPARE(messages.texts.size(), 2);
    QCOMPARE(messages.texts[1], QString("Please stop search scanning , then select files"));

    // Renaming would split the folder between the old name and rows still coming.
    int renameDialogs = 0;
    ScopedRenameRoutine answer([&](QWidget*, const QString&) {
      ++renameDialogs;
      return std::optional<QString>("Other");
    });
    PickInMenu("Rename Folder");
    QTest::mouseClick(page.tree->viewport(), Qt::RightButton, {}, page.tree->visualRect(top).center() + QPoint(20, 0));
    QTRY_COMPARE(messages.texts.size(), 3);
    QCOMPARE(messages.texts[2], QString("Please stop scanning process"));
    QCOMPARE(renameDialogs, 0);
    gate->Open();
    QVERIFY(ended.wait(10000));
  }

  void savingACheckedSubsetWritesExactlyThoseFiles() {
    auto page = Scanned();
    QVERIFY(page);
    page->values.folderPrefix = u"Out";
    const QModelIndex pictures = TreeIndex(*page, {"BACKUP SET 1(Weekly)", "Pictures"});
    page->tree->expand(pictures.parent());
    ClickTreeBox(*page, pictures);
    QTemporaryDir target;
    ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return target.path(); });
    MessageRecorder messages;
    QTest::mouseClick(page->view->findChild<QWidget*>("save"), Qt::LeftButton);
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY2(messages.texts[0].startsWith("Saved into " + target.filePath("OutBKF") + "\n4 file(s) saved"),
             qPrintable(messages.texts[0]));
    QCOMPARE(messages.styles, std::vector<unsigned>{mb::kIconInformation | mb::kOpenFolderButton});
    const QString root = target.filePath("OutBKF/BACKUP SET 1(Weekly)");
    QCOMPARE(ReadAll(root + "/Docs/Reports/q1.txt"), QByteArray("first quarter"));
    QCOMPARE(ReadAll(root + "/Docs/Reports/q2.txt"), QByteArray("second"));
    QCOMPARE(ReadAll(root + "/Docs/b.txt"), QByteArray(1000, 'b'));
    QCOMPARE(ReadAll(root + "/Docs/a.txt"), QByteArray(20, 'a'));
    QVERIFY(!QDir(root + "/Pictures").exists());
    // The save changes no mark.
    QCOMPARE(Marks(*page), (std::vector<bool>{true, true, false, true, true}));
  }

  void cancelDuringASaveKeepsFinishedFilesOnly() {
    // The scan reads freely; the save's reads wait until the test has pressed Cancel.
    auto gate = std::make_shared<Gate>();
    auto opens = std::make_shared<std::atomic<int>>(0);
    auto bytes = sampleBytes_;
    auto page = Scanned([bytes, gate, opens](const std::filesystem::path&) -> std::unique_ptr<BkfReader> {
      if ((*opens)++ == 0) return std::make_unique<MemoryReader>(bytes);
      return std::make_unique<GatedReader>(bytes, gate);
    });
    QVERIFY(page);
    QTemporaryDir target;
    ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return target.path(); });
    MessageRecorder messages;
    QTimer::singleShot(0, [&] {
      auto* window = qobject_cast<SavingFilesWindow*>(QApplication::activeModalWidget());
      QVERIFY(window);
      QCOMPARE(window->windowTitle(), QString("Saving Files.."));
      QTRY_VERIFY(gate->SomeoneWaits());
      QTest::mouseClick(window->findChild<QWidget*>("cancel"), Qt::LeftButton);
      gate->Open();
    });
    page->view->SaveCheckedFiles();
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY2(messages.texts[0].contains("ancel"), qPrintable(messages.texts[0]));
    // The file being copied when Cancel came is either whole or gone; no later one was begun.
    const QString reports = target.filePath("RecBKF/BACKUP SET 1(Weekly)/Docs/Reports/");
    if (QFile::exists(reports + "q1.txt")) QCOMPARE(ReadAll(reports + "q1.txt"), QByteArray("first quarter"));
    QVERIFY(!QFile::exists(reports + "q2.txt"));
  }

  void snapshotSavedAndLoadedGivesTheSameCellsAllChecked() {
    auto page = Scanned();
    QVERIFY(page);
    page->view->GetCatalogue().SetRowChecked(1, false);
    const QString chosen = dir_.filePath("round trip");
    {
      ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return chosen; });
      QSignalSpy saved(page->view.get(), &CGUI_RezEreView::snapshotSaved);
      page->view->SaveSnapshot();
      QVERIFY(saved.wait(10000));
      QVERIFY(saved.constFirst().constFirst().toBool());
    }
    QVERIFY(QFile::exists(chosen + ".TWBKF"));
    std::vector<std::vector<std::u16string>> before;
    Catalogue& catalogue = page->view->GetCatalogue();
    for (RowIndex row = 0; row < catalogue.CatalogueRowCount(); ++row) {
      std::vector<std::u16string> cells;
      for (int cell = 0; cell < kCatalogueCellCount; ++cell) cells.push_back(catalogue.GetCatalogueCell(row, cell));
      before.push_back(cells);
    }
    page->view->Back();

    QStringList titles;
    ScopedFileDialogRoutine answer([&](CNKFileDialog& dialog) {
      titles.append(dialog.windowTitle());
      return chosen + ".TWBKF";
    });
    QSignalSpy ended(page->view.get(), &CGUI_RezEreView::scanEnded);
    page->view->LoadSnapshot();
    QVERIFY(ended.wait(10000));
    QCOMPARE(titles, QStringList{"Please select the Saved recovery information file ..."});
    QCOMPARE(page->view->State(), CGUI_RezEreView::kBrowserPage);
    QCOMPARE(catalogue.CatalogueRowCount(), static_cast<RowIndex>(before.size()));
    for (RowIndex row = 0; row < catalogue.CatalogueRowCount(); ++row) {
      for (int cell = 0; cell < kCatalogueCellCount; ++cell) {
        QVERIFY(catalogue.GetCatalogueCell(row, cell) == before[static_cast<std::size_t>(row)][cell]);
      }
      QVERIFY(catalogue.IsRowChecked(row));
    }
    QVERIFY(page->view->findChild<QWidget*>("save")->isVisible());
    QCOMPARE(TreeState(TreeIndex(*page, {})), Qt::Checked);
    QVERIFY(page->view->BkfPath() == ToU16(sample_));
  }

  void aSnapshotWhoseBkfFileMovedTakesOnlyABkfFileThatHoldsItsData() {
    const std::optional<MovedBackup> backup = SnapshotOfMovedBackup("checked");
    QVERIFY(backup);
    SharedValues values;
    CGUI_RezEreView view(values);
    view.resize(900, 700);
    view.show();
    QStringList titles;
    std::vector<qsizetype> messagesBefore;
    MessageRecorder messages;
    const QStringList answers = {backup->snapshot, backup->other, backup->moved};
    ScopedFileDialogRoutine answer([&](CNKFileDialog& dialog) {
      titles.append(dialog.windowTitle());
      messagesBefore.push_back(messages.texts.size());
      return answers.value(titles.size() - 1);
    });
    QSignalSpy ended(&view, &CGUI_RezEreView::scanEnded);
    view.LoadSnapshot();
    QVERIFY(ended.wait(10000));
    QCOMPARE(titles, (QStringList{"Please select the Saved recovery information file ...", "Select BKF file ...",
                                  "Select BKF file ..."}));
    // Before the user is asked for the BKF file, the program says which file
    // it looks for and why.
    QCOMPARE(messagesBefore, (std::vector<qsizetype>{0, 1, 2}));
    QCOMPARE(messages.texts.size(), 2);
    QVERIFY2(messages.texts[0].contains(dir_.filePath("checked.bkf")) && messages.texts[0].contains("not there"),
             qPrintable(messages.texts[0]));
    QCOMPARE(messages.texts[1], QString("This BKF file does not hold the data that the snapshot describes"));
    QCOMPARE(ended.constFirst().constFirst().toInt(), 5);
    QCOMPARE(view.State(), CGUI_RezEreView::kBrowserPage);
    QVERIFY(view.BkfPath() == ToU16(backup->moved));
    QCOMPARE(view.PathBox()->text(), backup->moved);
  }

  void aWrongBkfFileAndNoOtherGivesNoRows() {
    const std::optional<MovedBackup> backup = SnapshotOfMovedBackup("refused");
    QVERIFY(backup);
    SharedValues values;
    CGUI_RezEreView view(values);
    view.resize(900, 700);
    view.show();
    const QStringList answers = {backup->snapshot, backup->other, QString()};
    int dialogs = 0;
    ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return answers.value(dialogs++); });
    MessageRecorder messages;
    QSignalSpy ended(&view, &CGUI_RezEreView::scanEnded);
    view.LoadSnapshot();
    QVERIFY(ended.wait(10000));
    QCOMPARE(dialogs, 3);
    QCOMPARE(messages.texts.size(), 2);
    QCOMPARE(ended.constFirst().constFirst().toInt(), 0);
    QCOMPARE(view.State(), CGUI_RezEreView::kStartPage);
    QCOMPARE(view.GetCatalogue().CatalogueRowCount(), 0);
    QVERIFY(!view.Session().Busy());
  }

  void anExistingSnapshotIsReplacedOnlyWhenTheUserSaysSo() {
    auto page = Scanned();
    QVERIFY(page);
    const QString existing = dir_.filePath("existing.TWBKF");
    {
      QFile file(existing);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("keep");
    }
    int dialogs = 0;
    ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return ++dialogs == 1 ? existing : QString(); });
    MessageRecorder messages(mb::kIdNo);
    page->view->SaveSnapshot();
    QCOMPARE(messages.texts, QStringList{"File already exists.\r\nDo you want to replace it?"});
    QCOMPARE(messages.styles, std::vector<unsigned>{mb::kYesNo | mb::kIconInformation});
    QCOMPARE(dialogs, 2);  // asked again, then cancelled
    QCOMPARE(ReadAll(existing), QByteArray("keep"));
  }

  void theSnapshotDialogRefusesTheBackupItselfAndAnythingButAFile() {
    auto page = Scanned();
    QVERIFY(page);
    const QString link = dir_.filePath("victim.TWBKF");
    QVERIFY(QFile::link(sample_, link));
    const QString folder = dir_.filePath("folder.TWBKF");
    QVERIFY(QDir().mkpath(folder));
    const QString device = dir_.filePath("device.TWBKF");
    QVERIFY(QFile::link("/dev/null", device));
    const QStringList answers = {link, folder, device, QString()};
    int dialogs = 0;
    ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return answers.value(dialogs++); });
    MessageRecorder messages(mb::kIdYes);
    QSignalSpy saved(page->view.get(), &CGUI_RezEreView::snapshotSaved);
    const QByteArray before = ReadAll(sample_);
    page->view->SaveSnapshot();
    QCOMPARE(dialogs, 4);
    QCOMPARE(messages.texts,
             (QStringList{ToQString(texts::kSnapshotOverBkf), ToQString(texts::kSnapshotOverNonFile),
                          ToQString(texts::kSnapshotOverNonFile)}));
    QCOMPARE(messages.styles, std::vector<unsigned>(3, mb::kIconExclamation));
    QVERIFY(saved.isEmpty());
    QCOMPARE(ReadAll(sample_), before);
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(QFileInfo(device).isSymLink());
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::BrowserTest)
#include "browser_test.moc"
