#include "modern/document_view.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cctype>
#include <kainjow/mustache.hpp>

#include "coverage/coverage.h"
#include "diagrams/diagrams.h"
#include "modern/dependency_data.h"

namespace mustache = kainjow::mustache;

namespace {

std::string S(const QString& text) { return text.toStdString(); }

mustache::data List() { return mustache::data(mustache::data::type::list); }

// A link as the templates see it: `name` and `href`.
mustache::data Link(const QString& name, const QString& href) {
  mustache::data d;
  d.set("name", S(name));
  d.set("href", S(href));
  return d;
}

// An empty text is set as false: "{{#field}}" is then false, "{{field}}" writes nothing,
// and the name never falls through to a field of the same name further out.
void SetText(mustache::data& d, const char* name, const QString& text) {
  d.set(name, text.isEmpty() ? mustache::data(false) : mustache::data(S(text)));
}

// A list with the flag "has" + Name (hasColumns), for markup around a non-empty list.
void SetList(mustache::data& d, const std::string& name, const mustache::data& list) {
  d.set(name, list);
  d.set("has" + std::string(1, char(std::toupper(name[0]))) + name.substr(1),
        !list.is_empty_list());
}

// A text as paragraphs of lines: line breaks (CR LF, LF or CR) end lines, blank lines end
// paragraphs; "more" marks every line but a paragraph's last. A user's text keeps its line
// breaks; a comment block's lines, wrapped to fit the source, `flow` into one line each.
mustache::data Paragraphs(const QString& text, bool flow = false) {
  static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
  mustache::data paragraphs = List();
  QStringList current;
  auto flush = [&] {
    if (current.isEmpty()) return;
    if (flow) current = QStringList{current.join(u' ')};
    mustache::data lines = List();
    for (qsizetype i = 0; i < current.size(); ++i) {
      mustache::data line;
      line.set("text", S(current[i]));
      line.set("more", i + 1 < current.size());
      lines.push_back(line);
    }
    mustache::data p;
    p.set("lines", lines);
    paragraphs.push_back(p);
    current.clear();
  };
  for (const QString& line : text.split(breaks)) {
    if (line.trimmed().isEmpty()) {
      flush();
    } else {
      current.append(line.trimmed());
    }
  }
  flush();
  return paragraphs;
}

void SetParagraphs(mustache::data& d, const char* name, const QString& text,
                   bool flow = false) {
  mustache::data p = Paragraphs(text, flow);
  d.set(name, p.is_empty_list() ? mustache::data(false) : p);
}

// A fence of backticks longer than any run of backticks in the texts (three at least), so
// no text can close a fenced block early.
std::string FenceFor(const QStringList& texts) {
  qsizetype longestRun = 0;
  for (const QString& t : texts) {
    qsizetype run = 0;
    for (const QChar c : t) {
      run = c == u'`' ? run + 1 : 0;
      longestRun = std::max(longestRun, run);
    }
  }
  return std::string(std::max<qsizetype>(3, longestRun + 1), '`');
}

// A code text (source, view query): its lines for a numbered listing, the whole text for a
// fenced block, and a fence of backticks longer than any run of backticks in the text.
// No lines: "code" is false.
void SetCode(mustache::data& d, const QStringList& lines) {
  if (lines.isEmpty()) {
    d.set("code", false);
    return;
  }
  mustache::data list = List();
  for (const QString& l : lines) {
    mustache::data line;
    line.set("text", S(l));
    list.push_back(line);
  }
  mustache::data code;
  code.set("lines", list);
  code.set("text", S(lines.join(u'\n')));
  code.set("fence", FenceFor(lines));
  d.set("code", code);
}

// A comment's lines as the Markdown writes them: every line break ends a line, blank lines
// and all.
mustache::data Lines(const QString& text) {
  static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
  mustache::data list = List();
  if (text.isEmpty()) return list;
  const QStringList lines = text.split(breaks);
  for (qsizetype i = 0; i < lines.size(); ++i) {
    mustache::data line("text", S(lines[i]));
    line.set("more", i + 1 < lines.size());
    list.push_back(line);
  }
  return list;
}

QStringList TextLines(const QString& text) {
  static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
  QStringList lines = text.split(breaks);
  while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
  return lines;
}

QString KindText(ConstraintKind kind) {
  switch (kind) {
    case ConstraintKind::Primary: return QStringLiteral("Primary key");
    case ConstraintKind::Unique: return QStringLiteral("Unique");
    case ConstraintKind::Foreign: return QStringLiteral("Foreign key");
    case ConstraintKind::Check: return QStringLiteral("Check");
  }
  return {};
}

mustache::data Columns(const QList<ModelColumn>& columns) {
  mustache::data list = List();
  int position = 0;
  for (const ModelColumn& c : columns) {
    mustache::data d;
    d.set("position", std::to_string(++position));
    d.set("name", S(c.name));
    SetText(d, "type", c.type);
    d.set("notNull", !c.nullable);
    SetText(d, "default", c.defaultValue);
    SetText(d, "comment", c.comment);
    d.set("commentLines", Lines(c.comment));
    list.push_back(d);
  }
  return list;
}

// A comment block; a parameter it describes that the dictionary no longer declares is
// `stale`.
mustache::data Block(const CommentBlock& b, const ParameterCheck& check) {
  mustache::data d;
  SetText(d, "heading", b.heading);
  SetParagraphs(d, "description", b.description.join(u'\n'), true);
  mustache::data parameters = List();
  for (const CommentParameter& p : b.parameters) {
    mustache::data row;
    SetText(row, "name", p.name);
    SetText(row, "type", p.type);
    SetText(row, "description", p.description);
    row.set("stale", check.stale.contains(p.name.trimmed()));
    parameters.push_back(row);
  }
  SetList(d, "parameters", parameters);
  SetText(d, "returnHeading", b.returnHeading);
  SetParagraphs(d, "returnText", b.returnText.join(u'\n'), true);
  return d;
}

// A documentation text as pieces: plain text, and each {@link X label} a link when X is in
// the document, else code.
mustache::data Segments(const QString& text,
                        const std::function<QString(const QString&)>& href) {
  static const QRegularExpression link(QStringLiteral(R"(\{@link(?:plain)?\s+([\w$#.]+(?:\([^)}]*\))?)\s*([^}]*)\})"));
  mustache::data list = List();
  const auto plain = [&list](const QString& t) {
    if (t.isEmpty()) return;
    mustache::data d("text", S(t));
    d.set("href", false);
    d.set("code", false);
    list.push_back(d);
  };
  qsizetype at = 0;
  for (auto it = link.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    plain(text.mid(at, m.capturedStart() - at));
    const QString target = m.captured(1);
    const QString label = m.captured(2).trimmed();
    mustache::data d("text", S(label.isEmpty() ? target : label));
    SetText(d, "href", href(target));
    d.set("code", true);
    list.push_back(d);
    at = m.capturedEnd();
  }
  plain(text.mid(at));
  return list;
}

void SetSegments(mustache::data& d, const char* name, const QString& text,
                 const std::function<QString(const QString&)>& href) {
  d.set(name, text.isEmpty() ? mustache::data(false) : Segments(text, href));
}

mustache::data Code(const QString& text) {
  mustache::data d("text", S(text));
  d.set("fence", FenceFor({text}));
  return d;
}

// What a documentation comment says, for the templates ("doc"): false when it and the
// arguments' trailing comments say nothing.
// `arguments` (a declared form's) fill its parameter table: each with what the comment
// says of it, then the described parameters that are not declared, `stale`.
mustache::data DocData(const plsql::DocComment& doc, const QList<ModelArgument>& arguments,
                       const std::function<QString(const QString&)>& href) {
  const bool describesArguments = std::any_of(
      arguments.begin(), arguments.end(), [](const ModelArgument& a) { return !a.description.isEmpty(); });
  if (doc.IsEmpty() && !describesArguments) return mustache::data(false);
  mustache::data d;
  d.set("fromBody", doc.fromBody);
  if (doc.deprecated) {
    mustache::data deprecated;
    SetSegments(deprecated, "text", doc.deprecation, href);
    d.set("deprecated", deprecated);
  } else {
    d.set("deprecated", false);
  }
  mustache::data blocks = List();
  for (const plsql::TextBlock& b : doc.description) {
    mustache::data block;
    block.set("isParagraph", b.kind == plsql::TextBlock::Paragraph);
    block.set("isBullets", b.kind == plsql::TextBlock::Bullets);
    block.set("isNumbered", b.kind == plsql::TextBlock::Numbered);
    block.set("isPre", b.kind == plsql::TextBlock::Preformatted);
    block.set("segments", b.kind == plsql::TextBlock::Paragraph
                              ? Segments(b.lines.join(u' '), href)
                              : List());
    mustache::data items = List();
    if (b.kind == plsql::TextBlock::Bullets || b.kind == plsql::TextBlock::Numbered) {
      for (const QString& item : b.lines)
        items.push_back(mustache::data("segments", Segments(item, href)));
    }
    block.set("items", items);
    block.set("code", b.kind == plsql::TextBlock::Preformatted ? Code(b.lines.join(u'\n'))
                                                               : mustache::data(false));
    blocks.push_back(block);
  }
  SetList(d, "blocks", blocks);

  mustache::data parameters = List();
  QSet<QString> declared;
  bool described = false;
  for (const ModelArgument& a : arguments) {
    declared.insert(a.name.toUpper());
    described = described || !a.description.isEmpty();
    mustache::data row("name", S(a.name));
    SetText(row, "type", a.type);
    SetText(row, "inOut", a.inOut);
    SetSegments(row, "description", a.description, href);
    row.set("stale", false);
    parameters.push_back(row);
  }
  for (const plsql::DocTag& t : doc.parameters) {
    if (t.name.isEmpty() || declared.contains(t.name.toUpper())) continue;
    described = true;
    mustache::data row("name", S(t.name));
    row.set("type", false);
    row.set("inOut", false);
    SetSegments(row, "description", t.text, href);
    row.set("stale", true);
    parameters.push_back(row);
  }
  if (!described) parameters = List();
  SetList(d, "parameters", parameters);
  SetSegments(d, "returns", doc.returns, href);
  d.set("hasReturns", !doc.returns.isEmpty());

  mustache::data throws = List();
  for (const plsql::DocTag& t : doc.throws) {
    mustache::data row("name", S(t.name));
    SetSegments(row, "text", t.text, href);
    throws.push_back(row);
  }
  SetList(d, "throws", throws);
  mustache::data see = List();
  for (qsizetype i = 0; i < doc.see.size(); ++i) {
    mustache::data row("text", S(doc.see[i]));
    SetText(row, "href", href(doc.see[i]));
    row.set("more", i + 1 < doc.see.size());
    see.push_back(row);
  }
  SetList(d, "see", see);
  SetText(d, "since", doc.since);
  SetText(d, "authors", doc.authors.join(QStringLiteral(", ")));
  mustache::data examples = List();
  for (const QString& e : doc.examples) examples.push_back(Code(e));
  SetList(d, "examples", examples);
  return d;
}

// The declared forms, each a function when it returns a value and a procedure when not
// (overloads of one name may be both); an argument no comment block describes is
// `undescribed`.
mustache::data Signatures(const QList<Signature>& signatures, const ParameterCheck& check,
                          const std::function<QString(const QString&)>& href) {
  mustache::data list = List();
  for (const Signature& s : signatures) {
    mustache::data d;
    d.set("type", S(s.returnType.isEmpty() ? QStringLiteral("PROCEDURE")
                                           : QStringLiteral("FUNCTION")));
    d.set("name", S(s.name));
    mustache::data arguments = List();
    QStringList texts{s.name, s.returnType};
    for (qsizetype i = 0; i < s.arguments.size(); ++i) {
      const ModelArgument& a = s.arguments[i];
      texts << a.name << a.type << a.defaultValue;
      mustache::data arg;
      arg.set("name", S(a.name));
      SetText(arg, "inOut", a.inOut);
      SetText(arg, "type", a.type);
      SetText(arg, "default", a.defaultValue);
      arg.set("more", i + 1 < s.arguments.size());
      arg.set("undescribed", check.undescribed.contains(a.name));
      arguments.push_back(arg);
    }
    SetList(d, "arguments", arguments);
    d.set("fence", FenceFor(texts));
    SetText(d, "returnType", s.returnType);
    d.set("doc", DocData(s.doc, s.arguments, href));
    list.push_back(d);
  }
  return list;
}


mustache::data Names(const QStringList& names) {
  mustache::data list = List();
  for (qsizetype i = 0; i < names.size(); ++i) {
    mustache::data name("name", S(names[i]));
    name.set("more", i + 1 < names.size());
    list.push_back(name);
  }
  return list;
}

// What a procedure, function or member leaves out: `undocumented` without a comment block
// (a missing object has its own warning), then the parameters its blocks do not describe
// and those they describe that the dictionary no longer declares.
void SetGaps(mustache::data& d, bool found, bool documented, const ParameterCheck& check) {
  d.set("undocumented", found && !documented);
  SetList(d, "undescribedParameters", Names(documented ? check.undescribed : QStringList()));
  SetList(d, "staleParameters", Names(check.stale));
}

}  // namespace

