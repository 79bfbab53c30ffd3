#include "snapshot_generator.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <utility>
#include <vector>

#include "db/snapshot_schema.h"

namespace {

constexpr int kColumns = 20;

class Writer {
 public:
  explicit Writer(sqlite3* db) : db_(db) {}
  ~Writer() {
    for (sqlite3_stmt* s : statements_) sqlite3_finalize(s);
  }
  bool ok() const { return error_.isEmpty(); }
  const QString& error() const { return error_; }

  void Exec(const char* sql) {
    if (!ok()) return;
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) error_ = message;
    sqlite3_free(message);
  }
  // Inserts one row into `table`: a null QString is NULL; numbers are given as text and
  // stored as numbers by the columns' affinity.
  void Insert(const char* table, const QStringList& values) {
    if (!ok()) return;
    sqlite3_stmt* stmt = Statement(table, values.size());
    if (!stmt) return;
    for (int i = 0; i < values.size(); ++i) {
      if (values[i].isNull()) {
        sqlite3_bind_null(stmt, i + 1);
      } else {
        const QByteArray u = values[i].toUtf8();
        sqlite3_bind_text(stmt, i + 1, u.constData(), u.size(), SQLITE_TRANSIENT);
      }
    }
    if (sqlite3_step(stmt) != SQLITE_DONE) error_ = sqlite3_errmsg(db_);
    sqlite3_reset(stmt);
  }

 private:
  sqlite3_stmt* Statement(const char* table, int columns) {
    const QByteArray key = QByteArray(table) + '/' + QByteArray::number(columns);
    const int at = keys_.indexOf(key);
    if (at >= 0) return statements_[at];
    QByteArray sql = "INSERT INTO " + QByteArray(table) + " VALUES (?";
    for (int i = 1; i < columns; ++i) sql += ", ?";
    sql += ")";
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
      error_ = sqlite3_errmsg(db_);
      return nullptr;
    }
    keys_ << key;
    statements_.push_back(stmt);
    return stmt;
  }

  sqlite3* db_;
  QString error_;
  QByteArrayList keys_;
  std::vector<sqlite3_stmt*> statements_;
};

QString Num(int n) { return QString::number(n); }

void WriteTable(Writer& w, const QString& owner, int i, int tables) {
  const QString t = GeneratedTableName(i);
  w.Insert("dba_tables", {owner, t});
  w.Insert("dba_tab_comments", {owner, t, "TABLE", "Generated table number " + Num(i + 1) + "."});
  for (int c = 1; c <= kColumns; ++c) {
    const QString col = QStringLiteral("COLUMN_%1").arg(c, 2, 10, QChar('0'));
    static const char* kTypes[] = {"NUMBER", "VARCHAR2", "DATE", "NUMBER"};
    const QString type = c <= 3 ? "NUMBER" : kTypes[c % 4];
    const QString precision = type == "NUMBER" && c % 3 != 0 ? "10" : QString();
    // Every other VARCHAR2 counts characters: VARCHAR2(60 CHAR), 240 bytes long.
    const bool inCharacters = type == "VARCHAR2" && c % 8 == 1;
    const QString length = type == "VARCHAR2" ? (inCharacters ? "240" : "60")
                           : type == "DATE"    ? "7"
                                               : "22";
    // NUMBER(10,2) for some of the numbers with a precision, NUMBER(10) for the others.
    const QString scale = precision.isEmpty() ? QString() : c % 5 == 1 ? "2" : "0";
    w.Insert("dba_tab_columns",
             {owner, t, col, Num(c), type, length, precision, c <= 3 ? "N" : "Y", scale,
              type == "VARCHAR2" ? "60" : "0",
              type == "VARCHAR2" ? (inCharacters ? "C" : "B") : QString(),
              type == "DATE" && c % 3 == 0 ? "SYSDATE" : QString()});
    w.Insert("dba_col_comments",
             {owner, t, col, c % 5 == 0 ? QString() : "Column " + Num(c) + " of " + t + "."});
  }
  const QString pk = t + "_PK";
  w.Insert("dba_constraints", {owner, pk, "P", t, QString(), QString(), QString()});
  w.Insert("dba_cons_columns", {owner, pk, t, "COLUMN_01", "1"});
  const QString check = t + "_CK";
  w.Insert("dba_constraints", {owner, check, "C", t, QString(), QString(), "column_01 > 0"});
  w.Insert("dba_cons_columns", {owner, check, t, "COLUMN_01", QString()});
  for (int f = 1; f <= 2; ++f) {
    const QString fk = t + "_FK" + Num(f);
    const QString target = GeneratedTableName((i + tables - f) % tables);
    w.Insert("dba_constraints", {owner, fk, "R", t, owner, target + "_PK", QString()});
    w.Insert("dba_cons_columns", {owner, fk, t, f == 1 ? "COLUMN_02" : "COLUMN_03", "1"});
  }
  w.Insert("dba_indexes", {owner, pk, owner, t, "UNIQUE"});
  w.Insert("dba_ind_columns", {owner, pk, owner, t, "COLUMN_01", "1", "ASC"});
  // Longer than the 20 characters the text document gives an index name.
  const QString ix = t + "_COLUMN_04_05_IX";
  w.Insert("dba_indexes", {owner, ix, owner, t, "NONUNIQUE"});
  w.Insert("dba_ind_columns", {owner, ix, owner, t, "COLUMN_04", "1", "ASC"});
  // COLUMN_05 descending, as Oracle keeps it: a hidden column that stands for it.
  w.Insert("dba_ind_columns", {owner, ix, owner, t, "SYS_NC00021$", "2", "DESC"});
  w.Insert("dba_ind_expressions", {owner, ix, owner, t, "\"COLUMN_05\"", "2"});
  w.Insert("dba_synonyms", {owner, "S_" + t, owner, t});
  if (i % 2 == 0) w.Insert("dba_tab_privs", {owner, t, owner, "READER_" + Num(i % 7), "SELECT"});
}

