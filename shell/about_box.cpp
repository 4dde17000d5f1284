#include "shell/about_box.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "browser/widgets/accessible_names.h"
#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/pictures.h"
#include "browser/widgets/text_qt.h"
#include "tallowin_version.h"

namespace tallowin {

namespace {
constexpr QSize kPictureSize(420, 260);
}

QString ProductNameAndVersion() {
  return ToQString(desktop::kAppTitle) + " " + QStringLiteral(TALLOWIN_VERSION);
}

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
  setWindowTitle("About " + ToQString(desktop::kAppTitle));
  setFixedSize(kPictureSize);
  auto* text = new QLabel(this);
  text->setObjectName("aboutText");
  text->setAlignment(Qt::AlignCenter);
  text->setTextFormat(Qt::RichText);
  text->setText("<p style='font-size:16pt'><b>" + ToQString(desktop::kAppTitle) + "</b></p>" +
                "<p>Version " + QStringLiteral(TALLOWIN_VERSION) + "</p>" +
                "<p>Recovers the files of damaged and truncated BKF backups.</p>");
  text->setGeometry(20, 40, kPictureSize.width() - 40, 150);
  auto* ok = new QPushButton(ToQString(desktop::kOkButton), this);
  ok->setObjectName("ok");
  ok->setDefault(true);
  ok->setGeometry(kPictureSize.width() / 2 - 40, kPictureSize.height() - 50, 80, 26);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  DescribeControls(*this);
}

void AboutBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, pictures::Render(pictures::kAbout, kPictureSize));
}

}  // namespace tallowin
