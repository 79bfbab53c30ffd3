#include "plsql/source_parser.h"

#include <QHash>
#include <QPair>
#include <climits>

#include "plsql/lexer.h"

namespace plsql {

namespace {

// Who a comment can document: a unit (declaration -1) or one of its declarations.
struct Target {
  qsizetype unit = -1;
  qsizetype declaration = -1;
  bool isUnit() const { return declaration < 0; }
};

// The comments gathered for a target, by convention, read once all are known.
struct Candidates {
  QStringList javadoc, above, after;
  QStringList begin;  // an implementation's opening comment after BEGIN
};

class Parser {
 public:
  explicit Parser(const QString& text) : text_(text), all_(Tokenize(text)) {
    code_.reserve(all_.size());
    for (qsizetype i = 0; i < all_.size(); ++i) {
      if (!all_[i].IsComment()) code_.append(i);
    }
  }

  QList<Unit> Run() {
    while (!AtEnd()) {
      const qsizetype before = pos_;
      ParseUnit();
      if (pos_ == before) ++pos_;
    }
    Attach();
    for (Unit& u : units_) {
      if ((u.kind == UnitKind::Procedure || u.kind == UnitKind::Function) &&
          !u.declarations.isEmpty())
        u.declarations.first().doc = u.doc;
    }
    return std::move(units_);
  }

 private:
  // --- tokens -------------------------------------------------------------------------

  bool AtEnd() const { return pos_ >= code_.size(); }
  const Token& Tok(qsizetype at) const {
    static const Token none;
    return at >= 0 && at < code_.size() ? all_[code_[at]] : none;
  }
  const Token& Cur() const { return Tok(pos_); }
  bool CurIs(const char* word) const { return !AtEnd() && Cur().Is(word); }
  bool CurSymbol(char16_t a, char16_t b = 0) const { return !AtEnd() && Cur().IsSymbol(a, b); }
  bool IsName(const Token& t) const {
    return t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName;
  }

  // A name, schema.name giving the name; empty when none stands here.
  QString Name() {
    if (AtEnd() || !IsName(Cur())) return {};
    QString name = Cur().Name();
    ++pos_;
    while (CurSymbol(u'.') && IsName(Tok(pos_ + 1))) {
      name = Tok(pos_ + 1).Name();
      pos_ += 2;
    }
    return name;
  }

  // The source of code tokens [from, to), blanks and comments between tokens collapsed.
  QString TextOf(qsizetype from, qsizetype to) const {
    QString text;
    for (qsizetype i = from; i < to && i < code_.size(); ++i) {
      const Token& t = Tok(i);
      if (i > from && Tok(i - 1).end != t.start) text += u' ';
      text += t.text;
    }
    return text;
  }

  // Moves past the next ";" outside parentheses (or to the end).
  void SkipStatement() {
    int depth = 0;
    while (!AtEnd()) {
      if (CurSymbol(u'(')) ++depth;
      if (CurSymbol(u')')) depth = qMax(0, depth - 1);
      if (depth == 0 && CurSymbol(u';')) {
        ++pos_;
        return;
      }
      ++pos_;
    }
  }

  // From BEGIN to the END that closes it, its name and ";".
  void SkipBlock() {
    int depth = 0;
    while (!AtEnd()) {
      const Token& t = Cur();
      const bool afterEnd = pos_ > 0 && Tok(pos_ - 1).Is("END");
      if (!afterEnd && (t.Is("BEGIN") || t.Is("CASE") || t.Is("IF") || t.Is("LOOP"))) ++depth;
      if (t.Is("END") && --depth <= 0) {
        ++pos_;
        if (!AtEnd() && IsName(Cur()) && !CurIs("IF") && !CurIs("LOOP") && !CurIs("CASE")) ++pos_;
        if (CurSymbol(u';')) ++pos_;
        return;
      }
      ++pos_;
    }
  }

  // --- units ---------------------------------------------------------------------------

