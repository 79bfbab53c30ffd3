#pragma once
// The program's icon, drawn rather than shipped as an image file.

#include <QIcon>
#include <QPixmap>

QPixmap ProgramPixmap(int size);
QIcon ProgramIcon();
