// Time of the comment-tag passes over sources of growing length: the time per line should
// stay flat (the passes are linear in the length of the source).

#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

#include "classic/comment_tags.h"
#include "classic/document.h"
#include "settings/settings.h"

namespace {

LineSource Over(const QStringList& lines) {
  return [&lines, i = qsizetype(0)](QString& line) mutable {
    if (i >= lines.size()) return false;
    line = lines[i++];
    return true;
  };
}

// A package specification of many members, each with a description, a parameter whose
// description runs over several lines and a return value; the last member's parameter
// description runs to the end of the source.
QStringList PackageSource(int lines) {
  QStringList source{"PACKAGE big IS\n", "<PD>\n", "Description:\n"};
  for (int i = 0; source.size() < lines / 2; ++i) source << QStringLiteral("  line %1\n").arg(i);
  source << "</PD>\n";
  for (int m = 0; source.size() < lines - 40; ++m) {
    source << "<FD>\n" << QStringLiteral("Function F%1\n").arg(m) << "Description:\n"
           << "  Computes things.\n" << "Parameters:\n" << "  p_a, NUMBER: first\n"
           << "   more;\n" << "Return value (NUMBER):\n" << "  the result\n" << "</FD>\n";
  }
  source << "<FD>\n" << "Procedure LAST\n" << "Parameters:\n" << "  p, T: start\n";
  while (source.size() < lines) source << "  and a piece of the description\n";
  return source;
}

}  // namespace

int main() {
  const Settings settings = DefaultSettings();
  std::printf("%-10s %12s %12s %12s %14s\n", "lines", "unit ms", "members ms", "package ms",
              "members ns/line");
  for (int lines : {100000, 200000, 400000}) {
    const QStringList source = PackageSource(lines);
    QElapsedTimer timer;
    Document unitDoc;
    timer.start();
    WriteUnitComments(unitDoc, settings, Over(source), true);
    const qint64 unitMs = timer.elapsed();
    Document memberDoc;
    timer.restart();
    WriteMemberComments(memberDoc, settings, Over(source), true, 5, 1);
    const qint64 memberNs = timer.nsecsElapsed();
    timer.restart();
    const QString description = ExtractPackageDescription(settings, Over(source));
    const qint64 packageMs = timer.elapsed();
    std::printf("%-10d %12lld %12lld %12lld %14lld   (%lld lines out, description %lld chars)\n",
                lines, static_cast<long long>(unitMs),
                static_cast<long long>(memberNs / 1000000), static_cast<long long>(packageMs),
                static_cast<long long>(memberNs / lines),
                static_cast<long long>(memberDoc.TempMemo.size()),
                static_cast<long long>(description.size()));
  }
  return 0;
}