// Inserts `lines` as source lines, each but the last with its line feed.
void WriteSource(Writer& w, const QString& owner, const QString& name, const QString& type,
                 const QStringList& lines) {
  for (int l = 0; l < lines.size(); ++l)
    w.Insert("dba_source",
             {owner, name, type, Num(l + 1), lines[l] + (l + 1 < lines.size() ? "\n" : "")});
}

QStringList FunctionBlock(const QString& heading) {
  QStringList b{"/*", "<FD>"};
  if (!heading.isEmpty()) b << heading;
  b << "Description:"
    << "  Computes a generated value for the benchmark."
    << "Parameters:"
    << "  p_id, NUMBER:"
    << "  Key of the row;"
    << "  p_day, DATE:"
    << "  Day the value is wanted for. Later days"
    << "  give larger values;"
    << "Return value (NUMBER):"
    << "  The value."
    << "</FD>"
    << "*/";
  return b;
}

// The declared arguments of a generated function (p_id IN NUMBER, p_day IN DATE) RETURN
// NUMBER, stand-alone (no package) or a package member.
void WriteArguments(Writer& w, const QString& owner, const QString& package,
                    const QString& object) {
  w.Insert("dba_arguments", {owner, package, object, QString(), QString(), "0", "1", "0",
                             "NUMBER", "OUT", QString(), "N"});
  w.Insert("dba_arguments", {owner, package, object, QString(), "P_ID", "1", "2", "0", "NUMBER",
                             "IN", QString(), "N"});
  w.Insert("dba_arguments", {owner, package, object, QString(), "P_DAY", "2", "3", "0", "DATE",
                             "IN", "SYSDATE", "Y"});
}

void Depends(Writer& w, const QString& owner, const QString& name, const QString& type,
             const QString& referencedOwner, const QString& referencedName,
             const QString& referencedType) {
  w.Insert("dba_dependencies",
           {owner, name, type, referencedOwner, referencedName, referencedType, "HARD"});
}

void Object(Writer& w, const QString& owner, const QString& name, const QString& type,
            bool valid = true) {
  w.Insert("dba_objects", {owner, name, type, valid ? "VALID" : "INVALID",
                           "2024-03-14 09:12:40", "2024-05-21 16:03:11"});
}

