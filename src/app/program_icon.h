#pragma once
// The program's icon, drawn rather than shipped as an image file; the build draws the
// installed icon files (PNG sizes and SVG) with the same painting.

#include <QIcon>
#include <QPixmap>

class QPainter;

// Paints the icon into the square (0, 0, size, size).
void PaintProgramIcon(QPainter& p, qreal size);
QPixmap ProgramPixmap(int size);
QIcon ProgramIcon();