DocumentView::DocumentView(const DocumentModel& model, ::Links links,
                           const Diagrams* diagrams)
    : model_(model), links_(std::move(links)), diagrams_(diagrams) {
  // The first object of a name keeps it; OWNER.NAME tells two owners' objects apart.
  const auto add = [this](const ObjectKey& key, const QString& href) {
    for (const QString& name : {key.name, key.owner + u'.' + key.name})
      if (!linkTargets_.contains(name.toUpper())) linkTargets_.insert(name.toUpper(), href);
  };
  for (const TableObject& o : model_.tables) add(o.key, ObjectHref(o.anchor));
  for (const ViewObject& o : model_.views) add(o.key, ObjectHref(o.anchor));
  for (const UnitObject& o : model_.units) add(o.key, ObjectHref(o.anchor));
  for (const PackageObject& p : model_.packages) {
    add(p.key, ObjectHref(p.anchor));
    for (const MemberObject& m : p.members)
      add({p.key.database, p.key.owner, p.key.name + u'.' + m.name}, MemberHref(p.anchor, m.anchor));
  }
  for (const ModelChange& c : model.changes)
    if (!c.anchor.isEmpty()) changed_.insert(c.anchor);
}

QString DocumentView::DocHref(const QString& target, const PackageObject* package) const {
  QString name = target.trimmed();
  name = name.left(name.indexOf(u'(')).replace(u'#', u'.').toUpper();
  if (name.isEmpty()) return {};
  if (package) {
    for (const MemberObject& m : package->members) {
      if (m.name.toUpper() == name) return MemberHref(package->anchor, m.anchor);
    }
  }
  return linkTargets_.value(name);
}

