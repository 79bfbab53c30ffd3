#pragma once
// Documentation coverage: what a project's document leaves undocumented, measured on the
// document model (one pipeline with the modern formats), plus drift between the project
// and its databases.
//
// The total counts items, each weighing the same: an object's description (tables, views,
// packages, sequences, roles: the project's, or failing that the dictionary's comment), a
// column's comment (tables and views), a comment block (each procedure, function and
// package member; or its documentation comment), and a declared parameter that the comment
// block or the documentation comment describes. Every piece of writing a reader may look for counts once, so documenting one
// more thing always raises the figure by the same step. Drift (entries whose object no
// longer exists, objects of the project's schemas not in the project) is listed and
// counted apart and enters no item.

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

#include "model/document_model.h"
#include "project/project.h"

class Database;
class BuildProgress;
struct Settings;

// Triggers are those on the documented tables and views, each counted by its documentation
// comment; their kind comes last.
enum class CoverageKind { Tables, Views, Units, Packages, Members, Sequences, Roles, Triggers };
inline constexpr int kCoverageKindCount = 8;

// What is counted: an object's description, column comments, comment blocks, parameters.
enum class Measure { Description, Columns, Blocks, Parameters };
inline constexpr int kMeasureCount = 4;

struct Tally {
  int documented = 0;
  int total = 0;

  void Count(bool isDocumented) {
    ++total;
    if (isDocumented) ++documented;
  }
  Tally& operator+=(const Tally& other) {
    documented += other.documented;
    total += other.total;
    return *this;
  }
  // The share documented in percent, rounded down to a tenth, so a figure shown as 80.0
  // is never below 80; 100 when there is nothing to count.
  double Percent() const;
  bool Below(double minimum) const;  // the exact share below `minimum` percent
};

using Tallies = std::array<Tally, kMeasureCount>;

enum class Presence {
  InProject,     // a project entry whose object the dictionary has
  Missing,       // a project entry whose object no longer exists in its database
  NotInProject,  // an object of a schema the project uses that no entry names
};

struct CoverageObject {
  CoverageKind kind = CoverageKind::Tables;
  ObjectKey key;   // a member's is its package's, a trigger's its table's
  QString member;  // a package member's name, a trigger's
  QString type;    // FUNCTION or PROCEDURE for units and members, as far as known
  Presence presence = Presence::InProject;
  Tallies tallies;  // empty unless InProject
  bool described = true;           // has its description or comment block
  QStringList uncommentedColumns;
  QStringList undescribedParameters;  // as the dictionary names them
  QStringList staleParameters;        // as the comment block names them
  bool invalid = false;  // the dictionary's status is INVALID: it does not compile


  Tally Items() const;
  // "Table", "View", "Function", "Procedure", "Package", "Package member", "Sequence", "Role",
  // "Trigger".
  QString Label() const;
  // DATABASE.OWNER.NAME (DATABASE.NAME for a role), a member's with ".MEMBER", a trigger's
  // its table's with ".TRIGGER".
  QString FullName() const;
  // What is missing or drifted, one sentence each ("no description", "column X has no
  // comment", "P_DATE is not described", "p_old is described but no longer exists",
  // "no longer exists in its database", "not in the project", "does not compile (INVALID)").
  QStringList Gaps() const;
};

struct KindSummary {
  CoverageKind kind = CoverageKind::Tables;
  int objects = 0;  // entries of the project whose object exists
  Tallies tallies;
  int missing = 0;
  int notInProject = 0;

  Tally Items() const;
};

struct CoverageReport {
  QString name, version;         // the project's
  QList<CoverageKind> kinds;     // the kinds the document parts cover, in document order
  QList<CoverageObject> objects;  // per kind: the entries in order of addition, then drift

  KindSummary Summary(CoverageKind kind) const;
  Tally Total() const;
  // The objects whose status is INVALID, in the report's order ("invalid objects").
  QList<CoverageObject> Invalid() const;
};

// The title of a kind ("Tables", "Procedures and functions", "Package members", ...) and its
// identifier in the JSON form ("tables", "units", "members", ...).
QString KindTitle(CoverageKind kind);
QString KindId(CoverageKind kind);
// Which measures a kind counts (tables: description and columns; units: blocks and
// parameters; ...).
bool Counts(CoverageKind kind, Measure measure);

// The kind of project entry a row of the report stands for (a member: its package).
ObjectKind EntryKind(CoverageKind kind);
// The index of the entry of EntryKind that a row stands for, found by its key (database,
// user and name); -1 for an object that no entry names.
int ProjectEntry(const Project& project, const CoverageObject& object);

// The parameters of a procedure, function or member compared by name (without regard to
// case) between what its comment blocks and its documentation comments describe and what
// is declared in any of its signatures. `known` is false when the dictionary declares nothing (no signature: an
// older snapshot); nothing is compared then.
struct ParameterCheck {
  bool known = false;
  QStringList declared;     // in declaration order, each name once
  QStringList undescribed;  // declared, described by no block
  QStringList stale;        // described, declared by no signature
};
ParameterCheck CheckParameters(const QList<CommentBlock>& blocks,
                               const QList<Signature>& signatures);

// Whether a table or view shows a description (the project's or the dictionary's comment).
bool HasDescription(const QString& description, const QString& dictionaryComment = {});

// The report of a filled model: every entry of its sections, Missing where the model did
// not find it. Every figure comes from here: the modern documents' summary measures the
// model they show, --coverage the same model, so both count the same items.
CoverageReport MeasureCoverage(const DocumentModel& model);

// The figures of MeasureCoverage, counted as a streamed build reads its objects one at a
// time, so that none is kept: each table, view, unit and package is added, and the report
// is made from the document's index (its sections, sequences and roles). Each kind's
// objects are summed into one row: its summary and the total are those of MeasureCoverage,
// not its list of objects.
class CoverageCount {
 public:
  void Add(const TableObject& table);
  void Add(const ViewObject& view);
  void Add(const UnitObject& unit);
  void Add(const PackageObject& package);
  CoverageReport Report(const DocumentModel& index) const;

 private:
  void Sum(const CoverageObject& row);

  std::array<Tallies, kCoverageKindCount> sums_{};
  bool triggers_ = false;
};

// Drift against the databases: per distinct connection (database and user) of the
// project's entries of the covered kinds, logged on with the first such entry's stored
// connection, the objects of each covered kind the schema has and no entry names
// (procedures and functions, sequences, packages, tables and views; roles are not objects
// of a schema), added after each kind's entries. Drift enters no item. A failed log-on or
// query throws DatabaseError.
void AddDrift(CoverageReport& report, const Project& project, Database& db,
              BuildProgress& progress);

// The whole report as vellumar-build --coverage and Project > Coverage make it: the model
// filled as a build fills it, measured, drift added, the user's connection restored as it
// was (see BuildDocument). On a database failure `error` says why ("ERROR: " and the
// message, already reported through the Database's error handler).
struct CoverageRun {
  CoverageReport report;
  QString error;
  bool connectionRestored = true;
  // The progress maximum that was set (as a build's): the count a finished report ends on.
  int progressMax = 0;
  bool ok() const { return error.isEmpty(); }
};
CoverageRun RunCoverage(const Project& project, const Settings& settings, Database& db,
                        BuildProgress& progress);
