#include "browser/widgets/gui_view.h"

#include <filesystem>
#include <system_error>

#include <QLineEdit>

#include "browser/widgets/accessible_names.h"
#include "browser/widgets/browser_page.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/file_drop.h"
#include "browser/widgets/message_box.h"
#include "browser/widgets/recovery_commands.h"
#include "browser/widgets/recovery_findings.h"
#include "browser/widgets/scan_progress.h"
#include "browser/widgets/start_page.h"
#include "browser/widgets/text_qt.h"
#include "catalog/program_texts.h"
#include "engine/recovery_session.h"
#include "catalog/text_convert.h"

namespace tallowin {

CGUI_RezEreView::CGUI_RezEreView(SharedValues& values, QWidget* parent, FileTypeLookup lookup,
                                 BkfOpener opener)
    : QWidget(parent),
      session_(values, std::move(lookup), std::move(opener)),
      guard_(session_, this),
      commands_(new RecoveryCommands(session_, values, this)),
      browserPage_(std::make_unique<BrowserPage>(session_, *commands_, this)),
      startPage_(std::make_unique<StartPage>(this)) {
  setObjectName("view");
  new FileDrop(*this, [this] { return MayOpenFile(); }, [this](const QString& path) { OpenNamedFile(path); });
  ConnectSession();
  ConnectCommands();
  connect(startPage_.get(), &StartPage::nextClicked, this, &CGUI_RezEreView::Recover);
  connect(browserPage_.get(), &BrowserPage::backClicked, this, &CGUI_RezEreView::Back);
  connect(&browserPage_->Progress(), &ScanProgress::progressPercent, this, &CGUI_RezEreView::progressPercent);
  connect(browserPage_.get(), &BrowserPage::splitDragged, this, &CGUI_RezEreView::PlaceControls);
  connect(browserPage_.get(), &BrowserPage::splitReleased, this, &CGUI_RezEreView::splitChanged);
  browserPage_->Leave();
  DescribeControls(*this);
}

CGUI_RezEreView::~CGUI_RezEreView() { FinishBackgroundWork(); }

void CGUI_RezEreView::ConnectSession() {
  ScanEvents& events = session_.Events();
  connect(&events, &ScanEvents::openFailed, this, &CGUI_RezEreView::OnOpenFailed);
  connect(&events, &ScanEvents::finished, this, &CGUI_RezEreView::OnScanFinished);
  connect(&session_, &RecoverySessionController::loadFinished, this, [this](const SnapshotLoadResult& result) {
    browserPage_->Progress().StopFollowing();
    commands_->FinishLoad(result);
  });
  connect(&session_.Shown(), &BrowserState::checksChanged, this, &CGUI_RezEreView::checksChanged);
}

void CGUI_RezEreView::ConnectCommands() {
  FileCommands& files = commands_->Files();
  connect(&files, &FileCommands::progressPercent, this, &CGUI_RezEreView::progressPercent);
  connect(&files, &FileCommands::verdictsChanged, &session_.Shown(), &BrowserState::RecomputeMarks);
  connect(&files, &FileCommands::markRequested, &session_.Shown(), &BrowserState::MarkRow);
  connect(&files, &FileCommands::showRowRequested, this, &CGUI_RezEreView::ShowRow);
  connect(commands_, &RecoveryCommands::snapshotSaved, this, &CGUI_RezEreView::snapshotSaved);
  connect(commands_, &RecoveryCommands::fileOpened, this, &CGUI_RezEreView::fileOpened);
  connect(commands_, &RecoveryCommands::bkfNamed, PathBox(), &QLineEdit::setText);
  connect(commands_, &RecoveryCommands::loadRowsBegin, this, [this] {
    EnterBrowserPage();
    browserPage_->Progress().HideCounts();
  });
  connect(commands_, &RecoveryCommands::loadEnded, this, &CGUI_RezEreView::OnScanFinished);
  connect(commands_, &RecoveryCommands::loadAbandoned, this, [this] {
    session_.FillingShown();
    Back();
    emit scanEnded(0);
  });
  connect(commands_, &RecoveryCommands::loadFailed, this, &CGUI_RezEreView::OnLoadFailed);
}

QLineEdit* CGUI_RezEreView::PathBox() const { return startPage_->PathBox(); }

FilterBar* CGUI_RezEreView::Filter() const { return browserPage_->Filter(); }

FilterBar* CGUI_RezEreView::ReleaseFilter() { return browserPage_->ReleaseFilter(); }

ViewSplit CGUI_RezEreView::Split() const { return browserPage_->Split(); }

void CGUI_RezEreView::SetSplit(const ViewSplit& split) {
  browserPage_->SetSplit(split);
  PlaceControls();
}

void CGUI_RezEreView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceControls();
}

