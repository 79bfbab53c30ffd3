// Time of reading PL/SQL source with its documentation comments: a package specification
// and its body in the styles people write (Javadoc blocks, comment runs above and after
// declarations, parameter comments, separators, commented-out code), of growing length.
// The time per line should stay flat.

#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>
#include <ctime>

#include "plsql/source_parser.h"

namespace {

// A specification and its body of about `lines` lines in all, in the dictionary's form
// (one stored line each, with its line end).
QStringList Source(int lines) {
  QStringList source{"PACKAGE big AS\n", "  /** Everything at once.\n", "   * Really.\n", "   */\n",
                     "\n"};
  const int members = lines / 27;
  for (int m = 0; m < members; ++m) {
    source << "  /**\n" << QStringLiteral("   * Computes thing %1.\n").arg(m)
           << "   * @param p_a the first value\n" << "   * @param p_b the second\n"
           << "   * @return the result\n" << "   */\n"
           << QStringLiteral("  FUNCTION f%1(p_a IN NUMBER,  -- first\n").arg(m)
           << "              p_b IN VARCHAR2 DEFAULT 'x''y') RETURN NUMBER;\n"
           << QStringLiteral("  -- Does thing %1.\n").arg(m)
           << QStringLiteral("  PROCEDURE p%1(p_id IN NUMBER);\n").arg(m)
           << "  -- ===========================================\n"
           << QStringLiteral("  c%1 CONSTANT VARCHAR2(30) := q'[-- text ]';\n").arg(m) << "\n";
  }
  source << "END big;\n" << "PACKAGE BODY big AS\n";
  for (int m = 0; m < members; ++m) {
    source << QStringLiteral("  -- Body of f%1.\n").arg(m)
           << QStringLiteral("  FUNCTION f%1(p_a IN NUMBER, p_b IN VARCHAR2 DEFAULT 'x''y')\n").arg(m)
           << "    RETURN NUMBER IS\n" << "    l_x NUMBER := 0;\n" << "  BEGIN\n"
           << "    -- l_x := l_x + 1;\n" << "    IF p_a > 0 THEN\n"
           << "      FOR r IN (SELECT 1 FROM dual) LOOP l_x := l_x + 1; END LOOP;\n"
           << "    END IF;\n" << "    RETURN l_x;\n" << "  END;\n"
           << QStringLiteral("  PROCEDURE p%1(p_id IN NUMBER) IS\n").arg(m) << "  BEGIN\n"
           << "    CASE WHEN p_id IS NULL THEN NULL; ELSE NULL; END CASE;\n" << "  END;\n";
  }
  source << "END big;\n";
  return source;
}

// Processor time of this process: on a busy machine the wall time says little.
qint64 CpuNs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

}  // namespace

int main() {
  std::printf("%-10s %12s %12s %14s %14s\n", "lines", "parse ms", "cpu ms", "ns/line",
              "declarations");
  for (int lines : {100000, 200000, 400000}) {
    const QStringList source = Source(lines);
    QElapsedTimer timer;
    timer.start();
    const qint64 cpu = CpuNs();
    const QList<plsql::Unit> units = plsql::ParseSource(source);
    const qint64 ns = timer.nsecsElapsed();
    const qint64 cpuNs = CpuNs() - cpu;
    qsizetype declarations = 0;
    for (const plsql::Unit& u : units) declarations += u.declarations.size();
    std::printf("%-10lld %12lld %12lld %14lld %14lld\n", static_cast<long long>(source.size()),
                static_cast<long long>(ns / 1000000), static_cast<long long>(cpuNs / 1000000),
                static_cast<long long>(ns / source.size()), static_cast<long long>(declarations));
  }
  return 0;
}
