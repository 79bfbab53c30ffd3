#include "modern/document_view.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cctype>
#include <kainjow/mustache.hpp>
#include <memory>
#include <vector>

#include "coverage/coverage.h"
#include "diagrams/diagrams.h"
#include "model/list_pages.h"
#include "modern/dependency_data.h"
#include "modern/object_stream.h"
#include "modern/templates.h"

namespace mustache = kainjow::mustache;

// The library's set and push_back copy their value, and the copy of a list or an object is a
// copy of all it holds, made again at every level it is put into: a large document's build
// spent half its time copying. Its operator[] finds the name once (set looks it up twice and
// get a third time), and the value moves in.
void SetData(TemplateData& d, const std::string& name, TemplateData value) {
  if (d.is_object()) d[name] = std::move(value);
}

QString DocumentName(const DocumentModel& model) {
  return model.name.trimmed().isEmpty() ? QStringLiteral("Untitled project") : model.name;
}

void AppendData(TemplateData& list, TemplateData value) {
  auto& items = const_cast<mustache::basic_list<std::string>&>(list.list_value());
  if (items.size() == items.capacity()) {
    // The library's values do not promise to move without throwing, so a vector that grows
    // in place copies every one: it grows here by moving them.
    mustache::basic_list<std::string> grown;
    grown.reserve(std::max<std::size_t>(4, items.size() * 2));
    for (TemplateData& item : items) {
      grown.emplace_back(false);
      grown.back() = std::move(item);
    }
    items.swap(grown);
  }
  items.emplace_back(false);
  items.back() = std::move(value);
}

namespace {

// How many objects of a kind there are, in words: "3 views", "1 view".
std::string Counted(SectionKind kind, qsizetype count) {
  QString noun = SectionTitle(kind).toLower();
  if (count == 1) {
    switch (kind) {
      case SectionKind::Tables: noun = QStringLiteral("table"); break;
      case SectionKind::Views: noun = QStringLiteral("view"); break;
      case SectionKind::Units: noun = QStringLiteral("procedure or function"); break;
      case SectionKind::Packages: noun = QStringLiteral("package"); break;
      case SectionKind::Sequences: noun = QStringLiteral("sequence"); break;
      case SectionKind::Roles: noun = QStringLiteral("role"); break;
      case SectionKind::General: break;
    }
  }
  return (QString::number(count) + u' ' + noun).toStdString();
}

// A text's lines: CR LF, LF and CR each end one. Most texts are one line, which needs no
// pattern matched.
QStringList SplitLines(const QString& text) {
  static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
  if (!text.contains(u'\n') && !text.contains(u'\r')) return {text};
  return text.split(breaks);
}

std::string S(const QString& text) { return text.toStdString(); }

mustache::data List() { return mustache::data(mustache::data::type::list); }

// A link as the templates see it: `name` and `href`.
mustache::data Link(const QString& name, const QString& href) {
  mustache::data d;
  SetData(d, "name", S(name));
  SetData(d, "href", S(href));
  return d;
}

// An empty text is set as false: "{{#field}}" is then false, "{{field}}" writes nothing,
// and the name never falls through to a field of the same name further out.
void SetText(mustache::data& d, const char* name, const QString& text) {
  SetData(d, name, text.isEmpty() ? mustache::data(false) : mustache::data(S(text)));
}

// A list with the flag "has" + Name (hasColumns), for markup around a non-empty list.
void SetList(mustache::data& d, const std::string& name, mustache::data list) {
  SetData(d, "has" + std::string(1, char(std::toupper(name[0]))) + name.substr(1),
      !list.is_empty_list());
  SetData(d, name, std::move(list));
}

// A text as paragraphs of lines: line breaks (CR LF, LF or CR) end lines, blank lines end
// paragraphs; "more" marks every line but a paragraph's last. A user's text keeps its line
// breaks; a comment block's lines, wrapped to fit the source, `flow` into one line each.
mustache::data Paragraphs(const QString& text, bool flow = false) {
  QList<QStringList> texts{{}};
  for (const QString& line : SplitLines(text)) {
    if (!line.trimmed().isEmpty()) texts.last().append(line.trimmed());
    else if (!texts.last().isEmpty()) texts.append(QStringList());
  }
  if (texts.last().isEmpty()) texts.removeLast();
  mustache::data paragraphs = List();
  for (qsizetype n = 0; n < texts.size(); ++n) {
    const QStringList current = flow ? QStringList{texts[n].join(u' ')} : texts[n];
    mustache::data lines = List();
    for (qsizetype i = 0; i < current.size(); ++i) {
      mustache::data line;
      SetData(line, "text", S(current[i]));
      SetData(line, "more", i + 1 < current.size());
      AppendData(lines, std::move(line));
    }
    mustache::data p;
    SetData(p, "lines", std::move(lines));
    // A label or a separator goes once before the paragraphs or between them.
    SetData(p, "first", n == 0);
    SetData(p, "last", n + 1 == texts.size());
    AppendData(paragraphs, std::move(p));
  }
  return paragraphs;
}

void SetParagraphs(mustache::data& d, const char* name, const QString& text,
                   bool flow = false) {
  mustache::data p = Paragraphs(text, flow);
  SetData(d, name, p.is_empty_list() ? mustache::data(false) : p);
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
    SetData(d, "code", false);
    return;
  }
  mustache::data list = List();
  for (const QString& l : lines) {
    mustache::data line;
    SetData(line, "text", S(l));
    AppendData(list, std::move(line));
  }
  mustache::data code;
  SetData(code, "lines", std::move(list));
  SetData(code, "text", S(lines.join(u'\n')));
  SetData(code, "fence", FenceFor(lines));
  SetData(d, "code", std::move(code));
}

