#include "browser/widgets/rename_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "browser/widgets/accessible_names.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/dialog_units.h"
#include "browser/widgets/text_qt.h"

namespace tallowin {

RenameDialog::RenameDialog(QWidget* owner) : QDialog(owner), name_(new QLineEdit(this)) {
  setWindowTitle(ToQString(desktop::kRenameTitle));
  UseDialogUnitFont(*this);
  setFixedSize(DialogSize(214, 65));
  auto* label = new QLabel(ToQString(desktop::kRenameLabel), this);
  label->setBuddy(name_);
  label->setGeometry(DialogRect(7, 8, 47, 13));
  name_->setObjectName("1005");
  name_->setGeometry(DialogRect(60, 7, 147, 15));
  auto* ok = new QPushButton("&OK", this);
  ok->setDefault(true);
  ok->setGeometry(DialogRect(49, 44, 50, 14));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton(ToQString(desktop::kCancelButton), this);
  cancel->setGeometry(DialogRect(112, 44, 50, 14));
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  DescribeControls(*this);
}

QString RenameRefusal(RenameResult result) {
  switch (result) {
    case RenameResult::kEmptyName: return ToQString(desktop::kRenameEmpty);
    case RenameResult::kIllegalCharacter: return ToQString(desktop::kRenameIllegal);
    case RenameResult::kTopLevel: return ToQString(desktop::kRenameTopLevel);
    default: return {};
  }
}

RenameRoutine& CurrentRenameRoutine() {
  static RenameRoutine routine = [](QWidget* owner, const QString& text) -> std::optional<QString> {
    RenameDialog dialog(owner);
    dialog.NameBox()->setText(text);
    dialog.NameBox()->selectAll();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.NameBox()->text();
  };
  return routine;
}

}  // namespace tallowin
