#include "browser/widgets/file_commands.h"

#include <QDrag>
#include <QPointer>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/file_drag.h"
#include "browser/widgets/scoped_url_launcher.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/verify_report_dialog.h"
#include "catalog/text_convert.h"

namespace tallowin {
namespace {

// Keeps the verdict and the place of each file a save outside any window
// gets to; it runs on the user-interface thread.
class QuietSave final : public SaveObserver {
 public:
  explicit QuietSave(RowVerdicts& verdicts) : verdicts_(verdicts) {}
  void OnFileDone(const FileReport& report) override {
    if (report.verdict) verdicts_.Record(report.row, *report.verdict, report.reason);
    lastFile = report.file;
  }
  std::filesystem::path lastFile;

 private:
  RowVerdicts& verdicts_;
};

}  // namespace

FileCommands::FileCommands(RecoverySessionController& session, SharedValues& values, QWidget* owner)
    : QObject(owner), session_(session), values_(values), owner_(owner), guard_(session, owner) {}

SaveRequest FileCommands::Request(const std::filesystem::path& destination) const {
  return {.bkfPath = PathFromUtf16(session_.BkfPath()),
          .destination = destination,
          .prefix = values_.folderPrefix,
          .opener = session_.Opener()};
}

SaveRequest FileCommands::FlatRequest(const std::filesystem::path& destination) const {
  SaveRequest request = Request(destination);
  request.layout.flat = true;
  return request;
}

std::optional<QString> FileCommands::ChooseFolder(std::u16string_view title) {
  for (;;) {
    CNKFileDialog dialog(owner_, ToQString(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (const QString last = LastFolder("save"); !last.isEmpty()) dialog.setDirectory(last);
    const QString folder = RunFileDialog(dialog);
    if (folder.isEmpty()) return std::nullopt;
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable()) {
      KeepLastFolder("save", folder);
      return folder;
    }
    ShowMessage(owner_, ToQString(desktop::kFolderNotWritable), mb::kIconExclamation);
  }
}

SaveSummary FileCommands::RunSave(SaveRequest request, SaveScope scope,
                                  std::filesystem::path* lastFile) {
  SavingFilesWindow window(session_.GetCatalogue(), std::move(request), session_.Verdicts(), owner_,
                           std::move(scope));
  connect(&window, &FileWorkWindow::progressed, this, &FileCommands::progressPercent);
  session_.Begin(SessionActivity::kSaving);
  const SaveSummary summary = window.Run();
  session_.End();
  if (lastFile != nullptr) *lastFile = window.LastFile();
  emit progressPercent(-1);
  emit verdictsChanged();
  return summary;
}

void FileCommands::SaveChecked() {
  if (!guard_.Permits(SessionCommand::kSave)) return;
  const std::optional<QString> folder = ChooseFolder(desktop::kSaveFolderTitle);
  if (!folder) return;
  ShowSaveSummary(RunSave(Request(PathFromQString(*folder)), {}, nullptr), std::nullopt);
}

void FileCommands::SaveFile(RowIndex row) {
  if (!guard_.Permits(SessionCommand::kSave)) return;
  const std::optional<QString> folder = ChooseFolder(desktop::kSaveFileTitle);
  if (!folder) return;
  const std::filesystem::path destination = PathFromQString(*folder);
  const SaveSummary summary = RunSave(
      FlatRequest(destination), {RowSelection::Listed({row}), {}, ToQString(desktop::kSavingOne)},
      nullptr);
  ShowSaveSummary(summary, destination);
}

void FileCommands::ShowSaveSummary(const SaveSummary& summary, const std::optional<std::filesystem::path>& folder) {
  QString text = ToQString(SaveSummaryText(summary));
  unsigned style = summary.Complete() ? mb::kIconInformation : mb::kIconExclamation;
  // The folders the save made (or the one it saved into); the first is the one to open.
  std::vector<std::filesystem::path> folders = summary.folders;
  if (folder && summary.fatalError.empty()) folders.push_back(*folder);
  if (!folders.empty()) {
    QStringList names;
    for (const std::filesystem::path& made : folders) names << QStringFromPath(made);
    text = ToQString(desktop::kSavedInto) + names.join(", ") + "\n" + text;
    style |= mb::kOpenFolderButton;
  }
  if (ShowMessage(owner_, text, style) == mb::kIdOpenFolder) {
    LaunchUrl(QUrl::fromLocalFile(QStringFromPath(folders.front())));
  }
}

void FileCommands::Verify(const RowSelection& selection) {
  if (!guard_.Permits(SessionCommand::kVerify)) return;
  const std::filesystem::path bkf = PathFromUtf16(session_.BkfPath());
  VerifyingFilesWindow window(session_.GetCatalogue(), VerifyOnlyRequest(bkf, session_.Opener()), selection,
                              session_.Verdicts(), owner_);
  connect(&window, &FileWorkWindow::progressed, this, &FileCommands::progressPercent);
  session_.Begin(SessionActivity::kVerifying);
  std::vector<RowIndex> notVerified;
  const SaveSummary summary = window.Run(notVerified);
  session_.End();
  emit progressPercent(-1);
  emit verdictsChanged();
  VerifyReportDialog report(
      summary, std::move(notVerified), session_.GetCatalogue(), session_.Verdicts(),
      [this](RowIndex row, bool checked) { emit markRequested(row, checked); }, bkf, owner_);
  connect(&report, &VerifyReportDialog::showRowRequested, this, &FileCommands::showRowRequested);
  report.exec();
}

void FileCommands::Open(RowIndex row) {
  if (!guard_.Permits(SessionCommand::kSave)) return;
  std::optional<std::filesystem::path> copy = copies_.Find(row);
  if (!copy) {
    const std::optional<std::filesystem::path> folder = copies_.Folder();
    if (!folder) {
      ShowMessage(owner_, ToQString(desktop::kNotOpened) + ToQString(desktop::kPrivateFolderMissing),
                  mb::kIconExclamation);
      return;
    }
    std::filesystem::path saved;
    const SaveSummary summary = RunSave(
        FlatRequest(*folder),
        {RowSelection::Listed({row}), ToQString(desktop::kOpeningTitle), ToQString(desktop::kOpening)},
        &saved);
    if (summary.cancelled) return;
    if (saved.empty()) {
      ShowMessage(owner_, ToQString(desktop::kNotOpened) + ToQString(SaveSummaryText(summary)), mb::kIconExclamation);
      return;
    }
    copies_.Keep(row, saved);
    copy = saved;
  }
  const QString file = QStringFromPath(*copy);
  if (!LaunchUrl(QUrl::fromLocalFile(file))) {
    ShowMessage(owner_, ToQString(desktop::kNoProgram) + file, mb::kIconExclamation);
  }
}

std::optional<std::filesystem::path> FileCommands::CopyForDrag(RowIndex row) {
  if (const std::optional<std::filesystem::path> copy = copies_.Find(row)) return copy;
  const std::optional<std::filesystem::path> folder = copies_.Folder();
  if (!folder) return std::nullopt;
  QuietSave observer(session_.Verdicts());
  session_.Begin(SessionActivity::kSaving);
  SaveRows(session_.GetCatalogue(), FlatRequest(*folder), RowSelection::Listed({row}), observer);
  session_.End();
  if (observer.lastFile.empty()) return std::nullopt;
  copies_.Keep(row, observer.lastFile);
  return observer.lastFile;
}

void FileCommands::Drag(RowIndex row) {
  if (!guard_.Permits(SessionCommand::kDragOut)) return;
  auto* drag = new QDrag(owner_);
  const QPointer<QDrag> alive(drag);
  auto* data = new FileCopyMimeData([this, row]() -> std::optional<QUrl> {
    const std::optional<std::filesystem::path> copy = CopyForDrag(row);
    if (!copy) return std::nullopt;
    return QUrl::fromLocalFile(QStringFromPath(*copy));
  });
  drag->setMimeData(data);
  CurrentDragRoutine()(*drag);
  if (!alive) return;
  if (data->Failed()) {
    ShowMessage(owner_, ToQString(desktop::kNotCopied) + ToQString(session_.GetCatalogue().GetCatalogueCell(row, kCellPath)),
                mb::kIconExclamation);
  }
  drag->deleteLater();
  emit verdictsChanged();
}

}  // namespace tallowin
