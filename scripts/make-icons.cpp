// Draws the program's icons into data/icons as PNG files. The PNGs are committed, so a build never
// needs this; run it again after changing a drawing:
//   g++ -std=c++20 -fPIC scripts/make-icons.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make-icons
//   QT_QPA_PLATFORM=offscreen /tmp/make-icons data/icons
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

using Draw = std::function<void(QPainter&)>;

// Every drawing works on a 48x48 canvas and is scaled to the wanted size.
void save(const QString& folder, const QString& name, int size, const Draw& draw) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 48.0, size / 48.0);
  draw(p);
  p.end();
  const QString file = folder + "/" + name + ".png";
  if (!image.save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

QPolygonF triangle(double left, double top, double size) {
  return QPolygonF({QPointF(left, top), QPointF(left + size * 0.87, top + size / 2), QPointF(left, top + size)});
}

void playShape(QPainter& p, QColor fill) {
  p.setPen(QPen(fill.darker(150), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPolygon(triangle(13, 6, 36));
}

void pauseShape(QPainter& p, QColor fill) {
  p.setPen(QPen(fill.darker(150), 2.5));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(9, 6, 11, 36), 2, 2);
  p.drawRoundedRect(QRectF(28, 6, 11, 36), 2, 2);
}

void stopShape(QPainter& p, QColor fill) {
  p.setPen(QPen(fill.darker(150), 2.5));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(7, 7, 34, 34), 4, 4);
}

void crossShape(QPainter& p) {
  p.setPen(QPen(QColor(0xc0, 0x1c, 0x28).darker(130), 2.5));
  p.setBrush(QColor(0xe0, 0x1b, 0x24));
  p.drawEllipse(QRectF(4, 4, 40, 40));
  p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 16), QPointF(32, 32));
  p.drawLine(QPointF(32, 16), QPointF(16, 32));
}

void checkShape(QPainter& p) {
  p.setPen(QPen(QColor(0x26, 0xa2, 0x69).darker(140), 2.5));
  p.setBrush(QColor(0x2e, 0xc2, 0x7e));
  p.drawEllipse(QRectF(4, 4, 40, 40));
  p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({QPointF(14, 25), QPointF(21, 32), QPointF(34, 16)}));
}

// A strip of film with its sprocket holes: the program's own mark.
void filmShape(QPainter& p, QRectF r, QColor body) {
  p.setPen(QPen(body.darker(160), 2));
  p.setBrush(body);
  p.drawRoundedRect(r, 3, 3);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 220));
  const double hole = r.width() / 9;
  for (int i = 0; i < 4; ++i) {
    const double y = r.top() + r.height() * (0.12 + i * 0.22);
    p.drawRect(QRectF(r.left() + hole * 0.6, y, hole, hole * 0.9));
    p.drawRect(QRectF(r.right() - hole * 1.6, y, hole, hole * 0.9));
  }
  p.setBrush(QColor(0x99, 0xc1, 0xf1));
  p.drawRect(QRectF(r.left() + hole * 2.3, r.top() + r.height() * 0.1, r.width() - hole * 4.6, r.height() * 0.8));
}

