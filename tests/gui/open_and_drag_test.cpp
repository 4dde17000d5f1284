// A file of the file list opened, dragged out and saved on its own: each is
// copied out by the save's own code, never over a file that is there and
// never through a link; the copies for opening and dragging lie in a private
// folder that goes with the program. The desktop's handler and the drag go
// through the routines that tests put in place.
#include <QAbstractItemModelTester>
#include <QAbstractProxyModel>
#include <QDir>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTimer>

#include "browser/widgets/browser_views.h"
#include "browser/widgets/file_list_model.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/file_drag.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/scoped_url_launcher.h"
#include "browser/widgets/text_qt.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {

class OpenAndDragTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString sample_;

  struct Page {
    SharedValues values;
    std::unique_ptr<CGUI_RezEreView> view;
    FolderTreeView* tree = nullptr;
    FileListView* list = nullptr;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
  };

  // The sample scanned, its folder Docs shown: "..", good.txt, Bad.doc.
  std::unique_ptr<Page> InDocs() {
    auto page = std::make_unique<Page>();
    page->view = std::make_unique<CGUI_RezEreView>(page->values);
    page->view->resize(1000, 700);
    page->view->show();
    page->tree = page->view->findChild<FolderTreeView*>("folderTree");
    page->list = page->view->findChild<FileListView*>("fileList");
    for (QAbstractItemView* view : std::initializer_list<QAbstractItemView*>{page->tree, page->list}) {
      page->testers.push_back(std::make_unique<QAbstractItemModelTester>(view->model()));
      if (auto* filter = qobject_cast<QAbstractProxyModel*>(view->model())) {
        page->testers.push_back(std::make_unique<QAbstractItemModelTester>(filter->sourceModel()));
      }
    }
    QSignalSpy ended(page->view.get(), &CGUI_RezEreView::scanEnded);
    page->view->PathBox()->setText(sample_);
    page->view->Recover();
    if (!ended.wait(10000)) return nullptr;
    QAbstractItemModel* model = page->tree->model();
    const QModelIndex set = model->index(0, 0, model->index(0, 0));
    page->tree->setCurrentIndex(model->index(0, 0, set));
    return page;
  }
  static QString Verdict(const Page& page, int listRow) {
    return page.list->model()->index(listRow, FileListModel::kVerdictColumn).data().toString();
  }
  static QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  // Picks `text` in the context menu that the next action opens.
  static void PickInMenu(const QString& text) {
    QTimer::singleShot(0, [text] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      for (QAction* action : menu->actions()) {
        if (QString(action->text()).remove('&') == text) action->trigger();
      }
      menu->close();
    });
  }

 private slots:
  void initTestCase() {
    MtfWriter writer(WriterStyle::kWindowsUtility);
    writer.Tape().DataSet(u"Daily").Directory(u"Docs");
    writer.FileWithStreams({.name = u"good.txt", .data = "intact data"});
    writer.FileWithStreams({.name = u"Bad.doc", .data = std::string(3000, 'b'), .wrongChecksum = true});
    sample_ = dir_.filePath("open.bkf");
    writer.WriteTo(PathFromQString(sample_));
  }

  // What a file manager drops is the file, copied out only when it asks;
  // the row gets its verdict, and a second drag reuses the copy.
  void aDraggedFileIsCopiedOutWhenTheDropAsksForIt() {
    auto page = InDocs();
    QVERIFY(page);
    QList<QUrl> dropped;
    int drags = 0;
    ScopedDragRoutine drop([&](QDrag& drag) {
      ++drags;
      dropped.append(drag.mimeData()->urls());
      return Qt::CopyAction;
    });
    MessageRecorder messages;
    QCOMPARE(Verdict(*page, 1), QString());
    emit page->list->dragRequested(1);
    QCOMPARE(drags, 1);
    QCOMPARE(dropped.size(), 1);
    const QString copy = dropped[0].toLocalFile();
    QCOMPARE(QFileInfo(copy).fileName(), QString("good.txt"));
    QCOMPARE(ReadAll(copy), QByteArray("intact data"));
    QVERIFY(!copy.startsWith(dir_.path()));
    QCOMPARE(QFileInfo(QFileInfo(copy).path()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
             QFile::Permissions());
    QCOMPARE(Verdict(*page, 1), QString("Verified"));
    emit page->list->dragRequested(1);
    QCOMPARE(dropped.size(), 2);
    QCOMPARE(dropped[1], dropped[0]);
    QVERIFY(messages.texts.isEmpty());

    // A drag let go where nothing asks for the file copies nothing.
    ScopedDragRoutine nowhere([](QDrag&) { return Qt::IgnoreAction; });
    emit page->list->dragRequested(2);
    QCOMPARE(Verdict(*page, 2), QString());
    QVERIFY(messages.texts.isEmpty());
  }

  // Enter opens a file with the desktop's program; the private folder goes
  // when the program (here its view) does.
  void anOpenedFileIsAPrivateCopyThatGoesWithTheProgram() {
    auto page = InDocs();
    QVERIFY(page);
    QList<QUrl> opened;
    ScopedUrlLauncher launcher([&](const QUrl& url) {
      opened.append(url);
      return true;
    });
    MessageRecorder messages;
    page->list->setCurrentIndex(page->list->model()->index(2, 0));
    QTest::keyClick(page->list, Qt::Key_Return);
    QCOMPARE(opened.size(), 1);
    const QString copy = opened[0].toLocalFile();
    QCOMPARE(QFileInfo(copy).fileName(), QString("Bad.doc"));
    // A damaged file opens as it was recovered; its row says what it is.
    QCOMPARE(ReadAll(copy).size(), 3000);
    QCOMPARE(Verdict(*page, 2), QString("Damaged"));
    const QString folder = QFileInfo(copy).path();
    page.reset();
    QVERIFY(!QFileInfo::exists(folder));
  }

  // Save File on a file's menu puts the file itself into the folder chosen,
  // numbered beside a file of its name and never through a link there.
  void saveFileOnTheMenuNeverReplacesNorFollowsALink() {
    auto page = InDocs();
    QVERIFY(page);
    QTemporaryDir target;
    QFile mine(target.filePath("good.txt"));
    QVERIFY(mine.open(QIODevice::WriteOnly));
    mine.write("mine");
    mine.close();
    QVERIFY(QFile::link(dir_.filePath("elsewhere.txt"), target.filePath("good (2).txt")));
    ScopedFileDialogRoutine answer([&](CNKFileDialog&) { return target.path(); });
    MessageRecorder messages;
    PickInMenu("Save File");
    emit page->list->menuRequested(1, page->list->mapToGlobal(QPoint(20, 20)));
    QTRY_COMPARE(messages.texts.size(), 1);
    QCOMPARE(ReadAll(target.filePath("good.txt")), QByteArray("mine"));
    QVERIFY(!QFileInfo::exists(dir_.filePath("elsewhere.txt")));
    QCOMPARE(ReadAll(target.filePath("good (3).txt")), QByteArray("intact data"));
    QVERIFY(messages.texts[0].contains("1 file(s) saved (1 verified, 0 unchecked)"));
    QVERIFY(messages.texts[0].contains(target.path()));
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::System).size(), 3);
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::OpenAndDragTest)
#include "open_and_drag_test.moc"