QString DocumentView::ChangedSince(const QString& anchor) const {
  return changed_.contains(anchor) ? model_.changesSince : QString();
}

QString DocumentView::ObjectHref(const QString& anchor) const {
  return ::ObjectHref(links_, anchor);
}

QString DocumentView::MemberHref(const QString& packageAnchor, const QString& memberAnchor) const {
  return ::MemberHref(links_, packageAnchor, memberAnchor);
}

QString DocumentView::SectionAnchor(SectionKind kind) {
  switch (kind) {
    case SectionKind::General: return QStringLiteral("general");
    case SectionKind::Tables: return QStringLiteral("tables");
    case SectionKind::Views: return QStringLiteral("views");
    case SectionKind::Units: return QStringLiteral("units");
    case SectionKind::Packages: return QStringLiteral("packages");
    case SectionKind::Sequences: return QStringLiteral("sequences");
    case SectionKind::Roles: return QStringLiteral("roles");
  }
  return {};
}

void DocumentView::ForEachObject(
    SectionKind kind,
    const std::function<void(const QString& anchor, const TemplateData& data)>& each) const {
  switch (kind) {
    case SectionKind::Tables:
      for (const TableObject& o : model_.tables) each(o.anchor, TableData(o));
      break;
    case SectionKind::Views:
      for (const ViewObject& o : model_.views) each(o.anchor, ViewData(o));
      break;
    case SectionKind::Units:
      for (const UnitObject& o : model_.units) each(o.anchor, UnitData(o));
      break;
    case SectionKind::Packages:
      for (const PackageObject& o : model_.packages) each(o.anchor, PackageData(o));
      break;
    default: break;
  }
}

