// The program's icon (window, tray), drawn rather than shipped as a file.
#include "app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace erpsync::qt {

namespace {

// Two arrows, up and down: data going both ways between branch and head office.
QPixmap drawIcon(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size / 64.0;
  QLinearGradient g(0, 0, 0, size);
  g.setColorAt(0, QColor(0x2f, 0x80, 0xd1));
  g.setColorAt(1, QColor(0x1b, 0x4f, 0x8a));
  p.setBrush(g);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 12 * s, 12 * s);
  p.setBrush(Qt::white);
  QPainterPath up;
  up.moveTo(22 * s, 10 * s);
  up.lineTo(34 * s, 26 * s);
  up.lineTo(26 * s, 26 * s);
  up.lineTo(26 * s, 50 * s);
  up.lineTo(18 * s, 50 * s);
  up.lineTo(18 * s, 26 * s);
  up.lineTo(10 * s, 26 * s);
  up.closeSubpath();
  p.drawPath(up);
  QPainterPath down;
  down.moveTo(42 * s, 54 * s);
  down.lineTo(54 * s, 38 * s);
  down.lineTo(46 * s, 38 * s);
  down.lineTo(46 * s, 14 * s);
  down.lineTo(38 * s, 14 * s);
  down.lineTo(38 * s, 38 * s);
  down.lineTo(30 * s, 38 * s);
  down.closeSubpath();
  p.setBrush(QColor(0xff, 0xd4, 0x5c));
  p.drawPath(down);
  return pm;
}

}  // namespace

QIcon appIcon() {
  static const QIcon icon = [] {
    QIcon i;
    for (int size : {16, 24, 32, 48, 64, 128}) i.addPixmap(drawIcon(size));
    return i;
  }();
  return icon;
}

}  // namespace erpsync::qt