// What Oracle keeps of what uses what, as it fills it for the objects WriteOwner makes: a
// trigger on every table calling a function, views reading two tables, functions calling the
// next one, package bodies using twenty tables, two functions and a sequence; every PL/SQL
// unit and trigger on SYS.STANDARD.
void WriteWhatUsesWhat(Writer& w, const QString& owner, int tables) {
  const int units = GeneratedUnitCount(tables);
  for (int i = 0; i < tables && w.ok(); ++i) {
    const QString t = GeneratedTableName(i);
    const QString trigger = GeneratedTriggerName(i);
    const QString function = GeneratedUnitName(i % units);
    w.Insert("dba_triggers",
             {owner, trigger, "BEFORE EACH ROW", "INSERT OR UPDATE", owner, "TABLE", t, QString(),
              "REFERENCING NEW AS NEW OLD AS OLD", "new.column_01 IS NULL", "ENABLED",
              trigger.toLower() + "\n  BEFORE INSERT OR UPDATE ON " + t.toLower() +
                  "\n  FOR EACH ROW\n",
              "PL/SQL     ",
              "BEGIN\n  :new.column_01 := " + function.toLower() + "(0, SYSDATE);\nEND;"});
    Depends(w, owner, trigger, "TRIGGER", "SYS", "STANDARD", "PACKAGE");
    Depends(w, owner, trigger, "TRIGGER", owner, t, "TABLE");
    Depends(w, owner, trigger, "TRIGGER", owner, function, "FUNCTION");
    Object(w, owner, t, "TABLE");
    Object(w, owner, trigger, "TRIGGER");
    Object(w, owner, t + "_PK", "INDEX");
    Object(w, owner, t + "_COLUMN_04_05_IX", "INDEX");
  }
  for (int v = 0; v < GeneratedViewCount(tables); ++v) {
    const QString view = GeneratedViewName(v);
    Depends(w, owner, view, "VIEW", owner, GeneratedTableName(v), "TABLE");
    Depends(w, owner, view, "VIEW", owner, GeneratedTableName(v + 1), "TABLE");
    Object(w, owner, view, "VIEW", v % 50 != 49);
  }
  for (int u = 0; u < units; ++u) {
    const QString unit = GeneratedUnitName(u);
    Depends(w, owner, unit, "FUNCTION", "SYS", "STANDARD", "PACKAGE");
    Depends(w, owner, unit, "FUNCTION", owner, GeneratedTableName(u), "TABLE");
    if (u + 1 < units) Depends(w, owner, unit, "FUNCTION", owner, GeneratedUnitName(u + 1), "FUNCTION");
    Object(w, owner, unit, "FUNCTION");
  }
  for (int p = 0; p < GeneratedPackageCount(tables); ++p) {
    const QString package = GeneratedPackageName(p);
    Depends(w, owner, package, "PACKAGE", "SYS", "STANDARD", "PACKAGE");
    Depends(w, owner, package, "PACKAGE BODY", "SYS", "STANDARD", "PACKAGE");
    Depends(w, owner, package, "PACKAGE BODY", owner, package, "PACKAGE");
    for (int t = 0; t < 20; ++t)
      Depends(w, owner, package, "PACKAGE BODY", owner, GeneratedTableName((p * 20 + t) % tables),
              "TABLE");
    for (int u = 0; u < 2; ++u)
      Depends(w, owner, package, "PACKAGE BODY", owner, GeneratedUnitName((p * 2 + u) % units),
              "FUNCTION");
    Depends(w, owner, package, "PACKAGE BODY", owner, "SEQ_00001", "SEQUENCE");
    Object(w, owner, package, "PACKAGE");
    Object(w, owner, package, "PACKAGE BODY");
  }
  for (int s = 0; s < tables / 5; ++s)
    Object(w, owner, QStringLiteral("SEQ_%1").arg(s + 1, 5, 10, QChar('0')), "SEQUENCE");
}

