#include "project/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QLocale>

#include "text/file_name.h"

namespace {

// The separator of a locale's date or time format: the first text between two fields,
// without blanks ("dd.MM.yyyy" gives ".", "yy. M. d." gives "."). A format whose first
// separator is only blanks or quoted text gives the fallback.
QString SeparatorOf(const QString& format, const QString& fallback) {
  qsizetype i = 0;
  while (i < format.size() && format[i].isLetter()) ++i;
  QString sep;
  for (; i < format.size() && !format[i].isLetter(); ++i) {
    if (format[i] == u'\'') return fallback;
    sep.append(format[i]);
  }
  sep = sep.trimmed();
  return sep.isEmpty() ? fallback : sep;
}

}  // namespace

QString FormatFileTime(const QDateTime& time) {
  const QLocale locale = QLocale::system();
  const QString date = SeparatorOf(locale.dateFormat(QLocale::ShortFormat), "/");
  const QString clock = SeparatorOf(locale.timeFormat(QLocale::LongFormat), ":");
  const QDateTime local = time.toLocalTime();
  const QDate d = local.date();
  const QTime t = local.time();
  auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0')); };
  return QString::number(d.day()) + date + QString::number(d.month()) + date +
         QStringLiteral("%1").arg(d.year(), 4, 10, QChar(u'0')) + u' ' + two(t.hour()) + clock +
         two(t.minute()) + clock + two(t.second());
}

void ShowFileTimes(Project& project, const QString& path) {
  struct statx st {};
  if (::statx(AT_FDCWD, filename::ToBytes(path).constData(), 0, STATX_MTIME | STATX_BTIME,
              &st) != 0)
    return;
  const auto time = [](const struct statx_timestamp& t) {
    return QDateTime::fromMSecsSinceEpoch(t.tv_sec * 1000 + t.tv_nsec / 1000000);
  };
  const QDateTime written = time(st.stx_mtime);
  const QDateTime born = (st.stx_mask & STATX_BTIME) ? time(st.stx_btime) : written;
  project.SetFileTimes(FormatFileTime(born), FormatFileTime(written));
}
