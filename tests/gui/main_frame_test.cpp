// The main frame: its command table, guards, status bar, logo box, help,
// close handling and the command-bar layout that survives a restart.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QTreeView>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

#include "browser/widgets/file_dialog.h"
#include "browser/widgets/gui_view.h"
#include "shell/about_box.h"
#include "browser/widgets/scoped_url_launcher.h"
#include "browser/widgets/text_qt.h"
#include "shell/main_frame.h"
#include "shell/recent_files.h"
#include "tallowin_version.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {

class MainFrameTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QList<QUrl> launched_;
  std::unique_ptr<ScopedUrlLauncher> launcher_;

  static QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions) texts.append(action->isSeparator() ? "-" : action->text());
    return texts;
  }
  // The texts as the menu shows them: the marks of their keys left out.
  static QStringList Shown(const QList<QAction*>& actions) {
    QStringList texts = Texts(actions);
    for (QString& text : texts) text.remove('&');
    return texts;
  }
  QString WriteSample() {
    MtfWriter writer;
    writer.Tape().DataSet(u"Set").Directory(u"A").File({.name = u"a.txt", .data = "a"}).Align();
    const QString path = dir_.filePath("frame.bkf");
    writer.WriteTo(path.toStdString());
    return path;
  }

 private slots:
  void init() {
    launched_.clear();
    launcher_ = std::make_unique<ScopedUrlLauncher>([this](const QUrl& url) {
      launched_.append(url);
      return true;
    });
    QSettings().remove(CMainFrame::kSettingsSection);
  }
  void cleanup() { launcher_.reset(); }

  void menusHoldEveryCommandInOrder() {
    CMainFrame frame;
    const QList<QAction*> menus = frame.menuBar()->actions();
    QCOMPARE(Texts(menus), QStringList({"&File", "&Tools", "&Help"}));
    QCOMPARE(frame.menuBar()->objectName(), QString("Menu Bar"));
    QCOMPARE(Shown(menus[0]->menu()->actions()),
             QStringList({"Recover...", "-", "Save Recovery Snapshot...", "Load Recovery Snapshot...", "-", "Recent",
                          "-", "Exit"}));
    QCOMPARE(Shown(menus[1]->menu()->actions()),
             QStringList({"Live Update", "Settings...", "Search Files...", "-", "Verify Checked Files...",
                          "Verify All Files...", "Recovery Report..."}));
    QCOMPARE(Shown(menus[2]->menu()->actions()), QStringList({"About Tallowin for BKF...", "Help"}));
    QCOMPARE(Texts(menus[0]->menu()->actions()).constLast(), QString("E&xit"));

    const std::pair<CommandId, const char*> prompts[] = {
        {kIdRecover, "Recover"},          {kIdSaveSnapshot, "Save Recovery "},
        {kIdLoadSnapshot, "Load Recovery"}, {kIdExit, "Quit the application; prompts to save documents"},
        {kIdLiveUpdate, "LiveUpdate"},    {kIdSettings, "Settings"},
        {kIdSearchFiles, "Search Files.."}, {kIdVerifyFiles, "Verify the checked files"},
        {kIdVerifyAllFiles, "Verify every file of the catalogue"},
        {kIdAbout, "About.."},            {kIdHelp, "Help.."}};
    for (const auto& [id, prompt] : prompts) QCOMPARE(frame.Action(id)->statusTip(), QString(prompt));
  }

  void theMainCommandsHaveTheStandardKeys() {
    const std::pair<CommandId, const char*> keys[] = {{kIdRecover, "Ctrl+O"},     {kIdSaveSnapshot, "Ctrl+S"},
                                                      {kIdLoadSnapshot, "Ctrl+L"}, {kIdSearchFiles, "Ctrl+F"},
                                                      {kIdExit, "Ctrl+Q"},         {kIdHelp, "F1"}};
    {
      CMainFrame frame;
      for (const auto& [id, key] : keys) QCOMPARE(frame.Action(id)->shortcut(), QKeySequence(key));
      // An earlier version kept empty keys; they take nothing away.
      QSettings().setValue(QString(CMainFrame::kSettingsSection) + "/Shortcuts/" + QString::number(kIdRecover), "");
    }
    CMainFrame again;
    QCOMPARE(again.Action(kIdRecover)->shortcut(), QKeySequence("Ctrl+O"));
    again.show();
    QVERIFY(QTest::qWaitForWindowActive(&again));
    int dialogs = 0;
    ScopedFileDialogRoutine answer([&](CNKFileDialog&) {
      ++dialogs;
      return QString();
    });
    // Ctrl+O on an empty path box asks for the BKF file, as Recover... does.
    QTest::keyClick(&again, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(dialogs, 1);
  }

  void toolbarHasSevenButtonsWithLargeAndSmallImages() {
    CMainFrame frame;
    QToolBar* bar = frame.StandardBar();
    QCOMPARE(bar->objectName(), QString("Standard"));
    QCOMPARE(bar->iconSize(), QSize(42, 35));
    QList<int> ids;
    for (const QAction* action : bar->actions()) {
      ids.append(action->data().toInt());
      QVERIFY(action->icon().availableSizes().contains(QSize(42, 35)));
      QVERIFY(action->icon().availableSizes().contains(QSize(16, 16)));
    }
    QCOMPARE(ids, QList<int>({61493, 61494, 61495, 61498, 61496, 61500, 61499}));
  }

  void statusBarShowsReadyAndThePromptOfTheHighlightedCommand() {
    CMainFrame frame;
    frame.show();
    QCOMPARE(frame.statusBar()->currentMessage(), QString("Ready"));
    frame.Action(kIdSearchFiles)->showStatusText(&frame);
    QCOMPARE(frame.statusBar()->currentMessage(), QString("Search Files.."));
    frame.statusBar()->clearMessage();
    QCOMPARE(frame.statusBar()->currentMessage(), QString("Ready"));
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) QVERIFY(frame.statusBar()->findChild<QWidget*>(indicator));
  }

  // A folder block and a file block lost: the file comes back from the
  // backup's own catalogue, and the status bar says so until Back.
  void theStatusBarTellsWhatTheBackupsOwnCatalogueGaveBack() {
    MtfWriter writer(WriterStyle::kWindowsUtility);
    writer.Tape().DataSet(u"Set").Directory(u"A");
    writer.FileWithStreams({.name = u"kept.txt", .data = "kept"});
    writer.FileWithStreams({.name = u"lost.txt", .data = std::string(2000, 'l')});
    writer.ZeroCluster(writer.LastFile().block, static_cast<std::size_t>(*writer.LastFile().data - writer.LastFile().block));
    writer.EndOfSet();
    const QString path = dir_.filePath("lost.bkf");
    writer.WriteTo(path.toStdString());

    CMainFrame frame;
    QSignalSpy ended(frame.View(), &CGUI_RezEreView::scanEnded);
    frame.View()->PathBox()->setText(path);
    frame.OnRecover();
    QVERIFY(ended.wait(10000));
    QCOMPARE(frame.View()->GetCatalogue().CatalogueRowCount(), 2);
    QVERIFY(frame.SetCataloguePane()->isVisibleTo(&frame));
    QCOMPARE(frame.SetCataloguePane()->text(), QString("1 file(s) came back from the backup's own catalogue."));
    frame.View()->Back();
    QVERIFY(!frame.SetCataloguePane()->isVisibleTo(&frame));
  }

  void commandsOnTheStartPageNeedNoGuard() {
    CMainFrame frame;
    MessageRecorder messages;
    frame.OnSaveSnapshot();
    frame.OnSearchFiles();
    QVERIFY(messages.texts.isEmpty());
  }

  void snapshotSaveAndSearchRefuseWhileAScanRuns() {
    auto gate = std::make_shared<Gate>();
    CMainFrame frame(nullptr, GatedOpener(TwoDistantFiles(), gate));
    QSignalSpy ended(frame.View(), &CGUI_RezEreView::scanEnded);
    frame.View()->PathBox()->setText(WriteSample());
    frame.OnRecover();
    QTRY_VERIFY(gate->SomeoneWaits());
    MessageRecorder messages;
    frame.OnSaveSnapshot();
    frame.OnSearchFiles();
    frame.OnLoadSnapshot();
    QCOMPARE(messages.texts, QStringList({"Please stop scanning process", "Please stop scanning process"}));
    QCOMPARE(messages.owners, std::vector<QWidget*>({&frame, &frame}));
    QCOMPARE(messages.styles, std::vector<unsigned>({mb::kIconExclamation, mb::kIconExclamation}));
    // Recover... during the scan does nothing either: no save asks for a folder.
    int dialogs = 0;
    ScopedFileDialogRoutine count([&](CNKFileDialog&) {
      ++dialogs;
      return QString();
    });
    frame.Action(kIdRecover)->trigger();
    QCOMPARE(dialogs, 0);
    gate->Open();
    QVERIFY(ended.wait(10000));
    frame.OnSaveSnapshot();
    QCOMPARE(messages.texts.size(), 2);
  }

  void helpOpensTheHelpFileElseTheHtmlManual() {
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    {
      CMainFrame frame;
      QCOMPARE(frame.StartDirectory(), dir_.path() + "/");
      // Beside the help file first; last, the manual of the source tree this program was built from.
      QCOMPARE(frame.ManualPlaces().constFirst(), dir_.path() + "/manual/manual.html");
      QVERIFY(frame.ManualPlaces().constLast().endsWith("/docs/manual.html"));
      QVERIFY(QFileInfo::exists(frame.ManualPlaces().constLast()));

      const QString manual = dir_.filePath("manual/manual.html");
      frame.SetManualPlaces({dir_.filePath("nowhere/manual.html"), manual});
      MessageRecorder messages;
      frame.OnHelp();
      QCOMPARE(messages.texts,
               QStringList{"The help file not found on installed location \r\n please reinstall software"});
      QVERIFY(launched_.isEmpty());

      QVERIFY(QDir().mkpath(dir_.filePath("manual")));
      QFile html(manual);
      QVERIFY(html.open(QIODevice::WriteOnly));
      html.close();
      frame.OnHelp();
      QCOMPARE(launched_, QList<QUrl>{QUrl::fromLocalFile(manual)});

      const QString chm = dir_.filePath("Tallowin for Bkf.chm");
      QFile help(chm);
      QVERIFY(help.open(QIODevice::WriteOnly));
      help.close();
      launched_.clear();
      frame.Action(kIdHelp)->trigger();
      QCOMPARE(launched_, QList<QUrl>{QUrl::fromLocalFile(chm)});

      // Nothing on this desktop opens a help file: the manual opens instead.
      launched_.clear();
      ScopedUrlLauncher noViewer([this](const QUrl& url) {
        launched_.append(url);
        return !url.toLocalFile().endsWith(".chm");
      });
      frame.OnHelp();
      QCOMPARE(launched_, (QList<QUrl>{QUrl::fromLocalFile(chm), QUrl::fromLocalFile(manual)}));
      QCOMPARE(messages.texts.size(), 1);
      help.remove();
      html.remove();
    }
    QDir::setCurrent(before);
  }

  void logoBoxKeepsToTheTopRightAndOpensTheHomePage() {
    CMainFrame frame;
    frame.show();
    for (const QSize size : {QSize(900, 600), QSize(1300, 800)}) {
      frame.resize(size);
      QCOMPARE(frame.LogoBox()->geometry(), QRect(frame.width() - 170, 24, 170, 56));
    }
    auto* button = frame.LogoBox()->findChild<QAbstractButton*>("1002");
    QCOMPARE(button->toolTip(), QString("Visit Software Homepage"));
    QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(launched_, QList<QUrl>{CMainFrame::kHomePage});
  }

  void closeAnsweredNoKeepsRunningButSavesTheLayout() {
    CMainFrame frame;
    frame.show();
    MessageRecorder messages(mb::kIdNo);
    QVERIFY(!frame.close());
    QCOMPARE(messages.texts, QStringList{"Do you really want to exit?"});
    QCOMPARE(messages.styles, std::vector<unsigned>{mb::kYesNo | mb::kIconQuestion});
    QVERIFY(frame.isVisible());
    QVERIFY(launched_.isEmpty());
    QVERIFY(QSettings().contains(QString(CMainFrame::kSettingsSection) + "/Layout"));
  }

  void closeAnsweredYesOpensTheHomePageAndCloses() {
    CMainFrame frame;
    frame.show();
    MessageRecorder messages(mb::kIdYes);
    frame.Action(kIdExit)->trigger();
    QVERIFY(!frame.isVisible());
    QCOMPARE(launched_, QList<QUrl>{CMainFrame::kHomePage});
  }

  void toolbarPlaceSurvivesARestart() {
    {
      CMainFrame frame;
      frame.show();
      frame.addToolBar(Qt::LeftToolBarArea, frame.StandardBar());
      MessageRecorder messages(mb::kIdNo);
      frame.close();
    }
    CMainFrame again;
    again.show();
    QCOMPARE(again.toolBarArea(again.StandardBar()), Qt::LeftToolBarArea);
  }

  void theStatusBarCountsTheCheckedFilesAsBoxesChange() {
    CMainFrame frame;
    frame.show();
    QSignalSpy ended(frame.View(), &CGUI_RezEreView::scanEnded);
    frame.View()->PathBox()->setText(WriteSample());
    frame.OnRecover();
    QVERIFY(ended.wait(10000));
    QLabel* pane = frame.CheckedPane();
    // A scan's rows come checked.
    QCOMPARE(pane->text(), "1 files checked, " + QLocale().formattedDataSize(1));
    auto* tree = frame.View()->findChild<QTreeView*>("folderTree");
    tree->setCurrentIndex(tree->model()->index(0, 0));
    QTest::keyClick(tree, Qt::Key_Space);
    QCOMPARE(pane->text(), "0 files checked, " + QLocale().formattedDataSize(0));
    QTest::keyClick(tree, Qt::Key_Space);
    QCOMPARE(pane->text(), "1 files checked, " + QLocale().formattedDataSize(1));
    MessageRecorder messages(mb::kIdYes);
    frame.View()->Back();
    QCOMPARE(messages.texts.size(), 1);
    QCOMPARE(pane->text(), QString());
  }

  void theTitleShowsThePercentWhileAScanRuns() {
    auto gate = std::make_shared<Gate>();
    CMainFrame frame(nullptr, GatedOpener(TwoDistantFiles(), gate));
    frame.setWindowTitle("Tallowin for BKF");
    QSignalSpy ended(frame.View(), &CGUI_RezEreView::scanEnded);
    frame.View()->PathBox()->setText(WriteSample());
    frame.OnRecover();
    QTRY_VERIFY(gate->SomeoneWaits());
    QTRY_VERIFY2(frame.windowTitle().endsWith(QString("% \u2013 Tallowin for BKF")), qPrintable(frame.windowTitle()));
    gate->Open();
    QVERIFY(ended.wait(10000));
    QCOMPARE(frame.windowTitle(), QString("Tallowin for BKF"));
  }

  void recentFilesKeepTheLastEightNewestFirstAndOpenFromTheMenu() {
    RecentFiles recent;
    recent.Clear();
    for (int i = 0; i < 10; ++i) recent.Add(dir_.filePath(QString("b%1.bkf").arg(i)));
    recent.Add(dir_.filePath("b5.bkf"));
    QStringList expected{dir_.filePath("b5.bkf")};
    for (const int i : {9, 8, 7, 6, 4, 3, 2}) expected << dir_.filePath(QString("b%1.bkf").arg(i));
    QCOMPARE(recent.Files(), expected);
    recent.Clear();

    CMainFrame frame;
    frame.show();
    QSignalSpy ended(frame.View(), &CGUI_RezEreView::scanEnded);
    const QString sample = WriteSample();
    frame.View()->PathBox()->setText(sample);
    frame.OnRecover();
    QVERIFY(ended.wait(10000));
    QCOMPARE(recent.Files(), QStringList{sample});
    emit frame.RecentMenu()->aboutToShow();
    QList<QAction*> items = frame.RecentMenu()->actions();
    QCOMPARE(Texts(items), (QStringList{"&1 " + sample, "-", "&Clear"}));
    // On the browser page a file would replace the catalogue: not offered.
    QVERIFY(!items[0]->isEnabled());

    frame.View()->Back();
    emit frame.RecentMenu()->aboutToShow();
    items = frame.RecentMenu()->actions();
    QVERIFY(items[0]->isEnabled());
    ended.clear();
    items[0]->trigger();
    QVERIFY(ended.wait(10000));
    QVERIFY(frame.View()->BkfPath() == ToU16(sample));

    frame.RecentMenu()->findChild<QAction*>("clearRecent")->trigger();
    QVERIFY(recent.Files().isEmpty());
    QCOMPARE(Texts(frame.RecentMenu()->actions()), QStringList{"&Clear"});
  }

  void theNormalWindowIsCentredAndRemembered() {
    QSettings().remove(CMainFrame::kWindowSection);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    {
      CMainFrame frame;
      frame.ShowMainWindow();
      QVERIFY(frame.windowState() & Qt::WindowMaximized);
      const QRect normal = frame.normalGeometry();
      QVERIFY2(qAbs(normal.width() - screen.width() * 0.8) < 2 && qAbs(normal.height() - screen.height() * 0.8) < 2,
               qPrintable(QString("%1x%2").arg(normal.width()).arg(normal.height())));
      QVERIFY(qAbs(normal.center().x() - screen.center().x()) < 2);
      frame.showNormal();
      frame.setGeometry(QRect(screen.topLeft() + QPoint(40, 30), QSize(700, 500)));
      MessageRecorder messages(mb::kIdYes);
      QVERIFY(frame.close());
    }
    CMainFrame again;
    again.ShowMainWindow();
    QCOMPARE(again.normalGeometry().size(), QSize(700, 500));
  }

  void thePaneBordersSurviveARestart() {
    QSettings().remove(CMainFrame::kWindowSection);
    {
      CMainFrame frame;
      QCOMPARE(frame.View()->Split().treeWidth, std::nullopt);
      frame.View()->SetSplit({.treeWidth = 420, .captionTop = 333});
      emit frame.View()->splitChanged();
    }
    CMainFrame again;
    QCOMPARE(again.View()->Split().treeWidth, std::optional<int>(420));
    QCOMPARE(again.View()->Split().captionTop, std::optional<int>(333));
  }

  void verifyWaitsForABrowserPageAndAFinishedScan() {
    CMainFrame frame;
    MessageRecorder messages;
    frame.OnVerifyFiles();
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(frame.Action(kIdVerifyFiles)->text(), QString("&Verify Checked Files..."));
  }

  void liveUpdateAndAboutTellTheVersion() {
    CMainFrame frame;
    MessageRecorder messages;
    frame.OnLiveUpdate();
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts[0].startsWith(ProductNameAndVersion()));
    QVERIFY(messages.texts[0].contains("No update service"));
    QCOMPARE(ProductNameAndVersion(), QString("Tallowin for BKF " TALLOWIN_VERSION));
    AboutBox about(&frame);
    QVERIFY(about.findChild<QLabel*>("aboutText")->text().contains(TALLOWIN_VERSION));
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::MainFrameTest)
#include "main_frame_test.moc"
