// The main frame: its command table, guards, status bar, logo box, help,
// close handling and the command-bar layout that survives a restart.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
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
#include "shell/launcher.h"
#include "shell/main_frame.h"
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
    QCOMPARE(Texts(menus[0]->menu()->actions()),
             QStringList({"Recover...", "-", "Save Recovery Snapshot...", "Load Recovery Snapshot...", "E&xit"}));
    QCOMPARE(Texts(menus[1]->menu()->actions()), QStringList({"&Live Update", "Settings...", "Search Files..."}));
    QCOMPARE(Texts(menus[2]->menu()->actions()), QStringList({"&About Tallowin for BKF...", "&Help"}));

    const std::pair<CommandId, const char*> prompts[] = {
        {kIdRecover, "Recover"},          {kIdSaveSnapshot, "Save Recovery "},
        {kIdLoadSnapshot, "Load Recovery"}, {kIdExit, "Quit the application; prompts to save documents"},
        {kIdLiveUpdate, "LiveUpdate"},    {kIdSettings, "Settings"},
        {kIdSearchFiles, "Search Files.."}, {kIdAbout, "About.."},
        {kIdHelp, "Help.."}};
    for (const auto& [id, prompt] : prompts) QCOMPARE(frame.Action(id)->statusTip(), QString(prompt));
    QCOMPARE(frame.Action(kIdHelp)->shortcut(), QKeySequence(Qt::Key_F1));
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

  void helpLooksInTheStartDirectory() {
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    {
      CMainFrame frame;
      QCOMPARE(frame.StartDirectory(), dir_.path() + "/");
      MessageRecorder messages;
      frame.OnHelp();
      QCOMPARE(messages.texts,
               QStringList{"The help file not found on installed location \r\n please reinstall software"});
      QVERIFY(launched_.isEmpty());

      QFile help(dir_.filePath("Tallowin for Bkf.chm"));
      QVERIFY(help.open(QIODevice::WriteOnly));
      help.close();
      frame.Action(kIdHelp)->trigger();
      QCOMPARE(messages.texts.size(), 1);
      QCOMPARE(launched_, QList<QUrl>{QUrl::fromLocalFile(dir_.filePath("Tallowin for Bkf.chm"))});
      help.remove();
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
