#include "text/line_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "text/ansi.h"

namespace linefile {

ReadResult Read(const QString& path) {
  ReadResult r;
  if (QFileInfo(path).isDir()) {
    r.error = QStringLiteral("%1 is a directory").arg(path);
    return r;
  }
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    r.error = f.errorString();
    return r;
  }
  const QByteArray bytes = f.readAll();
  if (f.error() != QFileDevice::NoError) {
    r.error = f.errorString();
    return r;
  }
  r.lines = SplitLines(ansi::Decode(bytes));
  r.ok = true;
  return r;
}

QStringList SplitLines(const QString& content) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = content.size();
  for (qsizetype i = 0; i < n; ++i) {
    if (content[i] != u'\n') continue;
    qsizetype end = i;
    if (end > start && content[end - 1] == u'\r') --end;
    lines.append(content.mid(start, end - start));
    start = i + 1;
  }
  if (start < n) lines.append(content.mid(start));
  return lines;
}

QByteArray Join(const QStringList& lines, int* replaced) {
  QByteArray out;
  for (const QString& line : lines) {
    out.append(ansi::Encode(line, replaced));
    out.append("\r\n");
  }
  return out;
}

bool Write(const QString& path, const QStringList& lines, QString* error, int* replaced) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) {
    if (error) *error = f.errorString();
    return false;
  }
  f.write(Join(lines, replaced));
  if (!f.commit()) {
    if (error) *error = f.errorString();
    return false;
  }
  return true;
}

bool Append(const QString& path, const QString& line, QString* error, int* replaced) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
    if (error) *error = f.errorString();
    return false;
  }
  const QByteArray bytes = ansi::Encode(line, replaced) + "\r\n";
  if (f.write(bytes) != bytes.size() || !f.flush()) {
    if (error) *error = f.errorString();
    return false;
  }
  return true;
}

}  // namespace linefile