QString DocumentView::ObjectTemplate(SectionKind kind) {
  switch (kind) {
    case SectionKind::Tables: return QStringLiteral("table");
    case SectionKind::Views: return QStringLiteral("view");
    case SectionKind::Units: return QStringLiteral("unit");
    case SectionKind::Packages: return QStringLiteral("package");
    default: return {};
  }
}

namespace {

// A text as a reader sees it: line breaks alike (a project's texts end lines with CR LF,
// the dictionary with LF), no blanks at the end of a line or around the whole.
QString AsRead(const QString& text) {
  static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
  QStringList lines = text.split(breaks);
  for (QString& line : lines) {
    qsizetype end = line.size();
    while (end > 0 && line[end - 1].isSpace()) --end;
    line.truncate(end);
  }
  return lines.join(u'\n').trimmed();
}

// What every object shows: kind, names, anchor, link, the project's description and the
// dictionary's comment when it says something else.
mustache::data ObjectData(const DocumentView& view, const char* kind, const ObjectKey& key,
                          const QString& anchor, const QString& description,
                          const QString& dictionaryComment, bool found) {
  mustache::data d;
  d.set("kind", kind);
  d.set("anchor", S(anchor));
  d.set("href", S(view.ObjectHref(anchor)));
  SetText(d, "database", key.database);
  SetText(d, "owner", key.owner);
  d.set("name", S(key.name));
  d.set("fullName", S(key.owner.isEmpty() ? key.database + u'.' + key.name : key.FullName()));
  SetParagraphs(d, "description", description);
  if (AsRead(dictionaryComment) != AsRead(description))
    SetParagraphs(d, "dictionaryComment", dictionaryComment);
  d.set("missing", !found);
  d.set("undocumented", found && !HasDescription(description, dictionaryComment));
  SetText(d, "changedSince", view.ChangedSince(anchor));
  return d;
}

}  // namespace

