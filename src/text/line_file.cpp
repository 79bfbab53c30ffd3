#include "text/line_file.h"

#include <QFile>
#include <algorithm>

#include "text/ansi.h"
#include "text/file_name.h"
#include "text/file_replacement.h"
#include "text/input_file.h"

namespace linefile {
namespace {

bool HasHighByte(QByteArrayView bytes) {
  return std::any_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

QString DecodeLine(QByteArrayView bytes) {
  if (HasHighByte(bytes))
    if (auto text = filename::FromUtf8(bytes)) return *text;
  return ansi::Decode(bytes);
}

QByteArray EncodeLine(QStringView text) {
  const std::optional<QByteArray> codePage = ansi::Encode(text);
  if (codePage && !(HasHighByte(*codePage) && filename::FromUtf8(*codePage))) return *codePage;
  return filename::ToUtf8(text);
}

ReadResult Read(const QString& path) {
  ReadResult r;
  QFile f;
  switch (inputfile::Open(path, f, &r.error)) {
    case inputfile::Status::Missing:
      r.missing = true;
      r.error = inputfile::Reason(ENOENT);
      return r;
    case inputfile::Status::Failed:
      return r;
    case inputfile::Status::Opened:
      break;
  }
  const QByteArray bytes = f.readAll();
  if (f.error() != QFileDevice::NoError) {
    r.error = f.errorString();
    return r;
  }
  qsizetype start = 0;
  while (start < bytes.size()) {
    qsizetype end = bytes.indexOf('\n', start);
    const qsizetype next = end < 0 ? bytes.size() : end + 1;
    if (end < 0) end = bytes.size();
    if (end > start && bytes[end - 1] == '\r') --end;
    r.lines.append(DecodeLine(QByteArrayView(bytes).sliced(start, end - start)));
    start = next;
  }
  r.ok = true;
  return r;
}

bool Write(const QString& path, const QStringList& lines, QString* error) {
  FileReplacement file(path);
  if (file.Begin()) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += EncodeLine(line) + "\r\n";
    file.File().write(bytes);  // a failed write shows in Commit
    if (file.Commit() == FileReplacement::Outcome::New) return true;
  }
  if (error) *error = file.Error();
  return false;
}

}  // namespace linefile
