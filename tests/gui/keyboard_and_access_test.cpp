// The desktop program without a mouse and for assistive tools: every menu
// item and button has a key, every control a name and a description that a
// screen reader speaks, commands that cannot work where the user is are
// disabled, and a whole recovery can be done with keys alone.
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include "browser/widgets/browser_views.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/filter_bar.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/text_qt.h"
#include "shell/main_frame.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {

class KeyboardAndAccessTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString sample_;

 private slots:
  void initTestCase() {
    MtfWriter writer(WriterStyle::kWindowsUtility);
    writer.Tape().DataSet(u"Daily").Directory(u"Docs");
    writer.FileWithStreams({.name = u"good.txt", .data = "intact"});
    writer.FileWithStreams({.name = u"bad.doc", .data = std::string(3000, 'b'), .wrongChecksum = true});
    writer.EndOfSet();
    sample_ = dir_.filePath("keys.bkf");
    writer.WriteTo(PathFromQString(sample_));
  }

  void theFilterBarShowsWithTheBrowserPage() {
    CMainFrame frame;
    frame.resize(1280, 800);
    frame.show();
    QVERIFY(!frame.FilterBar()->isVisible());
    QSignalSpy ended(frame.View(), &CGUI_RezEreView::scanEnded);
    frame.View()->PathBox()->setText(sample_);
    frame.OnRecover();
    QVERIFY(ended.wait(10000));
    QVERIFY(frame.FilterBar()->isVisible());
    QVERIFY(frame.View()->Filter()->isVisible());
    QVERIFY(frame.View()->Filter()->width() > 200);
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::KeyboardAndAccessTest)
#include "keyboard_and_access_test.moc"