TemplateData DocumentView::TableData(const TableObject& t) const {
  mustache::data d =
      ObjectData(*this, "Table", t.key, t.anchor, t.description, t.dictionaryComment, t.found);
  mustache::data synonyms = List();
  for (qsizetype i = 0; i < t.synonyms.size(); ++i) {
    mustache::data synonym("name", S(t.synonyms[i].name));
    synonym.set("owner", S(t.synonyms[i].owner));
    synonym.set("more", i + 1 < t.synonyms.size());
    synonyms.push_back(synonym);
  }
  SetList(d, "synonyms", synonyms);
  SetList(d, "columns", Columns(t.columns));

  mustache::data constraints = List();
  for (const ModelConstraint& c : t.constraints) {
    mustache::data row;
    row.set("name", S(c.name));
    row.set("kind", S(KindText(c.kind)));
    row.set("columns", S(c.columns.join(QStringLiteral(", "))));
    SetText(row, "condition", c.condition);
    row.set("references", false);
    if (c.kind == ConstraintKind::Foreign) {
      mustache::data ref;
      ref.set("fullName", S(c.references.FullName()));
      SetText(ref, "href", c.referencedAnchor.isEmpty() ? QString() : ObjectHref(c.referencedAnchor));
      ref.set("columns", S(c.referencedColumns.join(QStringLiteral(", "))));
      row.set("references", ref);
    }
    constraints.push_back(row);
  }
  SetList(d, "constraints", constraints);

  mustache::data indexes = List();
  for (const ModelIndex& i : t.indexes) {
    QStringList columns;
    for (const IndexColumn& c : i.columns)
      columns.append(c.descending ? c.name + QStringLiteral(" DESC") : c.name);
    mustache::data row;
    row.set("name", S(i.name));
    row.set("unique", i.unique);
    row.set("columns", S(columns.join(QStringLiteral(", "))));
    indexes.push_back(row);
  }
  SetList(d, "indexes", indexes);

  mustache::data referencedBy = List();
  for (const ModelReference& r : t.referencedBy) {
    mustache::data row;
    row.set("fullName", S(r.table.FullName()));
    row.set("href", S(ObjectHref(r.anchor)));
    row.set("constraint", S(r.constraint));
    row.set("columns", S(r.columns.join(QStringLiteral(", "))));
    referencedBy.push_back(row);
  }
  SetList(d, "referencedBy", referencedBy);
  SetDependencies(d, t.dependencies, t.key.owner, *this);

  SetList(d, "triggers", TriggerList(t.triggers, t.key, t.anchor));

  const std::string* svg = diagrams_ ? diagrams_->TableSvg(t.anchor) : nullptr;
  if (svg) {
    mustache::data diagram;
    diagram.set("svg", *svg);
    diagram.set("file", S(ObjectFileName(t.anchor, QStringLiteral(".svg"))));
    // The other tables in the drawing, the referenced ones first, each once.
    mustache::data links = List();
    QStringList linked{t.anchor};
    auto link = [&](const ObjectKey& key, const QString& anchor) {
      if (anchor.isEmpty() || linked.contains(anchor)) return;
      linked.append(anchor);
      links.push_back(Link(key.FullName(), ObjectHref(anchor)));
    };
    for (const ModelConstraint& c : t.constraints)
      if (c.kind == ConstraintKind::Foreign) link(c.references, c.referencedAnchor);
    for (const ModelReference& r : t.referencedBy) link(r.table, r.anchor);
    SetList(diagram, "links", links);
    d.set("diagram", diagram);
  } else {
    d.set("diagram", false);
  }
  SetText(d, "diagramNote", diagrams_ ? diagrams_->TableNote(t.anchor) : QString());
  return d;
}

