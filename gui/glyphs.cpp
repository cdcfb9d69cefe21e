#include "glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tavex::gui {
namespace {

// Drawn at 16 x 16 logical pixels, twice over for sharp high-density screens.
constexpr int kSize = 16;

template <typename Draw>
QIcon Glyph(Draw draw) {
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(kSize * scale, kSize * scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    draw(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

const QColor kFrame(70, 70, 70);
const QColor kTick(20, 140, 40);
const QColor kRemove(200, 30, 30);

// Box i of three (0 at the top), 4 pixels high, from x = 1.
QRectF Box(int i) {
  return QRectF(1.5, 1.5 + i * 5, 4, 4);
}

void DrawBoxes(QPainter& painter) {
  painter.setPen(QPen(kFrame, 1));
  painter.setBrush(Qt::white);
  for (int i = 0; i < 3; ++i) painter.drawRect(Box(i));
  // Each box's line of text.
  painter.setPen(QPen(kFrame, 1.2));
  for (int i = 0; i < 3; ++i) painter.drawLine(QPointF(8, 3.5 + i * 5), QPointF(15, 3.5 + i * 5));
}

}  // namespace

QIcon AddAllGlyph() {
  return Glyph([](QPainter& painter) {
    DrawBoxes(painter);
    painter.setPen(QPen(kTick, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
      const QRectF box = Box(i);
      QPainterPath tick;
      tick.moveTo(box.left() + 0.5, box.center().y());
      tick.lineTo(box.center().x(), box.bottom() - 0.3);
      tick.lineTo(box.right() + 1.5, box.top() - 1);
      painter.drawPath(tick);
    }
  });
}

QIcon RemoveAllGlyph() {
  return Glyph([](QPainter& painter) {
    DrawBoxes(painter);
    // One stroke through all three: every mark goes.
    painter.setPen(QPen(kRemove, 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(1, 15), QPointF(7, 1));
  });
}

QIcon InsertRowGlyph() {
  return Glyph([](QPainter& painter) {
    painter.setPen(QPen(kFrame, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(0.5, 1.5, 13, 9));
    painter.drawLine(QPointF(0.5, 4.5), QPointF(13.5, 4.5));
    painter.drawLine(QPointF(0.5, 7.5), QPointF(13.5, 7.5));
    painter.drawLine(QPointF(6.5, 1.5), QPointF(6.5, 10.5));
    // The new row's plus, below the grid.
    painter.setPen(QPen(kTick, 2.2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(11, 9), QPointF(11, 16));
    painter.drawLine(QPointF(7.5, 12.5), QPointF(14.5, 12.5));
  });
}

}  // namespace tavex::gui