  void ParseUnit() {
    while (CurSymbol(u'/') || CurSymbol(u';')) ++pos_;
    if (AtEnd()) return;
    const qsizetype start = pos_;
    if (CurIs("CREATE")) {
      ++pos_;
      if (CurIs("OR")) pos_ += 2;
      while (CurIs("EDITIONABLE") || CurIs("NONEDITIONABLE") || CurIs("EDITIONING")) ++pos_;
    }
    Unit unit;
    unit.firstLine = Tok(start).line;
    if (CurIs("PACKAGE")) {
      ++pos_;
      const bool body = CurIs("BODY");
      if (body) ++pos_;
      unit.kind = body ? UnitKind::PackageBody : UnitKind::PackageSpec;
      unit.name = Name();
      if (unit.name.isEmpty() || !SkipToIsOrAs()) return Abandon(start);
      const qsizetype u = units_.size();
      units_.append(unit);
      MarkStart(start, {u, -1});
      MarkEnd(pos_ - 1, {u, -1});
      ParseDeclarations(u, body ? Level::Body : Level::Spec);
    } else if ((CurIs("PROCEDURE") || CurIs("FUNCTION")) && IsName(Tok(pos_ + 1))) {
      unit.kind = CurIs("PROCEDURE") ? UnitKind::Procedure : UnitKind::Function;
      const qsizetype u = units_.size();
      units_.append(unit);
      MarkStart(start, {u, -1});
      Declaration d = Subprogram();
      units_[u].name = d.name;
      const bool implemented = CurIs("IS") || CurIs("AS");
      if (implemented) {
        MarkEnd(pos_, {u, -1});
        ++pos_;
        Implementation({u, -1});
      } else {
        SkipStatement();
      }
      d.lastLine = Tok(pos_ - 1).line;
      units_[u].declarations.append(std::move(d));
    } else if (CurIs("TRIGGER") && IsName(Tok(pos_ + 1))) {
      ++pos_;
      unit.kind = UnitKind::Trigger;
      unit.name = Name();
      const qsizetype u = units_.size();
      units_.append(unit);
      MarkStart(start, {u, -1});
      TriggerBody(u);
    } else {
      // A kind of unit this reader does not document (a type) or a script's command:
      // skipped to the "/" that ends it in a script, the next CREATE or the end.
      if (pos_ == start) ++pos_;
      while (!AtEnd() && !CurIs("CREATE") &&
             !(CurSymbol(u'/') && Cur().line > Tok(pos_ - 1).endLine))
        ++pos_;
      return;
    }
    units_.last().lastLine = Tok(pos_ - 1).endLine;
  }

  // After a trigger's name: its header (timing, event, table, REFERENCING, FOR EACH ROW,
  // WHEN), then its block, a CALL, or a compound trigger's sections up to its last END.
  void TriggerBody(qsizetype unit) {
    int depth = 0;
    while (!AtEnd()) {
      if (CurSymbol(u'(')) ++depth;
      if (CurSymbol(u')')) --depth;
      if (depth == 0 && (CurIs("DECLARE") || CurIs("BEGIN") || CurIs("CALL"))) break;
      if (depth == 0 && CurIs("TRIGGER")) {  // COMPOUND TRIGGER: its sections follow
        MarkEnd(pos_, {unit, -1});
        while (!AtEnd() && !CurIs("CREATE") &&
               !(CurSymbol(u'/') && Cur().line > Tok(pos_ - 1).endLine))
          ++pos_;
        return;
      }
      ++pos_;
    }
    if (AtEnd()) return;
    MarkEnd(pos_ - 1, {unit, -1});
    if (CurIs("CALL")) return SkipStatement();
    if (CurIs("DECLARE")) {
      ++pos_;
      ParseDeclarations(-1, Level::Local);
    }
    if (!CurIs("BEGIN")) return;
    begins_.append({pos_, {unit, -1}});
    SkipBlock();
  }

  void Abandon(qsizetype start) {
    pos_ = start + 1;
  }

  bool SkipToIsOrAs() {
    int depth = 0;
    while (!AtEnd()) {
      if (CurSymbol(u'(')) ++depth;
      if (CurSymbol(u')')) --depth;
      if (depth == 0 && (CurIs("IS") || CurIs("AS"))) {
        ++pos_;
        return true;
      }
      if (CurSymbol(u';')) return false;
      ++pos_;
    }
    return false;
  }

  // After IS/AS of a subprogram's implementation: its declarations, nested subprograms
  // and block, or an external call specification.
  void Implementation(Target target = {}) {
    if (CurIs("LANGUAGE") || CurIs("EXTERNAL")) return SkipStatement();
    ParseDeclarations(-1, Level::Local);
    if (!CurIs("BEGIN")) return;
    if (target.unit >= 0) begins_.append({pos_, target});
    SkipBlock();
  }

