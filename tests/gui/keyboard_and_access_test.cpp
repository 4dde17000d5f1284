// The desktop program without a mouse and for assistive tools: every menu
// item and button has a key, every control a name and a description that a
// screen reader speaks, commands that cannot work where the user is are
// disabled, and a whole recovery can be done with keys alone.
#include <QAbstractButton>
#include <QAccessible>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QRegularExpression>
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

#include <QFile>

#include "browser/widgets/browser_views.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/filter_bar.h"
#include "browser/widgets/folder_setting_dialog.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/search_dialog.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/verify_report_dialog.h"
#include "shell/main_frame.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin::test {

class KeyboardAndAccessTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString sample_;

  // Calls `act` on the modal dialog of type T once it is open.
  template <typename T>
  static void WhenModal(std::function<void(T&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
      if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
        poll->stop();
        poll->deleteLater();
        act(*dialog);
      }
    });
    poll->start();
  }
  // A button reached by a key: a marked letter in its text, or a key of its own.
  static bool HasKey(const QAbstractButton& button) {
    return button.text().contains(QRegularExpression("&[^&]")) || !button.shortcut().isEmpty();
  }
  // The controls a user reaches below `root`, left out what Qt makes for
  // itself (the toolbar's own buttons speak their command's text).
  static QList<QWidget*> Controls(QWidget& root) {
    QList<QWidget*> controls;
    for (QWidget* widget : root.findChildren<QWidget*>()) {
      if (widget->objectName().startsWith("qt_") || qobject_cast<QHeaderView*>(widget)) continue;
      // The parts that Qt adds to a view or a box (a corner button, a clear button).
      if (widget->objectName().isEmpty() && (qobject_cast<QAbstractItemView*>(widget->parentWidget()) ||
                                             qobject_cast<QLineEdit*>(widget->parentWidget()))) {
        continue;
      }
      // A combo box's own list is the combo box's.
      bool inComboBox = false;
      for (QWidget* above = widget->parentWidget(); above != nullptr; above = above->parentWidget()) {
        inComboBox = inComboBox || qobject_cast<QComboBox*>(above) != nullptr;
      }
      if (inComboBox) continue;
      if (qobject_cast<QToolBar*>(widget->parentWidget()) && qobject_cast<QAbstractButton*>(widget)) continue;
      if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
          qobject_cast<QComboBox*>(widget) || qobject_cast<QProgressBar*>(widget) ||
          qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QToolBar*>(widget)) {
        controls.append(widget);
      }
    }
    return controls;
  }
  static QStringList Undescribed(QWidget& root) {
    QStringList missing;
    for (QWidget* control : Controls(root)) {
      if (control->accessibleName().isEmpty() || control->accessibleDescription().isEmpty()) {
        missing.append(QString(control->metaObject()->className()) + " " + control->objectName());
      }
    }
    return missing;
  }
  static QStringList Keyless(QWidget& root) {
    // A box without a text of its own is reached by its label's key.
    QSet<QWidget*> labelled;
    for (QLabel* label : root.findChildren<QLabel*>()) {
      if (label->buddy() != nullptr && label->text().contains(QRegularExpression("&[^&]"))) labelled.insert(label->buddy());
    }
    QStringList missing;
    for (QWidget* control : Controls(root)) {
      if (labelled.contains(control)) continue;
      // The logo is a picture link to the web site, not a command.
      if (control->objectName() == "1002") continue;
      if (auto* button = qobject_cast<QAbstractButton*>(control); button && !HasKey(*button)) {
        missing.append(button->objectName() + " " + button->text());
      }
    }
    return missing;
  }

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

  void everyMenuItemAndButtonHasAKey() {
    CMainFrame frame;
    for (QAction* menu : frame.menuBar()->actions()) {
      QVERIFY(menu->text().contains('&'));
      for (QAction* item : menu->menu()->actions()) {
        if (!item->isSeparator()) QVERIFY2(item->text().contains('&'), qPrintable(item->text()));
      }
    }
    QCOMPARE(Keyless(frame).join(", "), QString());
    SearchFilesDialog search(frame.View()->GetCatalogue(), &frame);
    QCOMPARE(Keyless(search).join(", "), QString());
    FolderSettingDialog settings(frame.Values(), &frame);
    QCOMPARE(Keyless(settings).join(", "), QString());
  }

  // What a screen reader says: a name and a description for every control
  // of the window and its dialogs.
  void everyControlHasAnAccessibleNameAndDescription() {
    CMainFrame frame;
    frame.show();
    QCOMPARE(Undescribed(frame).join(", "), QString());
    SearchFilesDialog search(frame.View()->GetCatalogue(), &frame);
    QCOMPARE(Undescribed(search).join(", "), QString());
    FolderSettingDialog settings(frame.Values(), &frame);
    QCOMPARE(Undescribed(settings).join(", "), QString());
    QCOMPARE(frame.View()->PathBox()->accessibleName(), QString("BKF file"));
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(frame.View()->PathBox());
    QVERIFY(box);
    QCOMPARE(box->text(QAccessible::Description), QString("The path of the damaged BKF file to recover"));
  }

  // Search and Save Recovery Snapshot cannot work without a catalogue: on
  // the start page they are disabled, and come back with the browser page.
  void commandsThatNeedACatalogueAreDisabledOnTheStartPage() {
    CMainFrame frame;
    const CommandId needCatalogue[] = {kIdSaveSnapshot, kIdSearchFiles, kIdVerifyFiles, kIdVerifyAllFiles,
                                       kIdRecoveryReport};
    for (const CommandId id : needCatalogue) QVERIFY(!frame.Action(id)->isEnabled());
    QVERIFY(frame.Action(kIdLoadSnapshot)->isEnabled());
    QSignalSpy ended(frame.View(), &CGUI_RezEreView::scanEnded);
    frame.View()->PathBox()->setText(sample_);
    frame.OnRecover();
    QVERIFY(ended.wait(10000));
    for (const CommandId id : needCatalogue) QVERIFY(frame.Action(id)->isEnabled());
    QVERIFY(!frame.Action(kIdLoadSnapshot)->isEnabled());
  }

  // A whole recovery with keys alone: the path typed and Enter; Alt+V
  // verifies every file and Escape closes its report; the filter reached
  // with Alt+L narrows the list to the damaged file, whose box Space
  // clears; Alt+S saves what is left checked. Only the folder is given
  // through the file dialog's routine.
  void aWholeRecoveryWithKeysAlone() {
    CMainFrame frame;
    frame.resize(1280, 800);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QSignalSpy ended(frame.View(), &CGUI_RezEreView::scanEnded);
    QLineEdit* path = frame.View()->PathBox();
    path->setFocus();
    QTest::keyClicks(path, sample_);
    QTest::keyClick(path, Qt::Key_Return);
    QVERIFY(ended.wait(10000));

    QStringList verdicts;
    WhenModal<VerifyReportDialog>([&](VerifyReportDialog& report) {
      for (int row = 0; row < report.Rows().rowCount(); ++row) verdicts.append(report.Rows().index(row, 1).data().toString());
      QTest::keyClick(&report, Qt::Key_Escape);
    });
    // A button's key presses it as a click would, a moment later.
    QTest::keyClick(&frame, Qt::Key_V, Qt::AltModifier);
    QTRY_COMPARE(verdicts, QStringList{"Damaged"});

    // A window manager gives the window back its focus when a dialog
    // closes; the offscreen platform leaves that to the test.
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_L, Qt::AltModifier);
    QLineEdit* filter = frame.View()->Filter()->TextBox();
    QVERIFY(filter->hasFocus());
    QTest::keyClicks(filter, "bad");
    QTest::keyClick(filter, Qt::Key_Return);
    auto* list = frame.View()->findChild<CatalogueListView*>("catalogueList");
    QTRY_COMPARE(list->model()->rowCount(), 1);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(!frame.View()->GetCatalogue().IsRowChecked(1));
    QVERIFY(frame.View()->GetCatalogue().IsRowChecked(0));

    QTemporaryDir target;
    ScopedFileDialogRoutine folder([&](CNKFileDialog&) { return target.path(); });
    MessageRecorder messages;
    QTest::keyClick(&frame, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(messages.texts.size(), 1);
    QVERIFY(QFile::exists(target.filePath("RecBKF/BACKUP SET 1(Daily)/Docs/good.txt")));
    QVERIFY(!QFile::exists(target.filePath("RecBKF/BACKUP SET 1(Daily)/Docs/bad.doc")));
  }
};

}  // namespace tallowin::test

TALLOWIN_GUI_TEST_MAIN(tallowin::test::KeyboardAndAccessTest)
#include "keyboard_and_access_test.moc"
