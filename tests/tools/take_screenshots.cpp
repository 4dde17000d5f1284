// Takes the README's and the manual's pictures of the desktop program: the
// start page, a scan in progress, a finished scan, a partly checked tree in
// moved panes, the save's progress window and summary, the verification's
// report, the File menu, the snapshot dialog, the settings, the search, the
// verdicts in the lists, the filter and the Recovery Report. The BKF file is
// made here, with one damaged file and a file whose folder block was lost; it
// is read slowly on purpose while a picture of running work is due, so that
// the picture catches it.
//
//   take_screenshots OUTPUT_FOLDER
//
// Run it under xvfb-run (or any display); the pictures are of the real window.
#include <atomic>
#include <chrono>
#include <memory>
#include <cstdio>
#include <functional>
#include <thread>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "browser/widgets/browser_views.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/filter_bar.h"
#include "browser/widgets/folder_setting_dialog.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/search_dialog.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/text_report_dialog.h"
#include "catalog/snapshot.h"
#include "browser/widgets/verify_report_dialog.h"
#include "shell/main_frame.h"
#include "shell/recent_files.h"
#include "tests/support/memory_reader.h"
#include "tests/support/mtf_writer.h"

namespace {

using tallowin::test::MtfWriter;
using tallowin::test::WriterStyle;

std::vector<std::byte> DemoBackup() {
  MtfWriter writer(WriterStyle::kWindowsUtility);
  writer.Tape();
  const char16_t* sets[] = {u"Weekly full backup", u"Daily incremental"};
  const char16_t* folders[] = {u"Documents\\Contracts", u"Documents\\Invoices\\2007", u"Pictures\\Office party",
                               u"Projects\\Tallow\\Drawings", u"Projects\\Wick\\Reports", u"Mail\\Archive"};
  const char16_t* names[] = {u"agreement", u"summary", u"budget", u"photo", u"plan", u"notes", u"draft"};
  const char16_t* extensions[] = {u".doc", u".xls", u".pdf", u".jpg", u".txt", u".csv", u".png"};
  int file = 0;
  for (const char16_t* set : sets) {
    writer.DataSet(set);
    for (const char16_t* folder : folders) {
      writer.Directory(folder);
      for (int i = 0; i < 12; ++i, ++file) {
        std::u16string name = names[file % 7];
        for (char c : std::to_string(100 + file)) name += static_cast<char16_t>(c);
        name += extensions[(file / 3) % 7];
        writer.FileWithStreams({.name = name,
                                .data = std::string(static_cast<std::size_t>(2000 + file * 3731 % 60000), 'x'),
                                .modified = {2007, 1 + file % 12, 1 + file % 28, file % 24, file % 60, 7}});
        // Damage, as a bad sector leaves it, in one file of the Contracts folder.
        if (file == 4) writer.Bytes()[*writer.LastFile().data + 10] = std::byte{'#'};
      }
    }
    // A file whose folder's block was lost: the scan files it by the folder's number.
    writer.FileWithStreams(
        {.name = u"minutes.doc", .data = std::string(4096, 'm'), .modified = {2007, 6, 12, 9, 30, 0}});
    writer.Patch(writer.LastFile().block + 76, 9, 4).ResealBlock(writer.LastFile().block);
    writer.EndOfSet();
  }
  return writer.Bytes();
}

void Wait(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

void Keep(const QPixmap& picture, const QDir& folder, const char* name) {
  const QString path = folder.filePath(name);
  if (!picture.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  std::printf("%s\n", qPrintable(path));
}

void Save(QWidget& window, const QDir& folder, const char* name) { Keep(window.grab(), folder, name); }

// Calls `act` on the modal window of type T once it is open.
template <typename T>
void WhenModal(std::function<void(T&)> act) {
  auto poll = std::make_shared<QTimer>();
  poll->setInterval(50);
  QObject::connect(poll.get(), &QTimer::timeout, [act, poll] {
    auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
    if (window == nullptr) return;
    poll->stop();
    act(*window);
  });
  poll->start();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: take_screenshots OUTPUT_FOLDER\n");
    return 1;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  const QString bkf = QDir::temp().filePath("Weekly backup of the file server.bkf");
  const std::vector<std::byte> bytes = DemoBackup();
  MtfWriter writer;
  writer.Bytes() = bytes;
  writer.WriteTo(tallowin::PathFromQString(bkf));

  // Half a second for every read of the scan, which then takes a few seconds;
  // less for the save of many files, none for the verification.
  auto delay = std::make_shared<std::atomic<int>>(500);
  auto slowly = [bytes, delay](const std::filesystem::path&) {
    auto reader = std::make_unique<tallowin::test::MemoryReader>(bytes);
    reader->limitRead = [delay](std::uint64_t, std::size_t count) {
      std::this_thread::sleep_for(std::chrono::milliseconds(delay->load()));
      return count;
    };
    return std::unique_ptr<tallowin::BkfReader>(std::move(reader));
  };
  tallowin::CMainFrame frame(nullptr, slowly);
  frame.setWindowTitle("Tallowin for BKF");
  frame.setWindowIcon(tallowin::pictures::AppIcon());
  frame.resize(1280, 800);
  frame.show();
  frame.View()->PathBox()->setText(bkf);
  Wait(500);
  Save(frame, out, "start-page.png");

  QEventLoop finished;
  QObject::connect(frame.View(), &tallowin::CGUI_RezEreView::scanEnded, &finished, &QEventLoop::quit);
  frame.View()->Recover();
  Wait(1800);
  Save(frame, out, "scan-in-progress.png");
  finished.exec();
  Wait(300);
  Save(frame, out, "scan-finished.png");

  // Some files of one folder unchecked: the tree shows the partly checked state.
  auto* tree = frame.findChild<tallowin::FolderTreeView*>("folderTree");
  QAbstractItemModel* model = tree->model();
  const QModelIndex set = model->index(0, 0, model->index(0, 0));
  tree->expand(set);
  const QModelIndex documents = model->index(0, 0, set);
  tree->expand(documents);
  const QModelIndex contracts = model->index(0, 0, documents);
  emit tree->checkBoxPressed(contracts);
  tree->setCurrentIndex(documents);
  auto* list = frame.findChild<tallowin::FileListView*>("fileList");
  emit list->checkBoxClicked(2);
  tree->setCurrentIndex(contracts);
  emit list->checkBoxClicked(3);
  emit list->checkBoxClicked(5);
  // The tree's border dragged to the right, so that set names show whole.
  frame.View()->SetSplit({.treeWidth = 400, .captionTop = {}});
  Wait(300);
  Save(frame, out, "browser-checked.png");

  // The verification of the checked files and its report.
  delay->store(0);
  QTimer::singleShot(200, [&] {
    auto poll = std::make_shared<QTimer>();
    poll->setInterval(50);
    QObject::connect(poll.get(), &QTimer::timeout, [&, poll] {
      auto* report = qobject_cast<tallowin::VerifyReportDialog*>(QApplication::activeModalWidget());
      if (report == nullptr) return;
      poll->stop();
      Wait(300);
      Save(*report, out, "verify-report.png");
      report->reject();
    });
    poll->start();
  });
  frame.OnVerifyFiles();

  // The save: its progress window, then its summary.
  delay->store(40);
  QTemporaryDir target;
  {
    tallowin::ScopedFileDialogRoutine folder([&](tallowin::CNKFileDialog&) { return target.path(); });
    tallowin::ScopedMessageRoutine summary([&](QWidget* owner, const QString& text, const QString& caption,
                                               unsigned style) {
      auto box = tallowin::MakeMessageBox(owner, text, caption, style);
      box->show();
      Wait(300);
      Save(*box, out, "save-summary.png");
      return tallowin::mb::kIdOk;
    });
    QTimer::singleShot(1500, [&] {
      if (QWidget* window = QApplication::activeModalWidget()) Save(*window, out, "saving-files.png");
    });
    frame.View()->SaveCheckedFiles();
  }

  // The File menu with its recent files, as the screen shows them.
  {
    tallowin::RecentFiles recent;
    recent.Clear();
    recent.Add(QDir::temp().filePath("Monthly backup.TWBKF"));
    recent.Add(bkf);
    // Back asks before it drops the check marks changed above.
    tallowin::ScopedMessageRoutine yes([](QWidget*, const QString&, const QString&, unsigned) {
      return tallowin::mb::kIdYes;
    });
    frame.View()->Back();
    QMenu* file = frame.menuBar()->actions().constFirst()->menu();
    const QPoint at = frame.mapToGlobal(frame.menuBar()->geometry().bottomLeft());
    file->popup(at);
    Wait(300);
    file->setActiveAction(frame.RecentMenu()->menuAction());
    frame.RecentMenu()->popup(file->mapToGlobal(file->actionGeometry(frame.RecentMenu()->menuAction()).topRight()));
    Wait(500);
    const QRect shown = file->geometry().united(frame.RecentMenu()->geometry()).adjusted(-8, -30, 8, 8);
    Keep(QGuiApplication::primaryScreen()->grabWindow(0, shown.x(), shown.y(), shown.width(), shown.height()), out,
         "file-menu.png");
    frame.RecentMenu()->close();
    file->close();
    recent.Clear();
    delay->store(0);
    QEventLoop loaded;
    QObject::connect(frame.View(), &tallowin::CGUI_RezEreView::scanEnded, &loaded, &QEventLoop::quit);
    frame.View()->Recover();
    loaded.exec();
  }

  // The save dialog of a recovery snapshot, over a folder that holds one.
  {
    QTemporaryDir snapshots;
    tallowin::WriteSnapshot(tallowin::PathFromQString(snapshots.filePath("Weekly backup.TWBKF")),
                            tallowin::ToU16(bkf), frame.View()->GetCatalogue());
    tallowin::ScopedFileDialogRoutine look([&](tallowin::CNKFileDialog& dialog) {
      dialog.setOption(QFileDialog::DontUseNativeDialog);
      dialog.setDirectory(snapshots.path());
      dialog.resize(800, 500);
      dialog.show();
      Wait(500);
      Save(dialog, out, "snapshot-save.png");
      return QString();
    });
    frame.OnSaveSnapshot();
  }

  tallowin::FolderSettingDialog settings(frame.Values(), &frame);
  settings.show();
  Wait(300);
  Save(settings, out, "settings.png");
  settings.reject();

  tallowin::SearchFilesDialog search(frame.View()->GetCatalogue(), &frame);
  search.show();
  search.SearchBox()->setText("*.pdf");
  QTest::mouseClick(search.findChild<QWidget*>("search"), Qt::LeftButton);
  Wait(800);
  Save(search, out, "search-files.png");
  search.reject();

  // Verify All Files, then its verdicts where the files are: the column, the
  // mark of the folders above the damaged file, and the filter to trouble.
  WhenModal<tallowin::VerifyReportDialog>([](tallowin::VerifyReportDialog& report) { report.reject(); });
  frame.OnVerifyAllFiles();
  tree->expand(set);
  tree->expand(documents);
  tree->setCurrentIndex(contracts);
  Wait(300);
  Save(frame, out, "verdicts.png");
  frame.View()->Filter()->Choice()->setCurrentIndex(static_cast<int>(tallowin::VerdictChoice::kTrouble));
  tree->setCurrentIndex(model->index(0, 0));
  Wait(300);
  Save(frame, out, "filter.png");
  frame.View()->Filter()->Choice()->setCurrentIndex(0);

  WhenModal<tallowin::TextReportDialog>([&](tallowin::TextReportDialog& report) {
    Wait(300);
    Save(report, out, "recovery-report.png");
    report.reject();
  });
  frame.OnRecoveryReport();
  QFile::remove(bkf);
  return 0;
}