TemplateData DocumentView::TriggerList(const QList<ModelTrigger>& list, const ObjectKey& key,
                                       const QString& anchor) const {
  mustache::data triggers = List();
  for (const ModelTrigger& tr : list) {
    mustache::data row;
    row.set("name", S(tr.owner == key.owner ? tr.name : tr.owner + u'.' + tr.name));
    row.set("anchor", S(tr.anchor));
    row.set("href", S(MemberHref(anchor, tr.anchor)));
    row.set("timing", S(tr.timing));
    row.set("event", S(tr.event));
    row.set("level", tr.eachRow ? "for each row" : "once per statement");
    SetText(row, "when", tr.when);
    row.set("disabled", !tr.enabled);
    row.set("invalid", tr.invalid);
    row.set("doc", DocData(tr.doc, {}, [this](const QString& target) {
              return DocHref(target, nullptr);
            }));
    SetCode(row, tr.body);
    triggers.push_back(row);
  }
  return triggers;
}

void DocumentView::SetUsageDiagram(TemplateData& d, const QString& anchor) const {
  const std::string* svg = diagrams_ ? diagrams_->DependencySvg(anchor) : nullptr;
  if (svg) {
    mustache::data diagram;
    diagram.set("svg", *svg);
    diagram.set("file", S(ObjectFileName(anchor, QStringLiteral(".svg"))));
    d.set("usageDiagram", diagram);
    d.set("hasUsage", true);
  }
  const QString note = diagrams_ ? diagrams_->DependencyNote(anchor) : QString();
  SetText(d, "usageDiagramNote", note);
  if (!note.isEmpty()) d.set("hasUsage", true);
}

TemplateData DocumentView::ViewData(const ViewObject& v) const {
  mustache::data d =
      ObjectData(*this, "View", v.key, v.anchor, v.description, v.dictionaryComment, v.found);
  d.set("invalid", v.invalid);
  SetDependencies(d, v.dependencies, v.key.owner, *this);
  SetList(d, "triggers", TriggerList(v.triggers, v.key, v.anchor));
  SetList(d, "columns", Columns(v.columns));
  SetCode(d, TextLines(v.text));
  return d;
}

TemplateData DocumentView::UnitData(const UnitObject& u) const {
  const char* kind = u.type == QStringLiteral("FUNCTION") ? "Function" : "Procedure";
  mustache::data d = ObjectData(*this, kind, u.key, u.anchor, QString(), QString(), u.found);
  d.set("type", S(u.type));
  d.set("typeWord", S(u.type.toLower()));
  d.set("invalid", u.invalid);
  SetDependencies(d, u.dependencies, u.key.owner, *this);
  SetUsageDiagram(d, u.anchor);
  const ParameterCheck check = CheckParameters(u.blocks, u.signatures);
  SetGaps(d, u.found, !u.blocks.isEmpty() || HasDocComment(u.signatures), check);
  SetList(d, "signatures", Signatures(u.signatures, check, [this](const QString& target) {
            return DocHref(target, nullptr);
          }));
  mustache::data blocks = List();
  for (const CommentBlock& b : u.blocks) blocks.push_back(Block(b, check));
  SetList(d, "blocks", blocks);
  SetCode(d, u.source);
  return d;
}

TemplateData DocumentView::PackageData(const PackageObject& p) const {
  mustache::data d =
      ObjectData(*this, "Package", p.key, p.anchor, p.description, QString(), p.found);
  const auto href = [this, &p](const QString& target) { return DocHref(target, &p); };
  d.set("invalid", p.invalid);
  SetDependencies(d, p.dependencies, p.key.owner, *this);
  SetUsageDiagram(d, p.anchor);
  d.set("undocumented", p.found && !HasDescription(p.description) && p.doc.IsEmpty());
  d.set("doc", DocData(p.doc, {}, href));
  mustache::data declarations = List();
  for (const ModelDeclaration& decl : p.declarations) {
    mustache::data row("kind", S(decl.kind));
    row.set("name", S(decl.name));
    row.set("definition", Code(decl.text));
    row.set("doc", DocData(decl.doc, {}, href));
    declarations.push_back(row);
  }
  SetList(d, "declarations", declarations);
  mustache::data blocks = List();
  for (const CommentBlock& b : p.textBlocks) blocks.push_back(Block(b, ParameterCheck()));
  SetList(d, "blocks", blocks);
  mustache::data members = List();
  for (const MemberObject& m : p.members) {
    const ParameterCheck check = CheckParameters(m.blocks, m.signatures);
    mustache::data row;
    row.set("name", S(m.name));
    row.set("anchor", S(m.anchor));
    row.set("href", S(MemberHref(p.anchor, m.anchor)));
    SetText(row, "type", m.type);
    const bool documented = !m.blocks.isEmpty() || HasDocComment(m.signatures);
    row.set("documented", documented);
    mustache::data memberBlocks = List();
    for (const CommentBlock& b : m.blocks) memberBlocks.push_back(Block(b, check));
    SetList(row, "blocks", memberBlocks);
    SetGaps(row, false, documented, check);
    SetList(row, "signatures", Signatures(m.signatures, check, href));
    members.push_back(row);
  }
  SetList(d, "members", members);
  SetCode(d, p.source);
  return d;
}

