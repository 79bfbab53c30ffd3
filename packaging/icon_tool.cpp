// vellumar-icon DIR SIZE...: writes the program's icon into the icon theme folder DIR as
// SIZExSIZE/apps/vellumar.png for each size and scalable/apps/vellumar.svg.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "app/program_icon.h"

namespace {

QString PreparedPath(const QString& dir, const QString& folder, const QString& file) {
  QDir().mkpath(dir + u'/' + folder + QStringLiteral("/apps"));
  return dir + u'/' + folder + QStringLiteral("/apps/") + file;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 3) {
    std::fputs("Usage: vellumar-icon DIR SIZE...\n", stderr);
    return 2;
  }
  const QString dir = args[1];
  for (const QString& arg : args.mid(2)) {
    const int size = arg.toInt();
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter p(&image);
      PaintProgramIcon(p, size);
    }
    const QString path = PreparedPath(dir, QStringLiteral("%1x%1").arg(size),
                                      QStringLiteral("vellumar.png"));
    if (size <= 0 || !image.save(path)) {
      std::fprintf(stderr, "vellumar-icon: can't write %s\n", qPrintable(path));
      return 1;
    }
  }
  // The scalable icon: the same painting on a 64 unit canvas.
  QSvgGenerator svg;
  svg.setFileName(PreparedPath(dir, QStringLiteral("scalable"), QStringLiteral("vellumar.svg")));
  svg.setSize(QSize(64, 64));
  svg.setViewBox(QRect(0, 0, 64, 64));
  svg.setTitle(QStringLiteral("Vellumar"));
  QPainter p(&svg);
  PaintProgramIcon(p, 64);
  return p.end() ? 0 : 1;
}
