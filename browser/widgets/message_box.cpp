#include "browser/widgets/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {
namespace {

QMessageBox::Icon IconOf(unsigned style) {
  switch (style & 0xF0) {
    case mb::kIconQuestion: return QMessageBox::Question;
    case mb::kIconExclamation: return QMessageBox::Warning;
    case mb::kIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// A light-blue, white, light-blue shaded message area.
constexpr const char* kShadedLook =
    "QMessageBox { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
    " stop:0 #cfe3f7, stop:0.5 #ffffff, stop:1 #cfe3f7); }"
    "QMessageBox QLabel { background: transparent; color: #10243c; }";

}  // namespace

MessageRoutine& CurrentMessageRoutine() {
  static MessageRoutine routine = ShowMessageBox;
  return routine;
}

int ShowMessage(QWidget* owner, const QString& text, const QString& caption, unsigned style) {
  return CurrentMessageRoutine()(owner, text, caption, style);
}

int ShowMessage(QWidget* owner, const QString& text, unsigned style) {
  return ShowMessage(owner, text, ToQString(desktop::kAppTitle), style);
}

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const QString& text, const QString& caption,
                                            unsigned style) {
  auto box = std::make_unique<QMessageBox>(IconOf(style), caption, text, QMessageBox::NoButton, owner);
  box->setStyleSheet(kShadedLook);
  // Every button with a key of its own.
  if ((style & 0x0F) == mb::kYesNo) {
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::Yes);
    box->button(QMessageBox::Yes)->setText(ToQString(desktop::kYesButton));
    box->button(QMessageBox::No)->setText(ToQString(desktop::kNoButton));
  } else {
    box->setStandardButtons(QMessageBox::Ok);
    box->button(QMessageBox::Ok)->setText(ToQString(desktop::kOkButton));
  }
  if ((style & mb::kOpenFolderButton) != 0) {
    box->addButton(ToQString(desktop::kOpenFolderButton), QMessageBox::ActionRole)->setObjectName("openFolder");
  }
  return box;
}

int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned style) {
  const std::unique_ptr<QMessageBox> box = MakeMessageBox(owner, text, caption, style);
  // The sound that goes with a warning; the desktop has no other per-icon sounds.
  if ((style & 0xF0) == mb::kIconExclamation) QApplication::beep();
  const int answer = box->exec();
  if (box->clickedButton() != nullptr && box->clickedButton()->objectName() == "openFolder") {
    return mb::kIdOpenFolder;
  }
  switch (answer) {
    case QMessageBox::Yes: return mb::kIdYes;
    case QMessageBox::No: return mb::kIdNo;
    case QMessageBox::Ok: return mb::kIdOk;
    default: return (style & 0x0F) == mb::kYesNo ? mb::kIdNo : mb::kIdOk;
  }
}

}  // namespace tallowin