namespace {

// One entry of the contents: its name, link and the text the filter box searches.
struct NavItem {
  QString group;  // DATABASE.OWNER, or DATABASE for a role
  QString name;
  QString href;
  QString filter;
  QList<std::pair<QString, QString>> members;  // name and link
  bool changed = false;  // since the older snapshot the document is compared with
};

// The entries by DATABASE.OWNER, in the order each group's first entry comes.
mustache::data Groups(const QList<NavItem>& items) {
  mustache::data groups = List();
  QStringList order;
  std::vector<mustache::data> lists;
  for (const NavItem& item : items) {
    qsizetype at = order.indexOf(item.group);
    if (at < 0) {
      order.append(item.group);
      lists.push_back(List());
      at = order.size() - 1;
    }
    mustache::data d;
    d.set("name", S(item.name));
    d.set("href", S(item.href));
    d.set("filter", S(item.filter.toLower()));
    d.set("changed", item.changed);
    mustache::data members = List();
    for (const auto& [name, href] : item.members) {
      mustache::data member;
      member.set("name", S(name));
      member.set("href", S(href));
      members.push_back(member);
    }
    d.set("hasMembers", !item.members.isEmpty());
    d.set("members", members);
    lists[at].push_back(d);
  }
  for (qsizetype i = 0; i < order.size(); ++i) {
    mustache::data g;
    g.set("label", S(order[i]));
    g.set("items", lists[i]);
    groups.push_back(g);
  }
  return groups;
}

mustache::data NavSection(SectionKind kind, const QList<NavItem>& items) {
  mustache::data section;
  section.set("title", S(SectionTitle(kind)));
  section.set("href", S(u'#' + DocumentView::SectionAnchor(kind)));
  section.set("anchor", S(DocumentView::SectionAnchor(kind)));
  section.set("groups", Groups(items));
  return section;
}

// Each owner's overview: its drawing and file, or the reason there is none, and links to
// the owner's tables (`items`, the section's entries), as a drawing is no link everywhere.
mustache::data Overviews(const QList<OwnerOverview>& overviews, const QList<NavItem>& items) {
  mustache::data list = List();
  for (const OwnerOverview& o : overviews) {
    mustache::data d;
    d.set("anchor", S(o.anchor));
    const QString label = o.database + u'.' + o.owner;
    d.set("label", S(label));
    mustache::data links = List();
    for (const NavItem& item : items)
      if (item.group == label) links.push_back(Link(item.name, item.href));
    SetList(d, "links", links);
    d.set("tables", std::to_string(o.tables));
    d.set("limit", std::to_string(kOverviewTableLimit));
    SetText(d, "note", o.note);
    if (o.svg.empty()) {
      d.set("diagram", false);
    } else {
      mustache::data diagram;
      diagram.set("svg", o.svg);
      diagram.set("file", S(ObjectFileName(o.anchor, QStringLiteral(".svg"))));
      d.set("diagram", diagram);
    }
    list.push_back(d);
  }
  return list;
}

QString GroupOf(const ObjectKey& key) {
  return key.owner.isEmpty() ? key.database : key.database + u'.' + key.owner;
}

template <typename T>
QList<NavItem> Items(const DocumentView& view, const QList<T>& objects) {
  QList<NavItem> items;
  for (const T& o : objects)
    items.append({GroupOf(o.key), o.key.name, view.ObjectHref(o.anchor), o.key.FullName(), {},
                  !view.ChangedSince(o.anchor).isEmpty()});
  return items;
}

mustache::data TallyData(const Tally& t) {
  mustache::data d;
  d.set("percent", S(QString::number(t.Percent(), 'f', 1)));
  d.set("documented", std::to_string(t.documented));
  d.set("items", std::to_string(t.total));
  return d;
}

// The title block's summary: the total and each kind's share.
mustache::data CoverageData(const CoverageReport& report) {
  mustache::data d = TallyData(report.Total());
  mustache::data kinds = List();
  for (qsizetype i = 0; i < report.kinds.size(); ++i) {
    mustache::data kind = TallyData(report.Summary(report.kinds[i]).Items());
    kind.set("title", S(KindTitle(report.kinds[i])));
    kind.set("more", i + 1 < report.kinds.size());
    kinds.push_back(kind);
  }
  SetList(d, "kinds", kinds);
  return d;
}

}  // namespace