  enum class Level { Spec, Body, Local };

  void ParseDeclarations(qsizetype unit, Level level) {
    while (!AtEnd()) {
      const qsizetype start = pos_;
      const Token& t = Cur();
      if (t.Is("END")) {
        ++pos_;
        if (!AtEnd() && IsName(Cur())) ++pos_;
        if (CurSymbol(u';')) ++pos_;
        return;
      }
      if (t.Is("BEGIN")) {
        if (level == Level::Local) return;
        SkipBlock();
        return;
      }
      if (t.Is("CREATE") && level != Level::Local) return;  // the next unit: END was missing
      if (t.Is("PROCEDURE") || t.Is("FUNCTION")) {
        Declaration d = Subprogram();
        if (CurIs("IS") || CurIs("AS")) {
          const qsizetype at = pos_;
          ++pos_;
          const bool record = level == Level::Body && !d.name.isEmpty();
          if (record) Record(unit, std::move(d), start, at);
          Implementation(record ? Target{unit, units_[unit].declarations.size() - 1} : Target{});
          if (record) units_[unit].declarations.last().lastLine = Tok(pos_ - 1).endLine;
        } else {
          SkipStatement();
          if (level == Level::Spec && !d.name.isEmpty()) {
            d.lastLine = Tok(pos_ - 1).endLine;
            Record(unit, std::move(d), start, pos_ - 1);
          }
        }
        continue;
      }
      if (t.Is("PRAGMA")) {
        SkipStatement();
        continue;
      }
      Declaration d;
      if (t.Is("TYPE") || t.Is("SUBTYPE") || t.Is("CURSOR")) {
        d.kind = t.Is("TYPE")      ? DeclarationKind::Type
                 : t.Is("SUBTYPE") ? DeclarationKind::Subtype
                                   : DeclarationKind::Cursor;
        ++pos_;
        d.name = Name();
        if (d.kind == DeclarationKind::Cursor && CurSymbol(u'(')) d.parameters = Parameters();
      } else if (IsName(t)) {
        d.name = Name();
        d.kind = CurIs("EXCEPTION") ? DeclarationKind::Exception
                 : CurIs("CONSTANT") ? DeclarationKind::Constant
                                     : DeclarationKind::Variable;
      }
      SkipStatement();
      if (level != Level::Spec || d.name.isEmpty()) continue;
      d.text = TextOf(start, pos_);
      d.lastLine = Tok(pos_ - 1).endLine;
      Record(unit, std::move(d), start, pos_ - 1);
    }
  }

  void Record(qsizetype unit, Declaration d, qsizetype start, qsizetype end) {
    d.firstLine = Tok(start).line;
    units_[unit].declarations.append(std::move(d));
    const Target target{unit, units_[unit].declarations.size() - 1};
    MarkStart(start, target);
    MarkEnd(end, target);
  }

  // PROCEDURE or FUNCTION, its name, parameters, return type and options, up to (not past)
  // the ";", IS or AS that ends its header.
  Declaration Subprogram() {
    Declaration d;
    d.kind = CurIs("PROCEDURE") ? DeclarationKind::Procedure : DeclarationKind::Function;
    d.firstLine = Cur().line;
    ++pos_;
    d.name = Name();
    if (CurSymbol(u'(')) d.parameters = Parameters();
    int depth = 0;
    qsizetype returnAt = -1, optionsAt = -1;
    while (!AtEnd()) {
      const Token& t = Cur();
      if (t.IsSymbol(u'(')) ++depth;
      if (t.IsSymbol(u')')) --depth;
      if (depth <= 0) {
        if (t.IsSymbol(u';') || t.Is("IS") || t.Is("AS")) break;
        if (t.Is("RETURN") && returnAt < 0 && optionsAt < 0) {
          returnAt = pos_ + 1;
        } else if (optionsAt < 0 && IsOption(t)) {
          optionsAt = pos_;
          if (returnAt >= 0) d.returnType = TextOf(returnAt, pos_);
        }
      }
      ++pos_;
    }
    if (returnAt >= 0 && d.returnType.isEmpty()) d.returnType = TextOf(returnAt, pos_);
    if (optionsAt >= 0) d.options = TextOf(optionsAt, pos_);
    return d;
  }

