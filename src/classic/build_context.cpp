#include "classic/build_context.h"

#include <QStringBuilder>

#include "classic/html.h"
#include "db/database.h"
#include "project/project.h"
#include "settings/settings.h"
#include "text/ansi.h"

namespace {
QString Quoted(const QString& s) { return u'"' + s + u'"'; }
}  // namespace

bool BuildContext::ContentOn() const { return settings.Part(DocumentPart::Content); }

void WriteSectionHeading(BuildContext& ctx, int n, const QString& title, bool tablesAnchor,
                         const QString& contentsClose) {
  const bool html = ctx.HtmlOutput;
  const bool content = ctx.ContentOn();
  const QString number = QString::number(n);
  const QString heading = number + title;
  QStringList& body = ctx.doc.TempMemo;
  if (html) body.append(QStringLiteral("<H3>"));
  if (html && content) {
    body.append((tablesAnchor ? "<A NAME = " : "<A NAME=") + Quoted(number) + u'>');
  }
  body.append(heading);
  if (html && content) body.append(QStringLiteral("</A>"));
  if (html) body.append(QStringLiteral("</H3>"));
  if (!content) return;
  QStringList& contents = ctx.doc.TempMemoHeader;
  if (html) contents.append("<P><B><A HREF=" + Quoted(u'#' + number) + u'>');
  contents.append(heading);
  if (html) contents.append(contentsClose);
}

// Every entry has one: its texts are each built in one piece.
void WriteObjectHeading(BuildContext& ctx, int n, int m, const QString& name) {
  const bool html = ctx.HtmlOutput;
  const bool content = ctx.ContentOn();
  const QString number = QString::number(n) % u'.' % QString::number(m);
  const QString heading = number % u' ' % DocText(name, html);
  QStringList& body = ctx.doc.TempMemo;
  if (html) body.append(QStringLiteral("<H4>"));
  if (html && content) body.append(u"<A NAME=\"" % number % u"\">");
  body.append(heading);
  if (html && content) body.append(QStringLiteral("</A>"));
  if (html) body.append(QStringLiteral("</H4>"));
  if (content) {
    QStringList& contents = ctx.doc.TempMemoHeader;
    if (html) {
      contents.append(u"&nbsp;&nbsp;&nbsp;&nbsp;<I><A HREF=\"#" % number % u"\">");
    }
    contents.append(heading);
    if (html) contents.append(QStringLiteral("</A></I><BR>"));
  }
  if (!html) body.append(QString());
}

void WriteBlockTitle(BuildContext& ctx, const QString& title) {
  QStringList& body = ctx.doc.TempMemo;
  if (ctx.HtmlOutput) {
    body.append({QStringLiteral("<H5>"), title, QStringLiteral("</H5>")});
  } else {
    body.append({title, QString()});
  }
}

void WriteTextBlock(BuildContext& ctx, const QString& title, const QString& text) {
  WriteBlockTitle(ctx, title);
  QStringList& body = ctx.doc.TempMemo;
  if (ctx.HtmlOutput) {
    body.append({QStringLiteral("<P>"), EscapeHtml(text), QStringLiteral("</P>")});
  } else {
    body.append({text, QString()});
  }
}

QString ObjectNameOf(const ObjectEntry& entry) { return entry.ObjectName().toString(); }

void WriteObjectSection(
    BuildContext& ctx, int& SectionNumber, ObjectKind kind, const QString& title,
    bool tablesAnchor, const QString& building,
    const std::function<QString(const ObjectEntry& entry)>& headingOf,
    const std::function<void(int n, int m, const ObjectEntry& entry)>& writeEntry) {
  const int n = SectionNumber;
  WriteSectionHeading(ctx, n, title, tablesAnchor, QStringLiteral("</A></B><BR>"));
  if (!ctx.HtmlOutput) ctx.doc.TempMemo.append(QString());

  RememberedLogon logon;
  const QList<ObjectEntry>& entries = ctx.project.Entries(kind);
  for (int i = 0; i < entries.size(); ++i) {
    const ObjectEntry& entry = entries[i];
    ctx.progress.SetInfoText(building + entry.ObjectName().toString());
    ctx.progress.StepProgress(1);
    WriteObjectHeading(ctx, n, i + 1, headingOf(entry));
    if (!ctx.doc.headerPass) {
      const NamedEntry named(ctx.db, kind, entry);
      logon.LogonIfChanged(ctx.db, entry.connection());
      writeEntry(n, i + 1, entry);
    }
    ctx.doc.Flush();
  }

  CloseContentsGroup(ctx);
  WriteSectionEnd(ctx);
  ++SectionNumber;
}

void CloseContentsGroup(BuildContext& ctx) {
  if (ctx.HtmlOutput && ctx.ContentOn()) ctx.doc.TempMemoHeader.append(QStringLiteral("</P>"));
}

void WriteSectionEnd(BuildContext& ctx) {
  ctx.doc.TempMemo.append(ctx.HtmlOutput ? QStringLiteral("<HR>") : QString());
}

void RememberedLogon::LogonIfChanged(Database& db, const Connection& entryConnection) {
  if (entryConnection == connection) return;
  ConnectDatabase(db, entryConnection.ServerName(), entryConnection.UserName(),
                  entryConnection.Password());
  connection = entryConnection;
}

namespace {
const char* KindName(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Tables: return "Tables";
    case ObjectKind::Views: return "Views";
    case ObjectKind::ProceduresAndFunctions: return "Procedures and functions";
    case ObjectKind::Packages: return "Packages";
    case ObjectKind::Sequences: return "Sequences";
    case ObjectKind::Roles: return "Roles and privileges";
  }
  return "";
}
}  // namespace

NamedEntry::NamedEntry(Database& db, ObjectKind kind, const ObjectEntry& entry) : db_(db) {
  db_.SetErrorContext([kind, &entry] {
    return QStringLiteral("Entry: %1 %2, connection %3")
        .arg(QLatin1String(KindName(kind)), ProjectListLine(entry),
             ansi::UpperCase(entry.connection().UserName() + u'@' + entry.connection().ServerName()));
  });
}

NamedEntry::~NamedEntry() { db_.SetErrorContext(nullptr); }

bool IsBlankText(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() > u' ') return false;
  }
  return true;
}

UserConnection::UserConnection(Database& db)
    : db_(db),
      connected_(db.Connected()),
      server_(db.ServerName()),
      user_(db.UserName()),
      password_(db.Password()) {}

bool UserConnection::Restore() {
  try {
    if (connected_) {
      ConnectDatabase(db_, server_, user_, password_);
    } else {
      db_.Disconnect();
    }
    return true;
  } catch (const DatabaseError&) {
    return false;
  }
}

int ProgressMaximum(const Project& project, const Settings& settings) {
  static constexpr std::pair<ObjectKind, DocumentPart> kKindParts[] = {
      {ObjectKind::Tables, DocumentPart::Tables},
      {ObjectKind::Views, DocumentPart::Views},
      {ObjectKind::ProceduresAndFunctions, DocumentPart::ProceduresAndFunctions},
      {ObjectKind::Packages, DocumentPart::Packages},
      {ObjectKind::Sequences, DocumentPart::Sequences},
      {ObjectKind::Roles, DocumentPart::Roles}};
  int max = 1;
  for (const auto& [kind, part] : kKindParts) {
    if (settings.Part(part)) max += project.Entries(kind).size();
  }
  return max;
}
