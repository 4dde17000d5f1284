// Takes the README's pictures of the desktop program: the start page, a scan
// in progress, a finished scan, a partly checked tree, the save's progress
// window and summary, the snapshot dialog, the settings and the search. The BKF file is made here; it
// is read slowly on purpose, so that the pictures of running work catch it.
//
//   take_screenshots OUTPUT_FOLDER
//
// Run it under xvfb-run (or any display); the pictures are of the real window.
#include <chrono>
#include <cstdio>
#include <thread>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "browser/widgets/browser_views.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/folder_setting_dialog.h"
#include "browser/widgets/gui_view.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/search_dialog.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/text_qt.h"
#include "catalog/snapshot.h"
#include "shell/main_frame.h"
#include "tests/support/memory_reader.h"
#include "tests/support/mtf_writer.h"

namespace {

using tallowin::test::FileEntry;
using tallowin::test::MtfWriter;

std::vector<std::byte> DemoBackup() {
  MtfWriter writer;
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
        writer.File({.name = name, .data = std::string(static_cast<std::size_t>(2000 + file * 3731 % 60000), 'x'),
                     .modified = {2007, 1 + file % 12, 1 + file % 28, file % 24, file % 60, 7}});
      }
    }
    writer.EndOfSet();
  }
  writer.Align();
  return writer.Bytes();
}

void Wait(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

void Save(QWidget& window, const QDir& folder, const char* name) {
  const QString path = folder.filePath(name);
  if (!window.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  std::printf("%s\n", qPrintable(path));
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

  // Half a second for every read: the scan takes a few seconds.
  auto slowly = [bytes](const std::filesystem::path&) {
    auto reader = std::make_unique<tallowin::test::MemoryReader>(bytes);
    reader->limitRead = [](std::uint64_t, std::size_t count) {
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
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
  Wait(300);
  Save(frame, out, "browser-checked.png");

  // The save: its progress window, then its summary.
  QTemporaryDir target;
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
  QFile::remove(bkf);
  return 0;
}