  static bool IsOption(const Token& t) {
    static constexpr const char* kOptions[] = {"DETERMINISTIC", "PIPELINED", "PARALLEL_ENABLE",
                                               "RESULT_CACHE", "AGGREGATE", "ACCESSIBLE",
                                               "AUTHID", "SQL_MACRO", "USING"};
    if (t.kind != TokenKind::Word) return false;
    for (const char* option : kOptions) {
      if (t.Is(option)) return true;
    }
    return false;
  }

  // "(" name [IN] [OUT] [NOCOPY] type [DEFAULT|:= expression], ... ")"; each parameter
  // takes the comment that trails its line.
  QList<Parameter> Parameters() {
    QList<Parameter> parameters;
    ++pos_;
    while (!AtEnd() && !CurSymbol(u')')) {
      Parameter p;
      const qsizetype from = pos_;
      p.name = Name();
      bool in = false, out = false;
      for (;; ++pos_) {
        if (CurIs("IN")) in = true;
        else if (CurIs("OUT")) out = true;
        else if (!CurIs("NOCOPY")) break;
      }
      p.mode = in && out ? QStringLiteral("IN OUT") : out ? QStringLiteral("OUT") : QStringLiteral("IN");
      const qsizetype typeAt = pos_;
      qsizetype defaultAt = -1;
      int depth = 0;
      while (!AtEnd()) {
        if (CurSymbol(u'(')) ++depth;
        if (CurSymbol(u')') && --depth < 0) break;
        if (depth == 0 && CurSymbol(u',')) break;
        if (depth == 0 && defaultAt < 0 && (CurIs("DEFAULT") || CurSymbol(u':', u'='))) {
          p.type = TextOf(typeAt, pos_);
          defaultAt = pos_ + 1;
        }
        ++pos_;
      }
      if (defaultAt < 0) p.type = TextOf(typeAt, pos_);
      else p.defaultValue = TextOf(defaultAt, pos_);
      p.comment = TrailingComment(pos_ > from ? pos_ - 1 : from);
      if (!p.name.isEmpty()) parameters.append(std::move(p));
      if (CurSymbol(u',')) ++pos_;
    }
    if (CurSymbol(u')')) ++pos_;
    return parameters;
  }

  // The comment on the line of code token `last`, after it and after a "," that follows,
  // with the "--" lines right below it that start in its column (a comment that goes on).
  QString TrailingComment(qsizetype last) const {
    const int line = Tok(last).endLine;
    qsizetype stop = last + 1 < code_.size() ? code_[last + 1] : all_.size();
    if (last + 1 < code_.size() && Tok(last + 1).IsSymbol(u',') && Tok(last + 1).line == line)
      stop = last + 2 < code_.size() ? code_[last + 2] : all_.size();
    QStringList comments;
    qsizetype column = -1;
    int lastLine = line;
    for (qsizetype i = code_[last] + 1; i < stop; ++i) {
      const Token& c = all_[i];
      if (!c.IsComment()) continue;
      if (c.line == line) {
        if (column < 0) column = Column(c);
      } else if (column < 0 || c.kind != TokenKind::LineComment || c.line != lastLine + 1 ||
                 Column(c) != column) {
        break;
      }
      comments.append(RawText(c));
      lastLine = c.endLine;
    }
    return comments.isEmpty() ? QString() : PlainText(ReadDocComment(comments).description);
  }

  // Where token `t` starts in its line, in characters.
  qsizetype Column(const Token& t) const {
    const qsizetype lineStart = t.start > 0 ? text_.lastIndexOf(u'\n', t.start - 1) + 1 : 0;
    return t.start - lineStart;
  }

  QString RawText(const Token& t) const {
    return t.text.toString();
  }

  // --- comments ------------------------------------------------------------------------

  // Declarations are met in source order, so both lists grow sorted by code index.
  void MarkStart(qsizetype code, Target t) { starts_.append({code, t}); }
  void MarkEnd(qsizetype code, Target t) { ends_.append({code, t}); }

  // The target marked at code index `k` in a sorted list, `cursor` moving forward only.
  static const Target* At(const QList<QPair<qsizetype, Target>>& marks, qsizetype& cursor,
                          qsizetype k) {
    while (cursor < marks.size() && marks[cursor].first < k) ++cursor;
    return cursor < marks.size() && marks[cursor].first == k ? &marks[cursor].second : nullptr;
  }

