#include "gui/FormOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/AppPaths.h"
#include "gui/DialogPlacement.h"
#include "gui/FolderEdit.h"
#include "tasks/AVConfiguration.h"

namespace vc::gui {

namespace {
constexpr int MaxThreadCount = 32;
}

TFormOptions::TFormOptions(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormOptions"));
  setWindowTitle(QStringLiteral("Options"));

  tvOptions = new QTreeWidget;
  tvOptions->setObjectName(QStringLiteral("tvOptions"));
  tvOptions->setHeaderHidden(true);
  tvOptions->setRootIsDecorated(false);
  tvOptions->setFixedWidth(130);
  tvOptions->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("General")}));
  tvOptions->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("Performance")}));

  plOptions = new QStackedWidget;
  plOptions->setObjectName(QStringLiteral("plOptions"));

  pgGeneral = new QWidget;
  pgGeneral->setObjectName(QStringLiteral("pgGeneral"));
  edtOutputFolder = new TFolderEdit;
  edtOutputFolder->setObjectName(QStringLiteral("edtOutputFolder"));
  edtOutputFolder->setMinimumWidth(300);
  chkAlert = new QCheckBox(QStringLiteral("Show Alert When Conversion Completed"));
  chkAlert->setObjectName(QStringLiteral("chkAlert"));
  chkAlert->setLayoutDirection(Qt::RightToLeft);  // the text left of the box
  auto* general = new QVBoxLayout(pgGeneral);
  general->addWidget(new QLabel(QStringLiteral("Output Folder")));
  general->addWidget(edtOutputFolder);
  general->addSpacing(8);
  general->addWidget(chkAlert, 0, Qt::AlignLeft);
  general->addStretch();

  pgPerformance = new QWidget;
  pgPerformance->setObjectName(QStringLiteral("pgPerformance"));
  tbPriority = new QSlider(Qt::Horizontal);
  tbPriority->setObjectName(QStringLiteral("tbPriority"));
  tbPriority->setRange(0, 5);
  tbPriority->setPageStep(1);
  tbPriority->setTickPosition(QSlider::TicksBelow);
  tbPriority->setTickInterval(1);
  connect(tbPriority, &QSlider::valueChanged, this, [this](int value) {
    tbPriority->setToolTip(QString::number(value));
    if (tbPriority->isSliderDown()) QToolTip::showText(QCursor::pos(), QString::number(value), tbPriority);
  });
  cbbThreadCnt = new QComboBox;
  cbbThreadCnt->setObjectName(QStringLiteral("cbbThreadCnt"));
  auto* performance = new QGridLayout(pgPerformance);
  performance->addWidget(new QLabel(QStringLiteral("Thread Priority")), 0, 0, 1, 3);
  performance->addWidget(new QLabel(QStringLiteral("Low")), 1, 0);
  performance->addWidget(tbPriority, 1, 1);
  performance->addWidget(new QLabel(QStringLiteral("High")), 1, 2);
  performance->addWidget(new QLabel(QStringLiteral("Thread Count")), 2, 0, 1, 3);
  performance->addWidget(cbbThreadCnt, 3, 0, 1, 3);
  performance->setRowStretch(4, 1);

  plOptions->addWidget(pgGeneral);
  plOptions->addWidget(pgPerformance);
  connect(tvOptions, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item) plOptions->setCurrentIndex(tvOptions->indexOfTopLevelItem(item));
  });

  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* pages = new QHBoxLayout;
  pages->addWidget(tvOptions);
  pages->addWidget(plOptions, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pages);
  layout->addWidget(buttons);
  FixDialogBorder(*this);

  // The first entry selected and focused: "General" shows.
  tvOptions->setCurrentItem(tvOptions->topLevelItem(0));
  tvOptions->setFocus();
}

void TFormOptions::LoadOptions() {
  const tasks::TAVConfiguration& config = tasks::Configuration();
  cbbThreadCnt->clear();
  cbbThreadCnt->addItem(QStringLiteral("Automatic(use all CPU(s))"));
  for (int i = 1; i <= MaxThreadCount; ++i) cbbThreadCnt->addItem(QString::number(i));
  cbbThreadCnt->setCurrentIndex(0);
  FStoredThreadCount = config.PerformanceOptions.ThreadCount;
  if (FStoredThreadCount >= 0 && FStoredThreadCount <= MaxThreadCount) cbbThreadCnt->setCurrentIndex(FStoredThreadCount);
  tbPriority->setValue(config.PerformanceOptions.ThreadPrority);
  edtOutputFolder->SetFolder(QString::fromStdString(config.OutputFolder));
  edtOutputFolder->SetInitialFolder(QString::fromStdString(base::HomeFolder()));
  chkAlert->setChecked(config.ShowAlert);
}

void TFormOptions::StoreOptions() {
  tasks::TAVConfiguration& config = tasks::Configuration();
  const int index = cbbThreadCnt->currentIndex();
  const bool shownAsStored = FStoredThreadCount >= 0 && FStoredThreadCount <= MaxThreadCount;
  // A stored count the list cannot show survives as long as the user leaves the list alone.
  if (shownAsStored || index != 0) config.PerformanceOptions.ThreadCount = index;
  config.PerformanceOptions.ThreadPrority = tbPriority->value();
  config.OutputFolder = edtOutputFolder->Folder().toStdString();
  config.ShowAlert = chkAlert->isChecked();
}

bool ExecuteOptionsDialog(QWidget* parent) {
  TFormOptions dialog(parent);
  dialog.LoadOptions();
  CentreOnDesktop(dialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  dialog.StoreOptions();
  tasks::Configuration().Save();
  return true;
}

}  // namespace vc::gui