void WriteOwner(Writer& w, const QString& owner, int tables) {
  for (int i = 0; i < tables && w.ok(); ++i) WriteTable(w, owner, i, tables);
  for (int v = 0; v < GeneratedViewCount(tables); ++v) {
    const QString name = GeneratedViewName(v);
    w.Insert("dba_views", {owner, name,
                           "SELECT a.column_01, b.column_04\n  FROM " + GeneratedTableName(v) +
                               " a, " + GeneratedTableName(v + 1) +
                               " b\n WHERE a.column_02 = b.column_01 AND a.column_01 < 100\n"});
    w.Insert("dba_tab_comments", {owner, name, "VIEW", "Generated view."});
    w.Insert("dba_tab_columns", {owner, name, "COLUMN_01", "1", "NUMBER", "22", "10", "N", "0",
                                 "0", QString(), QString()});
    w.Insert("dba_tab_columns", {owner, name, "COLUMN_04", "2", "VARCHAR2", "60", QString(), "Y",
                                 QString(), "60", "B", QString()});
    w.Insert("dba_col_comments", {owner, name, "COLUMN_01", "Key of the first table."});
    w.Insert("dba_col_comments", {owner, name, "COLUMN_04", QString()});
  }
  for (int u = 0; u < GeneratedUnitCount(tables); ++u) {
    const QString name = GeneratedUnitName(u);
    QStringList lines{"FUNCTION " + name.toLower() +
                      " (p_id IN NUMBER, p_day IN DATE) RETURN NUMBER"};
    lines << FunctionBlock({}) << "IS"
          << "BEGIN"
          << "  RETURN p_id * 2;"
          << "END " + name.toLower() + ";";
    WriteSource(w, owner, name, "FUNCTION", lines);
    WriteArguments(w, owner, QString(), name);
  }
  for (int p = 0; p < GeneratedPackageCount(tables); ++p) {
    const QString name = GeneratedPackageName(p);
    QStringList lines{"PACKAGE " + name.toLower() + " IS",      "/*",    "<PD>", "Description:",
                      "  Generated package for the benchmark.", "</PD>", "*/"};
    for (int m = 1; m <= 4; ++m) {
      lines << FunctionBlock("Function value_" + Num(m));
      lines << "FUNCTION value_" + Num(m) + " (p_id IN NUMBER, p_day IN DATE) RETURN NUMBER;";
      WriteArguments(w, owner, name, "VALUE_" + Num(m));
      w.Insert("dba_procedures",
               {owner, name, "VALUE_" + Num(m), "PACKAGE", QString::number(m), QString()});
    }
    lines << "END " + name.toLower() + ";";
    WriteSource(w, owner, name, "PACKAGE", lines);
    WriteSource(w, owner, name, "PACKAGE BODY",
                {"PACKAGE BODY " + name.toLower() + " IS", "END " + name.toLower() + ";"});
  }
  for (int s = 0; s < tables / 5; ++s)
    w.Insert("dba_sequences", {owner, QStringLiteral("SEQ_%1").arg(s + 1, 5, 10, QChar('0'))});
}

}  // namespace

QString GeneratedTableName(int index) {
  return QStringLiteral("TABLE_%1").arg(index + 1, 5, 10, QChar('0'));
}
QString GeneratedViewName(int index) {
  return QStringLiteral("VIEW_%1").arg(index + 1, 5, 10, QChar('0'));
}
QString GeneratedUnitName(int index) {
  return QStringLiteral("FUNC_%1").arg(index + 1, 5, 10, QChar('0'));
}
QString GeneratedPackageName(int index) {
  return QStringLiteral("PKG_%1").arg(index + 1, 5, 10, QChar('0'));
}
QString GeneratedTriggerName(int index) {
  return QStringLiteral("TRG_%1").arg(index + 1, 5, 10, QChar('0'));
}
int GeneratedViewCount(int tables) { return std::max(1, tables / 10); }
int GeneratedUnitCount(int tables) { return std::max(1, tables / 10); }
int GeneratedPackageCount(int tables) { return std::max(1, tables / 20); }

bool GenerateSnapshot(const QString& path, const SnapshotShape& shape, QString* error) {
  QFile::remove(path);
  sqlite3* db = nullptr;
  if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) {
    if (error) *error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return false;
  }
  QString failure;
  {
    Writer w(db);
    w.Exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN;");
    w.Exec(snapshot::TablesSql());
    w.Insert("dba_users",
             {"BENCH", QString::fromLatin1(
                           QCryptographicHash::hash("bench", QCryptographicHash::Sha256).toHex())});
    w.Insert("dba_users", {"OTHER", QString()});
    for (const auto& [owner, tables] :
         {std::pair{QStringLiteral("BENCH"), shape.tables},
          std::pair{QStringLiteral("OTHER"), std::max(1, shape.tables / 10)}}) {
      WriteOwner(w, owner, tables);
      if (shape.whatUsesWhat) WriteWhatUsesWhat(w, owner, tables);
    }
    if (!shape.whatUsesWhat)
      w.Exec("DROP TABLE dba_dependencies; DROP TABLE dba_triggers; DROP TABLE dba_objects;");
    w.Exec("COMMIT;");
    failure = w.error();
  }
  sqlite3_close(db);
  if (!failure.isEmpty()) {
    if (error) *error = failure;
    QFile::remove(path);
    return false;
  }
  return true;
}

const QList<TableQuery>& PerTableQueries() {
  static const QList<TableQuery> queries = {
      {QueryId::OCISynonyms, {"synonym_name"}},
      {QueryId::OCITableFields,
       {"kentta", "data_type", "data_length", "data_precision", "data_scale", "char_length",
        "char_used", "nulli", "kuvaus"}},
      {QueryId::OCIPrimaryKeys, {"Nimi", "Sarake"}},
      {QueryId::OCIForeignKeys, {"Nimi", "Lahtosarake", "Kohdesarake"}},
      {QueryId::OCIIndexes, {"Nimi", "sarake"}},
  };
  return queries;
}