  Candidates& Of(Target t) { return candidates_[qMakePair(t.unit, t.declaration)]; }

  struct Group {
    QList<qsizetype> comments;  // indices into all_
    int firstLine = 0, lastLine = 0;
  };

  // Every gap between two code tokens: its comments go to the declaration that ends before
  // it or starts after it, by the conventions in the header.
  void Attach() {
    struct Undecided {
      Target after, above;
      QStringList text;
    };
    QList<Undecided> undecided;
    int afterVotes = 0, aboveVotes = 0;
    qsizetype endCursor = 0, startCursor = 0;
    for (qsizetype k = -1; k < code_.size(); ++k) {
      qsizetype from = k < 0 ? 0 : code_[k] + 1;
      const qsizetype to = k + 1 < code_.size() ? code_[k + 1] : all_.size();
      if (from >= to) continue;
      const Target* endIt = At(ends_, endCursor, k);
      const Target* startIt = At(starts_, startCursor, k + 1);
      const bool hasA = endIt != nullptr, hasB = startIt != nullptr;
      if (!hasA && !hasB) continue;
      int aLine = k >= 0 ? Tok(k).endLine : 0;
      const int bLine = k + 1 < code_.size() ? Tok(k + 1).line : INT_MAX;
      // A licence kept in the database puts itself right after a unit's header: it is read
      // as a part of the header, and what documents the unit comes after it.
      if (hasA && endIt->isUnit()) {
        while (from < to) {
          qsizetype end = from + 1;
          while (all_[from].kind == TokenKind::LineComment && end < to &&
                 all_[end].kind == TokenKind::LineComment && all_[end].line <= all_[end - 1].endLine + 1)
            ++end;
          QStringList text;
          for (qsizetype i = from; i < end; ++i) text.append(RawText(all_[i]));
          if (!IsLicence(text)) break;
          aLine = all_[end - 1].endLine;
          from = end;
        }
      }
      // Javadoc blocks: the last documents what follows; the first after a unit's header
      // (and its licence) documents the unit when another follows it or a blank line parts it
      // from the next declaration.
      QList<qsizetype> javadocs;
      for (qsizetype i = from; i < to; ++i) {
        if (IsJavadoc(all_[i])) javadocs.append(i);
      }
      if (!javadocs.isEmpty() && hasA && endIt->isUnit()) {
        const Token& first = all_[javadocs.first()];
        const bool leads = javadocs.first() == from || first.line <= aLine + 1;
        if (leads && (javadocs.size() > 1 || !hasB || first.endLine < bLine - 1)) {
          Of(*endIt).javadoc = QStringList{RawText(first)};
          if (javadocs.size() == 1) javadocs.clear();
        }
      }
      if (!javadocs.isEmpty() && hasB) Of(*startIt).javadoc = QStringList{RawText(all_[javadocs.last()])};
      QList<Group> groups;
      for (qsizetype i = from; i < to; ++i) {
        const Token& c = all_[i];
        if (IsJavadoc(c) && (hasB || (hasA && endIt->isUnit()))) {
          groups.append(Group{});  // a Javadoc block parts the comments around it
          continue;
        }
        if (groups.isEmpty() || groups.last().comments.isEmpty() ||
            c.line > groups.last().lastLine + 1 ||
            (groups.last().firstLine == aLine && c.line != aLine)) {
          groups.append({{}, c.line, c.endLine});
        }
        groups.last().comments.append(i);
        groups.last().lastLine = c.endLine;
      }
      for (const Group& g : groups) {
        if (g.comments.isEmpty()) continue;
        QStringList text;
        for (qsizetype i : g.comments) text.append(RawText(all_[i]));
        // The first comment of a unit's declarations is the unit's unless it stands right
        // above a declaration.
        const bool firstInUnit = hasA && endIt->isUnit() && &g == &groups.first();
        const bool touchesA = hasA && (g.firstLine <= aLine + 1 || firstInUnit);
        const bool touchesB = hasB && g.lastLine >= bLine - 1 && !startIt->isUnit();
        if (touchesA && (g.firstLine == aLine || !touchesB)) {
          Of(*endIt).after += text;
          if (g.firstLine != aLine && !endIt->isUnit()) ++afterVotes;
        } else if (touchesB && !touchesA) {
          Of(*startIt).above += text;
          ++aboveVotes;
        } else if (touchesA && touchesB) {
          undecided.append({*endIt, *startIt, text});
        }
      }
    }
    // The comment an implementation opens its block with, when it reads as a header: a
    // /* */ block, or comment lines set apart from the statement below by a blank line.
    for (const auto& [k, target] : begins_) {
      QStringList text;
      int lastLine = 0;
      qsizetype i = code_[k] + 1;
      const qsizetype to = k + 1 < code_.size() ? code_[k + 1] : all_.size();
      for (; i < to && (text.isEmpty() || all_[i].line <= lastLine + 1); ++i) {
        if (all_[i].kind == TokenKind::BlockComment && !text.isEmpty()) break;
        text.append(RawText(all_[i]));
        lastLine = all_[i].endLine;
        if (all_[i].kind == TokenKind::BlockComment) {
          ++i;
          break;
        }
      }
      const bool block = !text.isEmpty() && text.first().startsWith(QLatin1String("/*"));
      const int next = i < to ? all_[i].line : (k + 1 < code_.size() ? Tok(k + 1).line : INT_MAX);
      if (!text.isEmpty() && (block || next > lastLine + 1)) Of(target).begin = text;
    }
    // Comments each right under one declaration and right above the next form chains: d0,
    // c1, d1, c2, d2. Read as above, a chain leaves d0 without a comment and gives d2 a
    // second one when d2 has its own below it; read as after, it gives d0 a second one when
    // d0 has its own above it. A chain goes the way that leaves each comment to a
    // declaration of its own, and where both would, the way the source's other comments go.
    const auto has = [this](const Target& t, QStringList Candidates::*comments) {
      const auto it = candidates_.constFind(qMakePair(t.unit, t.declaration));
      return it != candidates_.cend() && !((*it).*comments).isEmpty();
    };
    for (qsizetype first = 0; first < undecided.size();) {
      qsizetype end = first + 1;
      while (end < undecided.size() && undecided[end].after.unit == undecided[end - 1].above.unit &&
             undecided[end].after.declaration == undecided[end - 1].above.declaration)
        ++end;
      const Target& head = undecided[first].after;
      const Target& tail = undecided[end - 1].above;
      const bool headTaken = has(head, &Candidates::above) || has(head, &Candidates::javadoc);
      const bool tailTaken = has(tail, &Candidates::after);
      const bool after = headTaken != tailTaken ? tailTaken : afterVotes > aboveVotes;
      for (qsizetype i = first; i < end; ++i) {
        const Undecided& u = undecided[i];
        if (after) Of(u.after).after += u.text;
        else Of(u.above).above += u.text;
      }
      first = end;
    }
    for (auto it = candidates_.cbegin(); it != candidates_.cend(); ++it) {
      DocComment doc;
      for (const QStringList* comments : {&it->javadoc, &it->above, &it->after, &it->begin}) {
        if (doc.IsEmpty() && !comments->isEmpty()) doc = ReadDocComment(*comments);
      }
      Unit& unit = units_[it.key().first];
      if (it.key().second < 0) unit.doc = std::move(doc);
      else unit.declarations[it.key().second].doc = std::move(doc);
    }
  }

  bool IsJavadoc(const Token& t) const {
    return t.kind == TokenKind::BlockComment &&
           plsql::IsJavadoc(t.text);
  }

  const QString& text_;
  QList<Token> all_;
  QList<qsizetype> code_;
  qsizetype pos_ = 0;
  QList<Unit> units_;
  QList<QPair<qsizetype, Target>> starts_, ends_;  // by code index
  QList<QPair<qsizetype, Target>> begins_;  // BEGIN of an implementation
  QHash<QPair<qsizetype, qsizetype>, Candidates> candidates_;
};

}  // namespace

QList<Unit> ParseSource(const QString& text) { return Parser(text).Run(); }

QList<Unit> ParseSource(const QStringList& lines) {
  QString text;
  qsizetype size = 0;
  for (const QString& l : lines) size += l.size() + 1;
  text.reserve(size);
  for (const QString& l : lines) {
    text += l;
    if (!l.endsWith(u'\n')) text += u'\n';
  }
  return Parser(text).Run();
}

}  // namespace plsql
