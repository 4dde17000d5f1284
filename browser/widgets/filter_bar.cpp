#include "browser/widgets/filter_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {

FilterBar::FilterBar(QWidget* parent)
    : QWidget(parent), text_(new QLineEdit(this)), choice_(new QComboBox(this)), pause_(new QTimer(this)) {
  setObjectName("filterBar");
  auto* textLabel = new QLabel(ToQString(desktop::kFilterLabel), this);
  textLabel->setBuddy(text_);
  text_->setObjectName("filterText");
  text_->setPlaceholderText(ToQString(desktop::kFilterPlaceholder));
  text_->setClearButtonEnabled(true);
  text_->setMinimumWidth(200);
  auto* choiceLabel = new QLabel(ToQString(desktop::kShowLabel), this);
  choiceLabel->setBuddy(choice_);
  choice_->setObjectName("verdictChoice");
  for (const std::u16string_view choice : desktop::kShowChoices) choice_->addItem(ToQString(choice));

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 0, 6, 0);
  layout->addWidget(textLabel);
  layout->addWidget(text_);
  layout->addSpacing(8);
  layout->addWidget(choiceLabel);
  layout->addWidget(choice_);

  pause_->setSingleShot(true);
  pause_->setInterval(kTypingPauseMilliseconds);
  connect(pause_, &QTimer::timeout, this, &FilterBar::Take);
  connect(text_, &QLineEdit::textChanged, pause_, qOverload<>(&QTimer::start));
  connect(text_, &QLineEdit::returnPressed, this, &FilterBar::Take);
  connect(choice_, &QComboBox::currentIndexChanged, this, &FilterBar::Take);
}

void FilterBar::Take() {
  pause_->stop();
  const QuickFilter now{text_->text(), static_cast<VerdictChoice>(std::max(choice_->currentIndex(), 0))};
  if (now == filter_) return;
  filter_ = now;
  emit filterChanged();
}

void FilterBar::Clear() {
  pause_->stop();
  const QSignalBlocker quietText(text_);
  const QSignalBlocker quietChoice(choice_);
  text_->clear();
  choice_->setCurrentIndex(0);
  if (!filter_.Active()) return;
  filter_ = {};
  emit filterChanged();
}

}  // namespace tallowin
