#include "docbuild/document_file.h"

#include <QSaveFile>

#include "text/ansi.h"
#include "text/line_file.h"

namespace {

void AppendHtmlLine(QByteArray& out, const QString& line) {
  for (const char32_t cp : line.toUcs4()) {
    const int code = ansi::CodeOf(cp);
    if (code >= 0) {
      out.append(static_cast<char>(code));
    } else {
      out.append("&#");
      out.append(QByteArray::number(static_cast<uint>(cp)));
      out.append(';');
    }
  }
  out.append("\r\n");
}

}  // namespace

QByteArray EncodeDocument(const QStringList& lines, bool htmlOutput, int* replaced) {
  if (!htmlOutput) return linefile::Join(lines, replaced);
  QByteArray out;
  for (const QString& line : lines) AppendHtmlLine(out, line);
  return out;
}

bool SaveDocument(const QString& path, const QStringList& lines, bool htmlOutput,
                  int* replaced, QString* error) {
  const QByteArray bytes = EncodeDocument(lines, htmlOutput, replaced);
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
    if (error) *error = f.errorString();
    return false;
  }
  return true;
}
