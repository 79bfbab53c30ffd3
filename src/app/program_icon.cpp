#include "app/program_icon.h"

#include <QPainter>
#include <QPainterPath>

void PaintProgramIcon(QPainter& p, qreal s) {
  p.setRenderHint(QPainter::Antialiasing);
  // A sheet of paper with a folded corner and a "V" on it.
  QPainterPath sheet;
  sheet.moveTo(s * 0.16, s * 0.06);
  sheet.lineTo(s * 0.64, s * 0.06);
  sheet.lineTo(s * 0.86, s * 0.28);
  sheet.lineTo(s * 0.86, s * 0.94);
  sheet.lineTo(s * 0.16, s * 0.94);
  sheet.closeSubpath();
  p.setPen(QPen(QColor(0x1f, 0x3a, 0x68), s / 24));
  p.setBrush(QColor(0xf4, 0xf1, 0xe6));
  p.drawPath(sheet);
  QPainterPath fold;
  fold.moveTo(s * 0.64, s * 0.06);
  fold.lineTo(s * 0.64, s * 0.28);
  fold.lineTo(s * 0.86, s * 0.28);
  p.setBrush(QColor(0xd8, 0xd2, 0xbc));
  p.drawPath(fold);
  QPen vee(QColor(0x2a, 0x5d, 0xb0), s / 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(vee);
  p.setBrush(Qt::NoBrush);
  QPainterPath v;
  v.moveTo(s * 0.30, s * 0.40);
  v.lineTo(s * 0.51, s * 0.80);
  v.lineTo(s * 0.72, s * 0.40);
  p.drawPath(v);
}

QPixmap ProgramPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  PaintProgramIcon(p, size);
  return pixmap;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addPixmap(ProgramPixmap(size));
  return icon;
}