// The changes since the older snapshot, each linked to its object when the document shows
// it; false when the document was compared with none.
TemplateData DocumentView::ChangesData() const {
  if (model_.changesSince.isEmpty()) return mustache::data(false);
  mustache::data d;
  d.set("since", S(model_.changesSince));
  mustache::data items = List();
  qsizetype breaking = 0;
  for (const ModelChange& c : model_.changes) {
    mustache::data item;
    item.set("text", S(c.text));
    item.set("breaking", c.breaking);
    SetText(item, "href", c.anchor.isEmpty() ? QString() : ObjectHref(c.anchor));
    items.push_back(item);
    breaking += c.breaking;
  }
  SetList(d, "items", items);
  d.set("count", std::to_string(model_.changes.size()));
  d.set("breaking", std::to_string(breaking));
  return d;
}

TemplateData DocumentView::PageData(
    const std::function<std::string(SectionKind)>& objects) const {
  mustache::data d;
  d.set("name", S(model_.name));
  d.set("version", S(model_.version));
  d.set("created", S(model_.created));
  d.set("updated", S(model_.updated));
  d.set("contents", model_.contents);
  d.set("site", links_.style == LinkStyle::Site);
  d.set("coverage", CoverageData(MeasureCoverage(model_)));
  d.set("changes", ChangesData());

  mustache::data nav = List();
  mustache::data sections = List();
  for (const SectionKind kind : model_.sections) {
    QList<NavItem> items;
    mustache::data section;
    section.set("title", S(SectionTitle(kind)));
    section.set("anchor", S(SectionAnchor(kind)));
    section.set("text", false);
    section.set("isList", false);
    section.set("hasEntries", false);
    section.set("overviews", List());
    switch (kind) {
      case SectionKind::General:
        SetParagraphs(section, "text", model_.general);
        break;
      case SectionKind::Tables:
        items = Items(*this, model_.tables);
        if (diagrams_) section.set("overviews", Overviews(diagrams_->overviews, items));
        break;
      case SectionKind::Views: items = Items(*this, model_.views); break;
      case SectionKind::Units: items = Items(*this, model_.units); break;
      case SectionKind::Packages:
        for (const PackageObject& p : model_.packages) {
          NavItem item{GroupOf(p.key), p.key.name, ObjectHref(p.anchor), p.key.FullName(), {},
                       !ChangedSince(p.anchor).isEmpty()};
          for (const MemberObject& m : p.members) {
            item.members.append({m.name, MemberHref(p.anchor, m.anchor)});
            item.filter += u' ' + m.name;
          }
          items.append(item);
        }
        break;
      case SectionKind::Sequences:
      case SectionKind::Roles: {
        const bool sequences = kind == SectionKind::Sequences;
        const QList<ListEntry>& entries = sequences ? model_.sequences : model_.roles;
        SetParagraphs(section, "text", sequences ? model_.sequencesText : model_.rolesText);
        mustache::data list = List();
        for (const ListEntry& e : entries) {
          mustache::data row;
          row.set("anchor", S(e.anchor));
          row.set("name", S(e.key.name));
          row.set("fullName", S(e.key.owner.isEmpty() ? e.key.database + u'.' + e.key.name
                                                       : e.key.FullName()));
          SetParagraphs(row, "description", e.description);
          SetDependencies(row, e.dependencies, e.key.owner, *this);
          list.push_back(row);
          items.append({GroupOf(e.key), e.key.name, u'#' + e.anchor, e.key.FullName(), {},
                        !ChangedSince(e.anchor).isEmpty()});
        }
        section.set("isList", true);
        section.set("hasEntries", !entries.isEmpty());
        section.set("entries", list);
        break;
      }
    }
    section.set("pages", false);
    if (links_.style == LinkStyle::Site && !ObjectTemplate(kind).isEmpty()) {
      mustache::data pages;
      pages.set("count", std::to_string(items.size()));
      pages.set("title", S(SectionTitle(kind).toLower()));
      section.set("pages", pages);
    }
    section.set("objects", objects(kind));
    section.set("groups", Groups(items));
    nav.push_back(NavSection(kind, items));
    sections.push_back(section);
  }
  d.set("nav", nav);
  d.set("sections", sections);
  return d;
}
