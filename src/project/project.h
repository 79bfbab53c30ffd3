#pragma once
// The open project: its header (ProjectInfo), one entry list per object kind in the order
// of addition, the Sequences and Roles section texts, and the "Modified" state.
//
// This is the one place the project lives. The pages, the file reader and writer and the
// document builder all read and change it here, and every change is announced, so every
// view shows the same values at the same moment.

#include <QList>
#include <QObject>
#include <QSharedData>
#include <QString>
#include <array>

enum class ObjectKind { Tables, Views, ProceduresAndFunctions, Packages, Sequences, Roles };
inline constexpr int kObjectKindCount = 6;
inline constexpr std::array<ObjectKind, kObjectKindCount> kAllObjectKinds = {
    ObjectKind::Tables,   ObjectKind::Views,     ObjectKind::ProceduresAndFunctions,
    ObjectKind::Packages, ObjectKind::Sequences, ObjectKind::Roles};

// Only Sequences and Roles carry a section text.
bool HasSectionDescription(ObjectKind kind);

struct ProjectInfo {
  QString Name;
  QString Version;
  QString Created;  // the file's times, shown, never stored in the file
  QString Updated;
  QString General;
};

// The connection under which an entry was chosen. It never changes once made and copies
// share it, so the thousands of entries chosen under a handful of connections hold each
// connection once: entries are added and read in runs of one connection, and an entry
// under its predecessor's connection is given that one.
class Connection {
 public:
  Connection();
  Connection(const QString& serverName, const QString& userName, const QString& password);

  const QString& ServerName() const { return d_->serverName; }
  const QString& UserName() const { return d_->userName; }
  const QString& Password() const { return d_->password; }

  // The same server, user and password, exactly as a log-on would use them.
  bool Is(const QString& serverName, const QString& userName, const QString& password) const;
  friend bool operator==(const Connection& a, const Connection& b);

 private:
  struct Data : QSharedData {
    QString serverName, userName, password;
  };
  QExplicitlySharedDataPointer<const Data> d_;
};

// One chosen object with the complete connection under which it was chosen. A large
// project holds tens of thousands of entries, so an entry keeps its ObjectName and its
// Description in one string, the name first: one allocation per entry instead of two.
class ObjectEntry {
 public:
  ObjectEntry() = default;
  ObjectEntry(Connection connection, const QString& objectName, const QString& description);

  const Connection& connection() const { return connection_; }
  // Takes the other entry's connection when it is the same one, so that a run of entries
  // chosen under one connection holds it once.
  void ShareConnectionOf(const ObjectEntry& other);
  // Views of the entry's own text, valid while the entry lives unchanged.
  QStringView ObjectName() const { return QStringView(text_).first(nameLength_); }
  QStringView Description() const { return QStringView(text_).sliced(nameLength_); }
  void SetDescription(QStringView description);

  friend bool operator==(const ObjectEntry&, const ObjectEntry&) = default;

 private:
  Connection connection_;
  QString text_;
  qsizetype nameLength_ = 0;
};
// Its members only point at shared data, so a list may move entries in memory as it grows.
Q_DECLARE_TYPEINFO(ObjectEntry, Q_RELOCATABLE_TYPE);

// The project list line of an entry: ServerName in upper case, ".", ObjectName.
QString ProjectListLine(const ObjectEntry& entry);

// Everything that the project file holds, as a plain value: what ReadProject fills
// before it replaces the open project in one step.
struct ProjectContents {
  ProjectInfo info;
  std::array<QList<ObjectEntry>, kObjectKindCount> entries;
  QString sequencesDescription;
  QString rolesDescription;
};

class Project : public QObject {
  Q_OBJECT
 public:
  explicit Project(QObject* parent = nullptr);

  const ProjectInfo& Info() const { return contents_.info; }
  void SetName(const QString& name);
  void SetVersion(const QString& version);
  void SetGeneral(const QString& text);
  void SetFileTimes(const QString& created, const QString& updated);

  // Entries of a kind, in the order of addition (the order the file and the document use).
  const QList<ObjectEntry>& Entries(ObjectKind kind) const;
  // Appends and returns the new entry's index.
  int AppendEntry(ObjectKind kind, const ObjectEntry& entry);
  void RemoveEntry(ObjectKind kind, int index);
  void SetDescription(ObjectKind kind, int index, const QString& text);

  QString SectionDescription(ObjectKind kind) const;  // empty for kinds without one
  void SetSectionDescription(ObjectKind kind, const QString& text);

  // The "Modified" marker: set by every change the user makes, cleared by a write of the
  // file and by leaving the project. The model's own setters do not touch it; the
  // commands decide, as they know whether the user or a reader made the change.
  bool IsModified() const { return modified_; }
  void SetModified(bool on);

  // Empties header, entries and section texts (New).
  void ClearProject();

  const ProjectContents& Contents() const { return contents_; }
  // Replaces everything at once (a project file read whole, or New).
  void ReplaceContents(const ProjectContents& contents);

 signals:
  void InfoChanged();
  void EntriesChanged(ObjectKind kind);
  void SectionDescriptionChanged(ObjectKind kind);
  void ModifiedChanged(bool modified);

 private:
  ProjectContents contents_;
  bool modified_ = false;
};
