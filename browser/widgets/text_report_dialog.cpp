#include "browser/widgets/text_report_dialog.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "browser/widgets/accessible_names.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/report_text.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {

TextReportDialog::TextReportDialog(const QString& title, const QString& text, std::filesystem::path bkfPath,
                                   QWidget* owner)
    : QDialog(owner), text_(text), bkfPath_(std::move(bkfPath)) {
  setObjectName("textReport");
  setWindowTitle(title);
  auto* view = new QPlainTextEdit(this);
  view->setObjectName("report");
  view->setReadOnly(true);
  view->setLineWrapMode(QPlainTextEdit::NoWrap);
  view->setPlainText(text_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* copy = buttons->addButton(ToQString(desktop::kCopy), QDialogButtonBox::ActionRole);
  copy->setObjectName("copy");
  QPushButton* save = buttons->addButton(ToQString(desktop::kSaveAsText), QDialogButtonBox::ActionRole);
  save->setObjectName("saveAsText");
  QPushButton* close = buttons->addButton(ToQString(desktop::kClose), QDialogButtonBox::RejectRole);
  close->setObjectName("close");
  close->setDefault(true);
  connect(copy, &QPushButton::clicked, this, [this] { CopyReportText(text_); });
  connect(save, &QPushButton::clicked, this, [this] { SaveReportText(this, text_, bkfPath_); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view);
  layout->addWidget(buttons);
  // Wide enough for the longest line, within most of the screen.
  const QFontMetrics metrics(view->font());
  int widest = 0;
  for (const QString& line : text_.split('\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
  const QRect screen = (owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  resize(std::clamp(widest + 60, 640, screen.width() * 9 / 10), std::min(520, screen.height() * 8 / 10));
  DescribeControls(*this);
}

}  // namespace tallowin
