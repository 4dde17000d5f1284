#include "browser/widgets/start_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/file_dialog.h"
#include "browser/widgets/hover_button.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {

StartPage::StartPage(QWidget* parent) : QWidget(parent) {
  setObjectName("startPage");
  prompt_ = new QLabel(ToQString(desktop::kPrompt), this);
  prompt_->setObjectName("prompt");
  QFont promptFont("Arial");
  promptFont.setPixelSize(16);
  prompt_->setFont(promptFont);
  prompt_->setStyleSheet("color: white; background: transparent;");

  pathBox_ = new QLineEdit(this);
  pathBox_->setObjectName("pathBox");
  QFont boxFont("Ms Sans Serif");
  boxFont.setPixelSize(16);
  pathBox_->setFont(boxFont);
  connect(pathBox_, &QLineEdit::returnPressed, this, &StartPage::nextClicked);

  browse_ = new QPushButton(ToQString(desktop::kBrowseButton), this);
  browse_->setObjectName("browse");
  connect(browse_, &QPushButton::clicked, this, &StartPage::Browse);

  next_ = PictureButton(this, "next", pictures::kNextButton, QSize(92, 39), "Alt+N");
  next_->setToolTip(ToQString(desktop::kNextTooltip));
  connect(next_, &QAbstractButton::clicked, this, &StartPage::nextClicked);
}

void StartPage::Browse() {
  const QString chosen = ChooseExistingFile(this, desktop::kBrowseTitle, desktop::kBkfFilter, "bkf");
  if (!chosen.isEmpty()) pathBox_->setText(chosen);
}

void StartPage::Place(const ViewLayout& layout) {
  PlaceWidget(*prompt_, layout.promptLabel);
  PlaceWidget(*pathBox_, layout.pathBox);
  PlaceWidget(*browse_, layout.browseButton);
  PlaceWidget(*next_, layout.nextButton);
}

void StartPage::paintEvent(QPaintEvent*) {
  if (background_.size() != size()) background_ = pictures::Render(pictures::kStartPage, size());
  QPainter painter(this);
  painter.drawPixmap(0, 0, background_);
}

}  // namespace tallowin