// A comment's lines as the Markdown writes them: every line break ends a line, blank lines
// and all.
mustache::data Lines(const QString& text) {
  mustache::data list = List();
  if (text.isEmpty()) return list;
  const QStringList lines = SplitLines(text);
  for (qsizetype i = 0; i < lines.size(); ++i) {
    mustache::data line("text", S(lines[i]));
    SetData(line, "more", i + 1 < lines.size());
    AppendData(list, std::move(line));
  }
  return list;
}

QStringList TextLines(const QString& text) {
  QStringList lines = SplitLines(text);
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
    SetData(d, "position", std::to_string(++position));
    SetData(d, "name", S(c.name));
    SetText(d, "type", c.type);
    SetData(d, "notNull", !c.nullable);
    SetText(d, "default", c.defaultValue);
    SetText(d, "comment", c.comment);
    SetData(d, "commentLines", Lines(c.comment));
    AppendData(list, std::move(d));
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
    SetData(row, "stale", check.stale.contains(p.name.trimmed()));
    AppendData(parameters, std::move(row));
  }
  SetList(d, "parameters", std::move(parameters));
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
    SetData(d, "href", false);
    SetData(d, "code", false);
    AppendData(list, std::move(d));
  };
  qsizetype at = 0;
  for (auto it = link.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    plain(text.mid(at, m.capturedStart() - at));
    const QString target = m.captured(1);
    const QString label = m.captured(2).trimmed();
    mustache::data d("text", S(label.isEmpty() ? target : label));
    SetText(d, "href", href(target));
    SetData(d, "code", true);
    AppendData(list, std::move(d));
    at = m.capturedEnd();
  }
  plain(text.mid(at));
  return list;
}

void SetSegments(mustache::data& d, const char* name, const QString& text,
                 const std::function<QString(const QString&)>& href) {
  SetData(d, name, text.isEmpty() ? mustache::data(false) : Segments(text, href));
}

mustache::data Code(const QString& text) {
  mustache::data d("text", S(text));
  SetData(d, "fence", FenceFor({text}));
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
  SetData(d, "fromBody", doc.fromBody);
  if (doc.deprecated) {
    mustache::data deprecated;
    SetSegments(deprecated, "text", doc.deprecation, href);
    SetData(d, "deprecated", std::move(deprecated));
  } else {
    SetData(d, "deprecated", false);
  }
  mustache::data blocks = List();
  for (const plsql::TextBlock& b : doc.description) {
    mustache::data block;
    SetData(block, "isParagraph", b.kind == plsql::TextBlock::Paragraph);
    SetData(block, "isBullets", b.kind == plsql::TextBlock::Bullets);
    SetData(block, "isNumbered", b.kind == plsql::TextBlock::Numbered);
    SetData(block, "isPre", b.kind == plsql::TextBlock::Preformatted);
    SetData(block, "segments", b.kind == plsql::TextBlock::Paragraph
                              ? Segments(b.lines.join(u' '), href)
                              : List());
    mustache::data items = List();
    if (b.kind == plsql::TextBlock::Bullets || b.kind == plsql::TextBlock::Numbered) {
      for (const QString& item : b.lines)
        AppendData(items, mustache::data("segments", Segments(item, href)));
    }
    SetData(block, "items", std::move(items));
    SetData(block, "code", b.kind == plsql::TextBlock::Preformatted ? Code(b.lines.join(u'\n'))
                                                               : mustache::data(false));
    AppendData(blocks, std::move(block));
  }
  SetList(d, "blocks", std::move(blocks));

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
    SetData(row, "stale", false);
    AppendData(parameters, std::move(row));
  }
  for (const plsql::DocTag& t : doc.parameters) {
    if (t.name.isEmpty() || declared.contains(t.name.toUpper())) continue;
    described = true;
    mustache::data row("name", S(t.name));
    SetData(row, "type", false);
    SetData(row, "inOut", false);
    SetSegments(row, "description", t.text, href);
    SetData(row, "stale", true);
    AppendData(parameters, std::move(row));
  }
  if (!described) parameters = List();
  SetList(d, "parameters", std::move(parameters));
  SetSegments(d, "returns", doc.returns, href);
  SetData(d, "hasReturns", !doc.returns.isEmpty());

  mustache::data throws = List();
  for (const plsql::DocTag& t : doc.throws) {
    mustache::data row("name", S(t.name));
    SetSegments(row, "text", t.text, href);
    AppendData(throws, std::move(row));
  }
  SetList(d, "throws", std::move(throws));
  mustache::data see = List();
  for (qsizetype i = 0; i < doc.see.size(); ++i) {
    mustache::data row("text", S(doc.see[i]));
    SetText(row, "href", href(doc.see[i]));
    SetData(row, "more", i + 1 < doc.see.size());
    AppendData(see, std::move(row));
  }
  SetList(d, "see", std::move(see));
  SetText(d, "since", doc.since);
  SetText(d, "authors", doc.authors.join(QStringLiteral(", ")));
  mustache::data examples = List();
  for (const QString& e : doc.examples) AppendData(examples, Code(e));
  SetList(d, "examples", std::move(examples));
  return d;
}

