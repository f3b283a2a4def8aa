#include "gui/AVDesktopAlert.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "gui/Guarded.h"
#include "gui/dmGlobal.h"

namespace vc::gui {

namespace {

using Layout = tasks::TCompletionAlertLayout;
constexpr int FadeTime = 400;  // ms, each of fading in and fading out
constexpr int Margin = 10;     // px around the contents
constexpr int ButtonTop = Layout::Height - Layout::ButtonHeight - Margin;

std::vector<TAVDesktopAlert*>& shownAlerts() {
  static std::vector<TAVDesktopAlert*> alerts;
  return alerts;
}

}  // namespace

TAVDesktopAlert::TAVDesktopAlert(const QPixmap& image, const std::string& targetFile)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), FTargetFile(targetFile) {
  setObjectName(QStringLiteral("AVDesktopAlert"));
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(Layout::Width, Layout::Height);

  auto* picture = new QLabel(this);
  picture->setPixmap(image);
  picture->setGeometry(Margin, Margin, 32, 32);
  picture->setAttribute(Qt::WA_TransparentForMouseEvents);

  lblHeader = new QLabel(QString::fromLatin1(tasks::CompletionAlertHeader), this);
  lblHeader->setObjectName(QStringLiteral("lblHeader"));
  QFont bold = lblHeader->font();
  bold.setBold(true);
  lblHeader->setFont(bold);
  lblHeader->setGeometry(Margin + 32 + 8, Margin, Layout::Width - 2 * Margin - 40, 32);
  lblHeader->setAttribute(Qt::WA_TransparentForMouseEvents);

  lblMessage = new QLabel(QString::fromStdString(tasks::CompletionAlertMessage(targetFile)), this);
  lblMessage->setObjectName(QStringLiteral("lblMessage"));
  lblMessage->setWordWrap(true);
  lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblMessage->setCursor(Qt::PointingHandCursor);
  lblMessage->setStyleSheet(QStringLiteral("color: palette(link); text-decoration: underline;"));
  lblMessage->setGeometry(Margin, Margin + 40, Layout::Width - 2 * Margin, ButtonTop - Margin - 44);
  lblMessage->setAttribute(Qt::WA_TransparentForMouseEvents);

  btnFolder = new QPushButton(QString::fromLatin1(tasks::CompletionAlertFolderButton), this);
  btnFolder->setObjectName(QStringLiteral("btnFolder"));
  btnFolder->setGeometry(Layout::FolderButtonLeft, ButtonTop, Layout::ButtonWidth, Layout::ButtonHeight);
  connect(btnFolder, &QPushButton::clicked, this, &TAVDesktopAlert::folderClick);
  btnClose = new QPushButton(QString::fromLatin1(tasks::CompletionAlertCloseButton), this);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  btnClose->setGeometry(Layout::CloseButtonLeft, ButtonTop, Layout::ButtonWidth, Layout::ButtonHeight);
  connect(btnClose, &QPushButton::clicked, this, &QWidget::close);

  FDisplayTimer.setSingleShot(true);
  FDisplayTimer.setInterval(Layout::DisplayTime);
  connect(&FDisplayTimer, &QTimer::timeout, this, &TAVDesktopAlert::fadeOut);
  shownAlerts().push_back(this);
}

TAVDesktopAlert::~TAVDesktopAlert() { std::erase(shownAlerts(), this); }

const std::vector<TAVDesktopAlert*>& TAVDesktopAlert::Shown() { return shownAlerts(); }

QPoint TAVDesktopAlert::NextPosition() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const QPoint corner(area.right() + 1 - Layout::Width, area.bottom() + 1 - Layout::Height);
  // Each alert still at the corner's column pushes the next one up by its height; at the top the
  // column starts again at the corner.
  int top = corner.y();
  for (int tries = 0; tries < 64; ++tries) {
    const bool taken = std::any_of(shownAlerts().begin(), shownAlerts().end(), [&](TAVDesktopAlert* alert) {
      return alert->isVisible() && alert->pos() == QPoint(corner.x(), top);
    });
    if (!taken) break;
    top -= Layout::Height;
    if (top < area.top()) return corner;
  }
  return {corner.x(), top};
}

void TAVDesktopAlert::Execute(const QPoint& position) {
  move(position);
  setWindowOpacity(0.0);
  show();
  FFade = new QPropertyAnimation(this, "windowOpacity", this);
  FFade->setDuration(FadeTime);
  FFade->setStartValue(0.0);
  FFade->setEndValue(1.0);
  FFade->start();
  FDisplayTimer.start();
}

void TAVDesktopAlert::fadeOut() {
  FFade->stop();
  FFade->setStartValue(windowOpacity());
  FFade->setEndValue(0.0);
  connect(FFade, &QPropertyAnimation::finished, this, &QWidget::close);
  FFade->start();
}

void TAVDesktopAlert::folderClick() {
  Guarded([this] { tasks::CompletionAlertFolderClick(FTargetFile); });
}

void TAVDesktopAlert::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  FPressed = true;
  FDragged = false;
  FPressGlobal = event->globalPosition().toPoint();
  FPressOffset = FPressGlobal - frameGeometry().topLeft();
  FPressOnMessage = lblMessage->geometry().contains(event->position().toPoint());
}

void TAVDesktopAlert::mouseMoveEvent(QMouseEvent* event) {
  if (!FPressed || !(event->buttons() & Qt::LeftButton)) return;
  const QPoint global = event->globalPosition().toPoint();
  if (!FDragged && (global - FPressGlobal).manhattanLength() < QApplication::startDragDistance()) return;
  FDragged = true;
  move(global - FPressOffset);
}

void TAVDesktopAlert::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !FPressed) return QWidget::mouseReleaseEvent(event);
  FPressed = false;
  const bool click = !FDragged && FPressOnMessage && lblMessage->geometry().contains(event->position().toPoint());
  if (click) folderClick();
}

void TAVDesktopAlert::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& colours = palette();
  painter.fillRect(rect(), colours.color(QPalette::ToolTipBase));
  painter.setPen(colours.color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TDesktopAlerts::Show(const std::string& targetFile) {
  auto* alert = new TAVDesktopAlert(TdmGlobal::AlertImage(), targetFile);
  alert->Execute(TAVDesktopAlert::NextPosition());
}

}  // namespace vc::gui
