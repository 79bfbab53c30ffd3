#pragma once
// The coverage report written out: as text for a person (vellumar-build --coverage) and
// as JSON for dashboards (--json; the form is documented in docs/coverage-json.md and
// keeps its "version" until a field changes meaning or goes away).

#include <QByteArray>
#include <QString>
#include <optional>

struct CoverageReport;

// The total, a line per kind, the drift counts, then one line per object with its figure
// and its gaps.
QString CoverageText(const CoverageReport& report);

// The JSON form, UTF-8, indented. With `minimum` it holds the gate: the minimum and
// whether the total reaches it.
QByteArray CoverageJson(const CoverageReport& report, std::optional<double> minimum);