// A name as PL/SQL code writes it: in double quotes unless it reads as itself unquoted
// (upper case letters, digits, "_", "$" and "#", a letter first).
QString AsWritten(const QString& name) {
  static const QRegularExpression plain(QStringLiteral("^[A-Z][A-Z0-9_$#]*$"));
  if (name.isEmpty() || plain.match(name).hasMatch()) return name;
  return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// The declared forms, each a function when it returns a value and a procedure when not
// (overloads of one name may be both); an argument no comment block describes is
// `undescribed`.
mustache::data Signatures(const QList<Signature>& signatures, const ParameterCheck& check,
                          const std::function<QString(const QString&)>& href) {
  mustache::data list = List();
  for (const Signature& s : signatures) {
    mustache::data d;
    SetData(d, "type", S(s.returnType.isEmpty() ? QStringLiteral("PROCEDURE")
                                           : QStringLiteral("FUNCTION")));
    SetData(d, "name", S(AsWritten(s.name)));
    mustache::data arguments = List();
    QStringList texts{s.name, s.returnType, s.options};
    for (qsizetype i = 0; i < s.arguments.size(); ++i) {
      const ModelArgument& a = s.arguments[i];
      texts << a.name << a.type << a.defaultValue;
      mustache::data arg;
      SetData(arg, "name", S(AsWritten(a.name)));
      SetText(arg, "inOut", a.inOut);
      SetText(arg, "type", a.type);
      SetText(arg, "default", a.defaultValue);
      SetData(arg, "more", i + 1 < s.arguments.size());
      SetData(arg, "undescribed", check.undescribed.contains(a.name));
      AppendData(arguments, std::move(arg));
    }
    SetList(d, "arguments", std::move(arguments));
    SetData(d, "fence", FenceFor(texts));
    SetText(d, "returnType", s.returnType);
    SetText(d, "options", s.options);
    SetData(d, "doc", DocData(s.doc, s.arguments, href));
    AppendData(list, std::move(d));
  }
  return list;
}


mustache::data Names(const QStringList& names) {
  mustache::data list = List();
  for (qsizetype i = 0; i < names.size(); ++i) {
    mustache::data name("name", S(names[i]));
    SetData(name, "more", i + 1 < names.size());
    AppendData(list, std::move(name));
  }
  return list;
}

// What a procedure, function or member leaves out: `undocumented` without a comment block
// (a missing object has its own warning), then the parameters its blocks do not describe
// and those they describe that the dictionary no longer declares.
void SetGaps(mustache::data& d, bool found, bool documented, const ParameterCheck& check) {
  SetData(d, "undocumented", found && !documented);
  SetList(d, "undescribedParameters", Names(documented ? check.undescribed : QStringList()));
  SetList(d, "staleParameters", Names(check.stale));
}

}  // namespace

namespace {

// The key and anchor of the i-th object of a section of objects.
std::pair<const ObjectKey*, const QString*> ObjectAt(const DocumentModel& model, SectionKind kind,
                                                     int i) {
  const auto at = [i](const auto& list) { return std::pair(&list[i].key, &list[i].anchor); };
  switch (kind) {
    case SectionKind::Tables: return at(model.tables);
    case SectionKind::Views: return at(model.views);
    case SectionKind::Units: return at(model.units);
    default: return at(model.packages);
  }
}

}  // namespace

DocumentView::DocumentView(const DocumentModel& model, ::Links links,
                           const DiagramSource* diagrams, const ObjectStream* objects)
    : model_(model), links_(std::move(links)), diagrams_(diagrams), objects_(objects) {
  // The first object of a name keeps it; OWNER.NAME tells two owners' objects apart.
  const auto add = [this](const LinkTarget& target) {
    for (const bool qualified : {false, true}) {
      LinkTarget t = target;
      t.qualified = qualified;
      linkTargets_.Add(LinkName(t), t);
    }
  };
  for (int i = 0; i < model_.tables.size(); ++i) add({SectionKind::Tables, i, -1, false});
  for (int i = 0; i < model_.views.size(); ++i) add({SectionKind::Views, i, -1, false});
  for (int i = 0; i < model_.units.size(); ++i) add({SectionKind::Units, i, -1, false});
  for (int i = 0; i < model_.packages.size(); ++i)
    for (int m = -1; m < model_.packages[i].members.size(); ++m)
      add({SectionKind::Packages, i, m, false});
  linkTargets_.Sort();
  for (const ModelChange& c : model.changes)
    if (!c.anchor.isEmpty()) changed_.insert(c.anchor);
}