void CGUI_RezEreView::PlaceControls() {
  // Both pages fill the view; the layout places the controls of each.
  startPage_->setGeometry(rect());
  browserPage_->setGeometry(rect());
  const ViewLayout layout = ComputeViewLayout(width(), height(), browserPage_->Split());
  startPage_->Place(layout);
  browserPage_->Place(layout);
}

void CGUI_RezEreView::Browse() { startPage_->Browse(); }

void CGUI_RezEreView::StopClicked() { browserPage_->Progress().StopClicked(); }

void CGUI_RezEreView::SaveCheckedFiles() { commands_->SaveChecked(); }

void CGUI_RezEreView::VerifyCheckedFiles() { commands_->VerifyChecked(); }

void CGUI_RezEreView::VerifyAllFiles() { commands_->VerifyAll(); }

void CGUI_RezEreView::ShowRow(RowIndex row) { browserPage_->ShowRow(row); }

void CGUI_RezEreView::SaveSnapshot() { commands_->SaveSnapshot(); }

void CGUI_RezEreView::LoadSnapshot() { commands_->LoadSnapshot(); }

void CGUI_RezEreView::LoadSnapshotFile(const QString& path) { commands_->LoadSnapshotFile(path); }

bool CGUI_RezEreView::MayOpenFile() const {
  return session_.Allows(SessionCommand::kScan) == Refusal::kNone &&
         session_.Allows(SessionCommand::kLoadSnapshot) == Refusal::kNone;
}

void CGUI_RezEreView::OpenNamedFile(const QString& path) {
  if (!MayOpenFile()) return;
  if (LooksLikeSnapshot(PathFromQString(path))) {
    LoadSnapshotFile(path);
  } else {
    PathBox()->setText(path);
    Recover();
  }
}

void CGUI_RezEreView::Recover() {
  if (State() == kBrowserPage) {
    // While the scan runs Next says nothing; afterwards it saves.
    if (session_.Allows(SessionCommand::kSave) != Refusal::kScanRunning) SaveCheckedFiles();
    return;
  }
  if (!guard_.Permits(SessionCommand::kScan)) return;
  const QString path = PathBox()->text();
  if (path.isEmpty()) {
    Browse();
    return;
  }
  std::error_code error;
  if (!std::filesystem::exists(PathFromQString(path), error)) {
    ShowMessage(this, ToQString(texts::kSelectValidFile), mb::kIconExclamation);
    return;
  }
  StartRecovery(path);
}

void CGUI_RezEreView::StartRecovery(const QString& path) {
  EnterBrowserPage();
  session_.StartRecovery(ToU16(path));
  emit fileOpened(path);
}

void CGUI_RezEreView::EnterBrowserPage() {
  startPage_->hide();
  ForgetCatalogue();
  browserPage_->Begin();
  session_.SetBrowsing(true);
  emit stateChanged();
}

void CGUI_RezEreView::OnOpenFailed(const QString& message) {
  browserPage_->Progress().StopFollowing();
  ShowMessage(nullptr, message, mb::kIconInformation);
  session_.FillingShown();
  Back();
}

void CGUI_RezEreView::OnScanFinished(int rowCount, const QString& noDataMessage) {
  browserPage_->ShowEnd(rowCount > 0);
  emit progressPercent(-1);
  if (rowCount > 0) {
    session_.FillingShown();
    const ScanTotals totals = session_.Events().LastTotals();
    emit setCatalogueNote(
        ToQString(texts::SetCatalogueNote(totals.rowsFromSetCatalogue, totals.setCatalogueFilesNotFound)));
    ShowNote(NoteOnCatalogue(session_));
    emit damageFound(ScanFoundDamage(session_));
  } else {
    ShowMessage(this, noDataMessage, mb::kIconInformation);
    session_.FillingShown();
    Back();
  }
  emit stateChanged();
  emit scanEnded(rowCount);
}

void CGUI_RezEreView::OnLoadFailed() {
  session_.FillingShown();
  // The tree may already have been emptied; the models start afresh.
  ForgetCatalogue();
  emit stateChanged();
  emit scanEnded(0);
}

void CGUI_RezEreView::ShowNote(CatalogueNote note) {
  note_ = std::move(note);
  emit noteChanged();
}

void CGUI_RezEreView::Back() {
  if (!guard_.Permits(SessionCommand::kBack)) return;
  if (UserChanges() && ShowMessage(this, ToQString(desktop::kConfirmBack), mb::kYesNo | mb::kIconQuestion) != mb::kIdYes) {
    return;
  }
  ForgetCatalogue();
  emit damageFound(false);
  emit setCatalogueNote({});
  browserPage_->Leave();
  startPage_->show();
  session_.SetBrowsing(false);
  emit progressPercent(-1);
  emit checksChanged();
  emit stateChanged();
}

void CGUI_RezEreView::ForgetCatalogue() {
  browserPage_->Forget();
  session_.ForgetCatalogue();
  commands_->Files().Forget();
  ShowNote({});
}

}  // namespace tallowin
