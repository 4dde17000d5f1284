#include "browser/widgets/recovery_session_controller.h"

#include <QCoreApplication>

#include <future>
#include <type_traits>

#include "engine/recovery_session.h"
#include "catalog/text_convert.h"

namespace tallowin {

namespace {

// Runs `work` on the thread of `receiver` and waits for its result. The
// answer comes back through a promise, whose hand-over every tool that
// checks threads can see (Qt's own waiting is outside their view).
template <typename Work>
auto AskThreadOf(QObject& receiver, Work work) {
  std::promise<decltype(work())> answer;
  QMetaObject::invokeMethod(&receiver, [&] {
    if constexpr (std::is_void_v<decltype(work())>) {
      work();
      answer.set_value();
    } else {
      answer.set_value(work());
    }
  }, Qt::QueuedConnection);
  return answer.get_future().get();
}

}  // namespace

// Carries a snapshot load's questions and news between its worker and the
// user-interface thread. Questions wait for their answer.
class RecoverySessionController::LoadObserver : public SnapshotLoadObserver {
 public:
  LoadObserver(RecoverySessionController& session, LoadQuestions questions)
      : session_(session), questions_(std::move(questions)) {}

  std::optional<std::u16string> LocateMissingBkf(std::u16string_view recordedPath) override {
    return AskThreadOf(session_, [&] { return questions_.locateMissingBkf(recordedPath); });
  }
  void OnRowsBegin(std::u16string_view bkfPath) override {
    AskThreadOf(session_, [&] {
      session_.bkfPath_ = bkfPath;
      questions_.rowsBegin(bkfPath);
    });
  }
  void OnProgress(const JobProgress& progress) override {
    session_.loadPercent_.store(progress.Percent(), std::memory_order_relaxed);
  }

 private:
  RecoverySessionController& session_;
  LoadQuestions questions_;
};

RecoverySessionController::RecoverySessionController(SharedValues& values, FileTypeLookup lookup,
                                                     BkfOpener opener, QObject* parent)
    : QObject(parent),
      values_(values),
      catalogue_(lookup ? std::move(lookup) : GenericFileType),
      opener_(std::move(opener)),
      scanner_(catalogue_, values_.log, events_, opener_) {}

RecoverySessionController::~RecoverySessionController() { FinishBackgroundWork(); }

void RecoverySessionController::Begin(SessionActivity activity) { activity_ = activity; }

void RecoverySessionController::StartRecovery(const std::u16string& path) {
  // Whatever an earlier recovery left goes before anything new is shown.
  if (recoveryWorker_.joinable()) recoveryWorker_.join();
  events_.Clear();
  verdicts_.Clear();
  bkfPath_ = path;
  snapshotPath_.clear();
  loadLast_ = false;
  activity_ = SessionActivity::kScanning;
  LogRecoveryStart(values_.log, bkfPath_);
  recoveryWorker_ = std::jthread([this, file = PathFromUtf16(path)](std::stop_token stop) {
    RunRecoveryWorker(catalogue_, scanner_, values_.log, file, std::move(stop));
  });
}

void RecoverySessionController::StartLoad(const std::u16string& path, LoadQuestions questions) {
  if (loadWorker_.joinable()) loadWorker_.join();
  events_.Clear();  // a snapshot says nothing of what a scan found
  verdicts_.Clear();
  snapshotPath_ = path;
  loadLast_ = true;
  loadPercent_ = 0;
  activity_ = SessionActivity::kLoading;
  loadRunning_ = true;
  loadWorker_ = std::jthread([this, file = PathFromUtf16(path),
                              questions = std::move(questions)](std::stop_token stop) {
    LoadObserver observer(*this, questions);
    const SnapshotLoadResult result = LoadSnapshot(file, catalogue_, observer, std::move(stop));
    QMetaObject::invokeMethod(this, [this, result] {
      loadRunning_ = false;
      if (result.status == SnapshotLoadStatus::kLoaded) bkfPath_ = result.bkfPath;
      emit loadFinished(result);
    }, Qt::QueuedConnection);
  });
}

void RecoverySessionController::Stop() {
  recoveryWorker_.request_stop();
  loadWorker_.request_stop();
  scanner_.TellStopped();
}

void RecoverySessionController::SaveSnapshot(const std::u16string& target) {
  if (snapshotWorker_.joinable()) snapshotWorker_.join();
  writingSnapshot_ = true;
  snapshotWorker_ = std::jthread([this, file = PathFromUtf16(target), bkf = bkfPath_] {
    const SnapshotWriteResult result = WriteSnapshot(file, bkf, catalogue_, true);
    QMetaObject::invokeMethod(this, [this, result] {
      writingSnapshot_ = false;
      emit snapshotSaved(result.ok(), QString::fromStdString(result.error));
    }, Qt::QueuedConnection);
  });
}

void RecoverySessionController::FinishBackgroundWork() {
  Stop();
  if (snapshotWorker_.joinable()) snapshotWorker_.join();
  // A load may be waiting for this thread to answer; it is served until it
  // has seen the stop and ended.
  while (loadRunning_) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  if (loadWorker_.joinable()) loadWorker_.join();
}

void RecoverySessionController::ForgetCatalogue() {
  shown_.Forget();
  catalogue_.ClearFolderTree();
  catalogue_.ClearCatalogue();
  verdicts_.Clear();
}

Refusal RecoverySessionController::Allows(SessionCommand command) const {
  const bool filling = Filling();
  switch (command) {
    case SessionCommand::kScan:
    case SessionCommand::kLoadSnapshot:
      // A new catalogue comes only on the start page, into an idle session.
      if (browsing_) return Refusal::kCatalogueShown;
      if (writingSnapshot_) return Refusal::kSnapshotWriting;
      if (Busy()) return Refusal::kWorkUnderWay;
      return Refusal::kNone;
    case SessionCommand::kBack:
    case SessionCommand::kRenameFolder:
    case SessionCommand::kSaveSnapshot:
      // Each drops the rows or changes their folders, or reads them all:
      // not while they still come, nor while a snapshot is written of them.
      if (!browsing_) return Refusal::kNoCatalogue;
      if (filling) return Refusal::kScanRunning;
      if (writingSnapshot_) return Refusal::kSnapshotWriting;
      return Refusal::kNone;
    case SessionCommand::kSave:
    case SessionCommand::kVerify:
      if (!browsing_) return Refusal::kNoCatalogue;
      if (filling) return Refusal::kScanRunning;
      if (Busy()) return Refusal::kWorkUnderWay;
      return Refusal::kNone;
    case SessionCommand::kDragOut:
      // A drag asks nothing: it simply does not begin.
      if (!browsing_) return Refusal::kNoCatalogue;
      if (Busy()) return Refusal::kWorkUnderWay;
      return Refusal::kNone;
    case SessionCommand::kSearch:
    case SessionCommand::kRecoveryReport:
      if (!browsing_) return Refusal::kNoCatalogue;
      if (filling) return Refusal::kScanRunning;
      return Refusal::kNone;
    case SessionCommand::kCheckFiles:
      if (!browsing_) return Refusal::kNoCatalogue;
      if (filling) return Refusal::kScanRunningForChecks;
      return Refusal::kNone;
    case SessionCommand::kFileMenu:
      if (!browsing_) return Refusal::kNoCatalogue;
      if (filling) return Refusal::kScanRunningForMenu;
      return Refusal::kNone;
    case SessionCommand::kBrowse:
      return browsing_ ? Refusal::kNone : Refusal::kNoCatalogue;
  }
  return Refusal::kNone;
}

}  // namespace tallowin
