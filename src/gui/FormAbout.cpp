#include "gui/FormAbout.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "base/Format.h"
#include "base/PlatformActions.h"
#include "gui/DialogPlacement.h"
#include "gui/ProductInfo.h"
#include "gui/dmGlobal.h"

namespace vc::gui {

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(QStringLiteral("About..."));
  auto* image = new QLabel;
  image->setPixmap(TdmGlobal::ProgramIcon().pixmap(64, 64));
  lblVersion = new QLabel(QString::fromStdString(base::Format("Velocast Version %s", FileVersion)));
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  QFont bold = lblVersion->font();
  bold.setBold(true);
  lblVersion->setFont(bold);
  auto* summary = new QLabel(QStringLiteral("A converter for video, audio and DVD titles."));
  lblUrl = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(QLatin1String(HomePage)));
  lblUrl->setObjectName(QStringLiteral("lblUrl"));
  lblUrl->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  // The platform's default handler, through the same action as the home page button.
  connect(lblUrl, &QLabel::linkActivated, this, [](const QString& url) { base::PlatformActions().OpenFile(url.toStdString()); });

  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  texts->addWidget(lblVersion);
  texts->addWidget(summary);
  texts->addWidget(lblUrl);
  auto* top = new QHBoxLayout;
  top->addWidget(image, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(texts);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  FixDialogBorder(*this);
}

void ExecuteAboutDialog(QWidget* parent) {
  TFormAbout dialog(parent);
  CentreOnDesktop(dialog);
  dialog.exec();
}

}  // namespace vc::gui