QString DocumentView::LinkName(const LinkTarget& t) const {
  const ObjectKey& key = *ObjectAt(model_, t.kind, t.object).first;
  const QString name =
      t.member < 0 ? key.name : key.name + u'.' + model_.packages[t.object].members[t.member].name;
  return (t.qualified ? key.owner + u'.' + name : name).toUpper();
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
  const std::optional<LinkTarget> t =
      linkTargets_.Find(name, [this](const LinkTarget& t) { return LinkName(t); });
  if (!t) return {};
  const QString& anchor = *ObjectAt(model_, t->kind, t->object).second;
  return t->member < 0 ? ObjectHref(anchor)
                       : MemberHref(anchor, model_.packages[t->object].members[t->member].anchor);
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

namespace {

// The objects of a list, or, when the list is the index of a streamed model, from the stream.
template <typename Object>
void EachOf(const ObjectStream* objects, const DocumentModel& model, const QList<Object>& list,
            const std::function<void(const Object&)>& each) {
  if (objects) {
    objects->ForEach(model, each);
  } else {
    for (const Object& o : list) each(o);
  }
}

}  // namespace

void DocumentView::ForEachObject(SectionKind kind, const EachObject& each) const {
  std::string svg;
  const auto give = [&](const QString& anchor, TemplateData data) { each(anchor, data, svg); };
  switch (kind) {
    case SectionKind::Tables:
      EachOf<TableObject>(objects_, model_, model_.tables,
                          [&](const TableObject& o) { give(o.anchor, TableData(o, &svg)); });
      break;
    case SectionKind::Views:
      EachOf<ViewObject>(objects_, model_, model_.views, [&](const ViewObject& o) {
        svg.clear();
        give(o.anchor, ViewData(o));
      });
      break;
    case SectionKind::Units:
      EachOf<UnitObject>(objects_, model_, model_.units,
                         [&](const UnitObject& o) { give(o.anchor, UnitData(o, &svg)); });
      break;
    case SectionKind::Packages:
      EachOf<PackageObject>(objects_, model_, model_.packages,
                            [&](const PackageObject& o) { give(o.anchor, PackageData(o, &svg)); });
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
  QStringList lines = SplitLines(text);
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
  SetData(d, "kind", kind);
  SetData(d, "anchor", S(anchor));
  SetData(d, "href", S(view.ObjectHref(anchor)));
  SetText(d, "database", key.database);
  SetText(d, "owner", key.owner);
  SetData(d, "name", S(key.name));
  SetData(d, "fullName", S(key.owner.isEmpty() ? key.database + u'.' + key.name : key.FullName()));
  SetParagraphs(d, "description", description);
  if (AsRead(dictionaryComment) != AsRead(description))
    SetParagraphs(d, "dictionaryComment", dictionaryComment);
  SetData(d, "missing", !found);
  SetData(d, "undocumented", found && !HasDescription(description, dictionaryComment));
  SetText(d, "changedSince", view.ChangedSince(anchor));
  return d;
}

}  // namespace

TemplateData DocumentView::TableData(const TableObject& t, std::string* svgOut) const {
  mustache::data d =
      ObjectData(*this, "Table", t.key, t.anchor, t.description, t.dictionaryComment, t.found);
  mustache::data synonyms = List();
  for (qsizetype i = 0; i < t.synonyms.size(); ++i) {
    mustache::data synonym("name", S(t.synonyms[i].name));
    SetData(synonym, "owner", S(t.synonyms[i].owner));
    SetData(synonym, "more", i + 1 < t.synonyms.size());
    AppendData(synonyms, std::move(synonym));
  }
  SetList(d, "synonyms", std::move(synonyms));
  SetList(d, "columns", Columns(t.columns));

  mustache::data constraints = List();
  for (const ModelConstraint& c : t.constraints) {
    mustache::data row;
    SetData(row, "name", S(c.name));
    SetData(row, "kind", S(KindText(c.kind)));
    SetData(row, "columns", S(c.columns.join(QStringLiteral(", "))));
    SetText(row, "condition", c.condition);
    SetData(row, "references", false);
    if (c.kind == ConstraintKind::Foreign) {
      mustache::data ref;
      SetData(ref, "fullName", S(c.references.FullName()));
      SetText(ref, "href", c.referencedAnchor.isEmpty() ? QString() : ObjectHref(c.referencedAnchor));
      SetData(ref, "columns", S(c.referencedColumns.join(QStringLiteral(", "))));
      SetData(row, "references", std::move(ref));
    }
    AppendData(constraints, std::move(row));
  }
  SetList(d, "constraints", std::move(constraints));

  mustache::data indexes = List();
  for (const ModelIndex& i : t.indexes) {
    QStringList columns;
    for (const IndexColumn& c : i.columns)
      columns.append(c.descending ? c.name + QStringLiteral(" DESC") : c.name);
    mustache::data row;
    SetData(row, "name", S(i.name));
    SetData(row, "unique", i.unique);
    SetData(row, "columns", S(columns.join(QStringLiteral(", "))));
    AppendData(indexes, std::move(row));
  }
  SetList(d, "indexes", std::move(indexes));

  mustache::data referencedBy = List();
  for (const ModelReference& r : t.referencedBy) {
    mustache::data row;
    SetData(row, "fullName", S(r.table.FullName()));
    SetData(row, "href", S(ObjectHref(r.anchor)));
    SetData(row, "constraint", S(r.constraint));
    SetData(row, "columns", S(r.columns.join(QStringLiteral(", "))));
    AppendData(referencedBy, std::move(row));
  }
  SetList(d, "referencedBy", std::move(referencedBy));
  SetDependencies(d, t.dependencies, t.key.owner, *this);

  SetList(d, "triggers", TriggerList(t.triggers, t.key, t.anchor));

  ObjectDiagram drawing = diagrams_ ? diagrams_->Table(t) : ObjectDiagram();
  if (!drawing.svg.empty()) {
    mustache::data diagram;
    SetData(diagram, "svg", drawing.svg);
    SetData(diagram, "file", S(ObjectFileName(t.anchor, QStringLiteral(".svg"))));
    // The other tables in the drawing, the referenced ones first, each once.
    mustache::data links = List();
    QStringList linked{t.anchor};
    auto link = [&](const ObjectKey& key, const QString& anchor) {
      if (anchor.isEmpty() || linked.contains(anchor)) return;
      linked.append(anchor);
      AppendData(links, Link(key.FullName(), ObjectHref(anchor)));
    };
    for (const ModelConstraint& c : t.constraints)
      if (c.kind == ConstraintKind::Foreign) link(c.references, c.referencedAnchor);
    for (const ModelReference& r : t.referencedBy) link(r.table, r.anchor);
    SetList(diagram, "links", std::move(links));
    SetData(d, "diagram", std::move(diagram));
  } else {
    SetData(d, "diagram", false);
  }
  SetText(d, "diagramNote", drawing.note);
  if (svgOut) *svgOut = std::move(drawing.svg);
  return d;
}

TemplateData DocumentView::TriggerList(const QList<ModelTrigger>& list, const ObjectKey& key,
                                       const QString& anchor) const {
  mustache::data triggers = List();
  for (const ModelTrigger& tr : list) {
    mustache::data row;
    SetData(row, "name", S(tr.owner == key.owner ? tr.name : tr.owner + u'.' + tr.name));
    SetData(row, "anchor", S(tr.anchor));
    SetData(row, "href", S(MemberHref(anchor, tr.anchor)));
    SetData(row, "timing", S(tr.timing));
    SetData(row, "event", S(tr.event));
    // A compound trigger runs at the points its sections name, by row and by statement.
    SetData(row, "level", tr.timing == QLatin1String("COMPOUND") ? "at each of its timing points"
                          : tr.eachRow                           ? "for each row"
                                                                 : "once per statement");
    SetText(row, "when", tr.when);
    SetData(row, "disabled", !tr.enabled);
    SetData(row, "invalid", tr.invalid);
    SetData(row, "doc", DocData(tr.doc, {}, [this](const QString& target) {
              return DocHref(target, nullptr);
            }));
    SetCode(row, tr.body);
    AppendData(triggers, std::move(row));
  }
  return triggers;
}

void DocumentView::SetUsageDiagram(TemplateData& d, const ObjectKey& key, const QString& type,
                                   const QString& anchor, const ModelDependencies& dependencies,
                                   std::string* svgOut) const {
  ObjectDiagram drawing =
      diagrams_ ? diagrams_->Usage(key, type, anchor, dependencies) : ObjectDiagram();
  if (!drawing.svg.empty()) {
    mustache::data diagram;
    SetData(diagram, "svg", drawing.svg);
    SetData(diagram, "file", S(ObjectFileName(anchor, QStringLiteral(".svg"))));
    SetData(d, "usageDiagram", std::move(diagram));
    SetData(d, "hasUsage", true);
  }
  SetText(d, "usageDiagramNote", drawing.note);
  if (!drawing.note.isEmpty()) SetData(d, "hasUsage", true);
  if (svgOut) *svgOut = std::move(drawing.svg);
}

TemplateData DocumentView::ViewData(const ViewObject& v) const {
  mustache::data d =
      ObjectData(*this, "View", v.key, v.anchor, v.description, v.dictionaryComment, v.found);
  SetData(d, "invalid", v.invalid);
  SetDependencies(d, v.dependencies, v.key.owner, *this);
  SetList(d, "triggers", TriggerList(v.triggers, v.key, v.anchor));
  SetList(d, "columns", Columns(v.columns));
  SetCode(d, TextLines(v.text));
  return d;
}

TemplateData DocumentView::UnitData(const UnitObject& u, std::string* svg) const {
  const char* kind = u.type == QStringLiteral("FUNCTION") ? "Function" : "Procedure";
  mustache::data d = ObjectData(*this, kind, u.key, u.anchor, QString(), QString(), u.found);
  SetData(d, "type", S(u.type));
  SetData(d, "typeWord", S(u.type.toLower()));
  SetData(d, "invalid", u.invalid);
  SetDependencies(d, u.dependencies, u.key.owner, *this);
  SetUsageDiagram(d, u.key, u.type, u.anchor, u.dependencies, svg);
  const ParameterCheck check = CheckParameters(u.blocks, u.signatures);
  SetGaps(d, u.found, !u.blocks.isEmpty() || HasDocComment(u.signatures), check);
  SetList(d, "signatures", Signatures(u.signatures, check, [this](const QString& target) {
            return DocHref(target, nullptr);
          }));
  mustache::data blocks = List();
  for (const CommentBlock& b : u.blocks) AppendData(blocks, Block(b, check));
  SetList(d, "blocks", std::move(blocks));
  SetCode(d, u.source);
  return d;
}

TemplateData DocumentView::PackageData(const PackageObject& p, std::string* svg) const {
  mustache::data d =
      ObjectData(*this, "Package", p.key, p.anchor, p.description, QString(), p.found);
  const auto href = [this, &p](const QString& target) { return DocHref(target, &p); };
  SetData(d, "invalid", p.invalid);
  SetDependencies(d, p.dependencies, p.key.owner, *this);
  SetUsageDiagram(d, p.key, QStringLiteral("PACKAGE"), p.anchor, p.dependencies, svg);
  SetData(d, "undocumented", p.found && !HasDescription(p.description) && p.doc.IsEmpty());
  SetData(d, "doc", DocData(p.doc, {}, href));
  mustache::data declarations = List();
  for (const ModelDeclaration& decl : p.declarations) {
    mustache::data row("kind", S(decl.kind));
    SetData(row, "name", S(decl.name));
    SetData(row, "definition", Code(decl.text));
    SetData(row, "doc", DocData(decl.doc, {}, href));
    AppendData(declarations, std::move(row));
  }
  SetList(d, "declarations", std::move(declarations));
  mustache::data blocks = List();
  for (const CommentBlock& b : p.textBlocks) AppendData(blocks, Block(b, ParameterCheck()));
  SetList(d, "blocks", std::move(blocks));
  mustache::data members = List();
  for (const MemberObject& m : p.members) {
    const ParameterCheck check = CheckParameters(m.blocks, m.signatures);
    mustache::data row;
    SetData(row, "name", S(m.name));
    SetData(row, "anchor", S(m.anchor));
    SetData(row, "href", S(MemberHref(p.anchor, m.anchor)));
    SetText(row, "type", m.type);
    const bool documented = !m.blocks.isEmpty() || HasDocComment(m.signatures);
    SetData(row, "documented", documented);
    mustache::data memberBlocks = List();
    for (const CommentBlock& b : m.blocks) AppendData(memberBlocks, Block(b, check));
    SetList(row, "blocks", std::move(memberBlocks));
    SetGaps(row, false, documented, check);
    SetList(row, "signatures", Signatures(m.signatures, check, href));
    AppendData(members, std::move(row));
  }
  SetList(d, "members", std::move(members));
  SetCode(d, p.source);
  return d;
}

namespace {

// One entry of the contents: its name, link and the text the filter box searches.
struct NavItem {
  QString name;
  QString href;
  QString filter;
  QList<std::pair<QString, QString>> members;  // name and link
  bool changed = false;  // since the older snapshot the document is compared with
};

QString GroupOf(const ObjectKey& key) {
  return key.owner.isEmpty() ? key.database : key.database + u'.' + key.owner;
}

template <typename T>
NavItem Item(const DocumentView& view, const T& o, const QString& href) {
  return {o.key.name, href, o.key.FullName(), {}, !view.ChangedSince(o.anchor).isEmpty()};
}

NavItem Entry(const DocumentView& view, const DocumentModel& model, SectionKind kind,
              qsizetype i) {
  switch (kind) {
    case SectionKind::Tables: {
      const TableObject& o = model.tables[i];
      return Item(view, o, view.ObjectHref(o.anchor));
    }
    case SectionKind::Views: {
      const ViewObject& o = model.views[i];
      return Item(view, o, view.ObjectHref(o.anchor));
    }
    case SectionKind::Units: {
      const UnitObject& o = model.units[i];
      return Item(view, o, view.ObjectHref(o.anchor));
    }
    case SectionKind::Packages: {
      const PackageObject& p = model.packages[i];
      NavItem item = Item(view, p, view.ObjectHref(p.anchor));
      for (const MemberObject& m : p.members) {
        item.members.append({m.name, view.MemberHref(p.anchor, m.anchor)});
        item.filter += u' ' + m.name;
      }
      return item;
    }
    default: {
      const ListEntry& e = kind == SectionKind::Sequences ? model.sequences[i] : model.roles[i];
      return Item(view, e, EntryHref(view.Links(), kind, e.anchor));
    }
  }
}

mustache::data ItemData(const NavItem& item) {
  mustache::data d;
  SetData(d, "name", S(item.name));
  SetData(d, "href", S(item.href));
  SetData(d, "filter", S(item.filter.toLower()));
  SetData(d, "changed", item.changed);
  mustache::data members = List();
  for (const auto& [name, href] : item.members) {
    mustache::data member;
    SetData(member, "name", S(name));
    SetData(member, "href", S(href));
    AppendData(members, std::move(member));
  }
  SetData(d, "hasMembers", !item.members.isEmpty());
  SetData(d, "members", std::move(members));
  return d;
}

// A section's entries by DATABASE.OWNER, in the order each group's first entry comes: the
// positions of its entries, from which the contents make its items when a template
// enters it.
struct Group {
  QString label;
  std::vector<qsizetype> entries;
};
using Groups = std::shared_ptr<const std::vector<Group>>;

Groups GroupsOf(const DocumentModel& model, SectionKind kind) {
  auto groups = std::make_shared<std::vector<Group>>();
  QHash<QString, std::size_t> at;
  for (qsizetype i = 0; i < EntryCount(model, kind); ++i) {
    const QString label = GroupOf(EntryKey(model, kind, i));
    auto found = at.constFind(label);
    if (found == at.cend()) {
      found = at.insert(label, groups->size());
      groups->push_back({label, {}});
    }
    (*groups)[*found].entries.push_back(i);
  }
  return groups;
}

// The groups of a section as the templates see them: `label`, and `items`, each made as a
// template enters it.
mustache::data GroupsData(const DocumentView& view, const DocumentModel& model, SectionKind kind,
                          const Groups& groups, DeferredValues& deferred) {
  mustache::data list = List();
  for (const Group& g : *groups) {
    mustache::data d;
    SetData(d, "label", S(g.label));
    SetData(d, "items", deferred.List(g.entries.size(), [&view, &model, kind, groups, &g](std::size_t n) {
              return ItemData(Entry(view, model, kind, g.entries[n]));
            }));
    AppendData(list, std::move(d));
  }
  return list;
}

// Each owner's overview: its drawing and file, or the reason there is none, and links to
// the owner's tables (its group of the tables section), as a drawing is no link everywhere.
mustache::data Overviews(const DocumentView& view, const DocumentModel& model,
                         const QList<OwnerOverview>& overviews, const Groups& tables,
                         DeferredValues& deferred) {
  mustache::data list = List();
  for (const OwnerOverview& o : overviews) {
    mustache::data d;
    SetData(d, "anchor", S(o.anchor));
    const QString label = o.database + u'.' + o.owner;
    SetData(d, "label", S(label));
    const auto group = std::find_if(tables->begin(), tables->end(),
                                    [&label](const Group& g) { return g.label == label; });
    const std::size_t count = group == tables->end() ? 0 : group->entries.size();
    SetData(d, "hasLinks", count > 0);
    SetData(d, "links", deferred.List(count, [&view, &model, tables, group](std::size_t n) {
              const TableObject& t = model.tables[group->entries[n]];
              return Link(t.key.name, view.ObjectHref(t.anchor));
            }));
    SetData(d, "tables", std::to_string(o.tables));
    SetData(d, "limit", std::to_string(kOverviewTableLimit));
    SetText(d, "note", o.note);
    if (o.svg.empty()) {
      SetData(d, "diagram", false);
    } else {
      mustache::data diagram;
      SetData(diagram, "svg", o.svg);
      SetData(diagram, "file", S(ObjectFileName(o.anchor, QStringLiteral(".svg"))));
      SetData(d, "diagram", std::move(diagram));
    }
    AppendData(list, std::move(d));
  }
  return list;
}

mustache::data TallyData(const Tally& t) {
  mustache::data d;
  SetData(d, "percent", S(QString::number(t.Percent(), 'f', 1)));
  SetData(d, "documented", std::to_string(t.documented));
  SetData(d, "items", std::to_string(t.total));
  return d;
}

// The title block's summary: the total and each kind's share.
mustache::data CoverageData(const CoverageReport& report) {
  mustache::data d = TallyData(report.Total());
  mustache::data kinds = List();
  for (qsizetype i = 0; i < report.kinds.size(); ++i) {
    mustache::data kind = TallyData(report.Summary(report.kinds[i]).Items());
    SetData(kind, "title", S(KindTitle(report.kinds[i])));
    SetData(kind, "more", i + 1 < report.kinds.size());
    AppendData(kinds, kind);
  }
  SetList(d, "kinds", std::move(kinds));
  return d;
}

}  // namespace

// The changes since the older snapshot, each linked to its object when the document shows
// it; false when the document was compared with none.
TemplateData DocumentView::ChangesData() const {
  if (model_.changesSince.isEmpty()) return mustache::data(false);
  mustache::data d;
  SetData(d, "since", S(model_.changesSince));
  mustache::data items = List();
  qsizetype breaking = 0;
  for (const ModelChange& c : model_.changes) {
    mustache::data item;
    SetData(item, "text", S(c.text));
    SetData(item, "breaking", c.breaking);
    SetText(item, "href", c.anchor.isEmpty() ? QString()
                          : c.sequence ? EntryHref(links_, SectionKind::Sequences, c.anchor)
                                       : ObjectHref(c.anchor));
    AppendData(items, std::move(item));
    breaking += c.breaking;
  }
  SetList(d, "items", std::move(items));
  SetData(d, "count", std::to_string(model_.changes.size()));
  SetData(d, "breaking", std::to_string(breaking));
  return d;
}

TemplateData DocumentView::ListRow(const ListEntry& e) const {
  mustache::data row;
  SetData(row, "anchor", S(e.anchor));
  SetData(row, "name", S(e.key.name));
  SetData(row, "fullName", S(e.key.owner.isEmpty() ? e.key.database + u'.' + e.key.name
                                               : e.key.FullName()));
  SetParagraphs(row, "description", e.description);
  SetDependencies(row, e.dependencies, e.key.owner, *this);
  SetText(row, "changedSince", ChangedSince(e.anchor));
  return row;
}

namespace {

// The way between the numbered pages of a list, at page `page` (from 0) of `count`: false
// when there is one.
mustache::data Pager(SectionKind kind, int page, int count) {
  if (count < 2) return mustache::data(false);
  const auto link = [kind](int p) {
    mustache::data d;
    SetData(d, "href", S(ListPageName(kind, p)));
    SetData(d, "number", std::to_string(p + 1));
    return d;
  };
  mustache::data d;
  SetData(d, "number", std::to_string(page + 1));
  SetData(d, "count", std::to_string(count));
  SetData(d, "title", S(SectionTitle(kind).toLower()));
  SetData(d, "previous", page > 0 ? link(page - 1) : mustache::data(false));
  SetData(d, "next", page + 1 < count ? link(page + 1) : mustache::data(false));
  mustache::data pages = List();
  for (int p = 0; p < count; ++p) {
    mustache::data item = link(p);
    SetData(item, "current", p == page);
    AppendData(pages, std::move(item));
  }
  SetData(d, "pages", std::move(pages));
  return d;
}

}  // namespace

TemplateData DocumentView::ListData(SectionKind kind, int page) const {
  const bool sequences = kind == SectionKind::Sequences;
  const QList<ListEntry>& entries = sequences ? model_.sequences : model_.roles;
  const auto [first, end] = links_.lists ? links_.lists->Entries(kind, page)
                                          : std::pair<qsizetype, qsizetype>(0, entries.size());
  mustache::data section;
  SetData(section, "title", S(SectionTitle(kind)));
  SetData(section, "anchor", S(SectionAnchor(kind)));
  SetData(section, "text", false);
  SetData(section, "overviews", List());
  SetData(section, "listPage", false);
  SetParagraphs(section, "text", sequences ? model_.sequencesText : model_.rolesText);
  mustache::data list = List();
  for (qsizetype i = first; i < end; ++i) AppendData(list, ListRow(entries[i]));
  SetData(section, "isList", true);
  SetData(section, "hasEntries", !list.is_empty_list());
  SetData(section, "entries", std::move(list));
  SetData(section, "pager",
          Pager(kind, page, links_.lists ? links_.lists->Count(kind) : 1));
  return section;
}

TemplateData DocumentView::PageData(const std::function<std::string(SectionKind)>& objects,
                                    DeferredValues& deferred) const {
  mustache::data d;
  SetData(d, "name", S(DocumentName(model_)));
  SetData(d, "version", S(model_.version));
  SetData(d, "created", S(model_.created));
  SetData(d, "updated", S(model_.updated));
  SetData(d, "contents", model_.contents);
  SetData(d, "site", links_.style == LinkStyle::Site);
  SetData(d, "coverage",
      CoverageData(objects_ ? objects_->Coverage(model_) : MeasureCoverage(model_)));
  SetData(d, "changes", ChangesData());

  mustache::data nav = List();
  mustache::data sections = List();
  for (const SectionKind kind : model_.sections) {
    const Groups groups = GroupsOf(model_, kind);
    mustache::data section;
    SetData(section, "title", S(SectionTitle(kind)));
    SetData(section, "anchor", S(SectionAnchor(kind)));
    SetData(section, "text", false);
    SetData(section, "isList", false);
    SetData(section, "hasEntries", false);
    SetData(section, "overviews", List());
    SetData(section, "listPage", false);
    switch (kind) {
      case SectionKind::General:
        SetParagraphs(section, "text", model_.general);
        break;
      case SectionKind::Tables:
        if (diagrams_)
          SetData(section, "overviews",
                  Overviews(*this, model_, diagrams_->Overviews(), groups, deferred));
        break;
      case SectionKind::Sequences:
      case SectionKind::Roles: {
        const bool sequences = kind == SectionKind::Sequences;
        SetParagraphs(section, "text", sequences ? model_.sequencesText : model_.rolesText);
        const QList<ListEntry>& entries = sequences ? model_.sequences : model_.roles;
        if (links_.style != LinkStyle::Site) {
          SetData(section, "isList", true);
          SetData(section, "hasEntries", !entries.isEmpty());
          SetData(section, "entries",
                  deferred.List(entries.size(), [this, &entries](std::size_t n) {
                    return ListRow(entries[qsizetype(n)]);
                  }));
        } else if (!entries.isEmpty()) {
          mustache::data page;
          const int pages = links_.lists ? links_.lists->Count(kind) : 1;
          SetData(page, "href", S(ListPageName(kind)));
          SetData(page, "count", std::to_string(entries.size()));
          SetData(page, "title", S(SectionTitle(kind).toLower()));
          SetData(page, "counted", Counted(kind, entries.size()));
          SetData(page, "one", entries.size() == 1);
          SetData(page, "pages", pages > 1 ? mustache::data(std::to_string(pages))
                                           : mustache::data(false));
          SetData(section, "listPage", std::move(page));
        }
        break;
      }
      default: break;
    }
    SetData(section, "pages", false);
    if (links_.style == LinkStyle::Site && !ObjectTemplate(kind).isEmpty()) {
      mustache::data pages;
      SetData(pages, "count", std::to_string(EntryCount(model_, kind)));
      SetData(pages, "title", S(SectionTitle(kind).toLower()));
      SetData(pages, "counted", Counted(kind, EntryCount(model_, kind)));
      SetData(pages, "one", EntryCount(model_, kind) == 1);
      SetData(section, "pages", std::move(pages));
    }
    SetData(section, "objects", objects(kind));
    SetData(section, "groups", GroupsData(*this, model_, kind, groups, deferred));
    mustache::data navSection;
    SetData(navSection, "title", S(SectionTitle(kind)));
    SetData(navSection, "href", S(u'#' + SectionAnchor(kind)));
    SetData(navSection, "anchor", S(SectionAnchor(kind)));
    SetData(navSection, "groups", GroupsData(*this, model_, kind, groups, deferred));
    AppendData(nav, std::move(navSection));
    AppendData(sections, std::move(section));
  }
  SetData(d, "nav", std::move(nav));
  SetData(d, "sections", std::move(sections));
  return d;
}