void appShape(QPainter& p) {
  filmShape(p, QRectF(4, 6, 30, 36), QColor(0x35, 0x84, 0xe4));
  // The arrow of a conversion, leaving the strip.
  QPainterPath arrow;
  arrow.moveTo(22, 19);
  arrow.lineTo(33, 19);
  arrow.lineTo(33, 12);
  arrow.lineTo(45, 24);
  arrow.lineTo(33, 36);
  arrow.lineTo(33, 29);
  arrow.lineTo(22, 29);
  arrow.closeSubpath();
  p.setPen(QPen(QColor(0xc6, 0x46, 0x00), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(0xff, 0x78, 0x00));
  p.drawPath(arrow);
}

void folderShape(QPainter& p) {
  p.setPen(QPen(QColor(0xb5, 0x83, 0x5a).darker(130), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(0xe5, 0xa5, 0x0a));
  QPainterPath tab;
  tab.moveTo(4, 12);
  tab.lineTo(4, 8);
  tab.lineTo(18, 8);
  tab.lineTo(22, 12);
  tab.closeSubpath();
  p.drawPath(tab);
  p.setBrush(QColor(0xf6, 0xd3, 0x2d));
  p.drawRoundedRect(QRectF(4, 12, 40, 28), 3, 3);
}

void queueShape(QPainter& p) {
  // Gears of work going on: a ring with a play mark.
  p.setPen(QPen(QColor(0x1a, 0x5f, 0xb4), 6));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(6, 6, 36, 36), 30 * 16, 300 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1a, 0x5f, 0xb4));
  p.drawPolygon(QPolygonF({QPointF(36, 2), QPointF(46, 14), QPointF(32, 16)}));
  p.setBrush(QColor(0x33, 0xd1, 0x7a));
  p.drawPolygon(triangle(19, 15, 18));
}

void houseShape(QPainter& p) {
  p.setPen(QPen(QColor(0x61, 0x35, 0x83), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(0xdc, 0x8a, 0xdd));
  p.drawPolygon(QPolygonF({QPointF(4, 24), QPointF(24, 5), QPointF(44, 24)}));
  p.setBrush(QColor(0xf6, 0xf5, 0xf4));
  p.drawRect(QRectF(10, 23, 28, 20));
  p.setBrush(QColor(0x98, 0x6a, 0x44));
  p.drawRect(QRectF(20, 30, 8, 13));
}

void newShape(QPainter& p) {
  filmShape(p, QRectF(4, 4, 30, 36), QColor(0x35, 0x84, 0xe4));
  p.setPen(QPen(QColor(0x26, 0xa2, 0x69).darker(140), 2));
  p.setBrush(QColor(0x2e, 0xc2, 0x7e));
  p.drawEllipse(QRectF(24, 24, 22, 22));
  p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(35, 29), QPointF(35, 41));
  p.drawLine(QPointF(29, 35), QPointF(41, 35));
}

void playerShape(QPainter& p) {
  p.setPen(QPen(QColor(0x24, 0x1f, 0x31), 2.5));
  p.setBrush(QColor(0x3d, 0x38, 0x46));
  p.drawRoundedRect(QRectF(3, 8, 42, 32), 4, 4);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xf6, 0xf5, 0xf4));
  p.drawPolygon(triangle(19, 15, 18));
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("data/icons");
  QDir().mkpath(folder);
  // The tree: the queue entry and a category.
  save(folder, "tree-queue", 16, queueShape);
  save(folder, "tree-category", 16, folderShape);
  // Task status, in the order of the status values: running, paused, error, finished.
  save(folder, "status-running", 16, [](QPainter& p) { playShape(p, QColor(0x33, 0xd1, 0x7a)); });
  save(folder, "status-paused", 16, [](QPainter& p) { pauseShape(p, QColor(0xf5, 0xc2, 0x11)); });
  save(folder, "status-error", 16, crossShape);
  save(folder, "status-finished", 16, checkShape);
  // The toolbar and the main menu.
  save(folder, "action-new", 48, newShape);
  save(folder, "action-start", 48, [](QPainter& p) { playShape(p, QColor(0x33, 0xd1, 0x7a)); });
  save(folder, "action-pause", 48, [](QPainter& p) { pauseShape(p, QColor(0xf5, 0xc2, 0x11)); });
  save(folder, "action-stop", 48, [](QPainter& p) { stopShape(p, QColor(0xe0, 0x1b, 0x24)); });
  save(folder, "action-home", 48, houseShape);
  save(folder, "action-player", 48, playerShape);
  // The completion alert's picture.
  save(folder, "alert", 32, checkShape);
  // The program, for the desktop's menus and the window.
  for (int size : {16, 32, 48, 128, 256}) save(folder, QString("velocast-%1").arg(size), size, appShape);
  return 0;
}
