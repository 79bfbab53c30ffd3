#include "plsql/doc_comment.h"

#include <QHash>
#include <QRegularExpression>
#include <optional>

namespace plsql {

namespace {

qsizetype Indent(const QString& line) {
  qsizetype i = 0;
  while (i < line.size() && line[i].isSpace()) ++i;
  return i;
}

// The text lines of the comments, markers gone, the common indentation removed, trailing
// blanks and the blank lines at both ends dropped. The text that follows "/*" on its own
// line is not indented like the lines below it, so it is left out of the measure.
QStringList TextLines(const QStringList& comments) {
  QStringList lines;
  QList<bool> opening;  // the line follows "/*"
  for (const QString& comment : comments) {
    if (comment.startsWith(QLatin1String("--"))) {
      lines.append(comment.mid(2));
      opening.append(false);
      continue;
    }
    QString body = comment.mid(2);
    if (body.endsWith(QLatin1String("*/"))) body.chop(2);
    while (body.startsWith(u'*')) body.remove(0, 1);
    while (body.endsWith(u'*')) body.chop(1);
    QStringList own = body.split(u'\n');
    // Lines that start with "*" (the usual frame of a block) lose it.
    bool starred = own.size() > 1;
    for (qsizetype i = 1; i < own.size() && starred; ++i) {
      const QString t = own[i].trimmed();
      if (!t.isEmpty() && !t.startsWith(u'*')) starred = false;
    }
    for (qsizetype i = 0; i < own.size(); ++i) {
      QString l = own[i];
      if (l.endsWith(u'\r')) l.chop(1);
      if (starred && i > 0) {
        l = l.mid(Indent(l));
        if (l.startsWith(u'*')) l.remove(0, 1);
      }
      lines.append(i == 0 ? l.trimmed() : l);
      opening.append(i == 0 && own.size() > 1);
    }
  }
  qsizetype common = -1;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QString& l = lines[i];
    while (!l.isEmpty() && l.back().isSpace()) l.chop(1);
    if (!l.isEmpty() && !opening[i]) common = common < 0 ? Indent(l) : qMin(common, Indent(l));
  }
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (!opening[i]) lines[i] = lines[i].mid(qMax<qsizetype>(common, 0));
  }
  while (!lines.isEmpty() && lines.first().isEmpty()) lines.removeFirst();
  while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

// Columns of a table (a change history, an aligned list): two gaps of two blanks or more,
// or cells drawn between "|" ("| input | output |", "|-------|--------|").
bool IsTabular(const QString& line) {
  static const QRegularExpression columns(QStringLiteral(R"(\S {2,}\S.*\S {2,}\S|^\s*\|.*\|)"));
  return columns.match(line).hasMatch();
}

// A line of ====, ----, **** and the like, which sets parts of a comment apart, or a
// section title framed by them ("===== Requests =====").
bool IsSeparator(const QString& line) {
  const QString t = line.trimmed();
  if (t.size() < 3) return false;
  static const QRegularExpression title(QStringLiteral(R"(^[-=*#~+]{3,}\s.*\s[-=*#~+]{3,}$)"));
  if (title.match(t).hasMatch()) return true;
  for (QChar c : t) {
    if (c.isLetterOrNumber() || c.isSpace()) return false;
  }
  return true;
}

// A line of commented-out code: an assignment, a call, a statement of one name ("commit;"),
// one that begins with a statement's word, or a declaration. A sentence may end in ";" too
// ("item codes, comma separated;"), so that alone makes no code.
bool IsCodeLine(const QString& line) {
  static const QRegularExpression code(QStringLiteral(
      R"(:=|\)\s*;\s*$|^\s*[\w.$#"]+\s*;\s*$|^\s*(begin|end|loop|else|exception|null)\s*;?\s*$|)"
      R"(^\s*(end|return|open|close|fetch|exit|raise|commit|rollback|execute|goto)\b.*;\s*$|)"
      R"(^\s*(select|insert\s+into|update|delete\s+from|if\s.*\sthen|for\s.*\sloop|)"
      R"(procedure\s+\w+\s*(\(|is\b|as\b|;)|function\s+\w+.*\breturn\s)\b)"),
      QRegularExpression::CaseInsensitiveOption);
  return code.match(line).hasMatch();
}

// The phrases of a copyright line and of the usual licences. A description may speak of
// "the copyright notice" of a report: only a copyright line, with its sign or year, counts.
bool IsLicenceText(const QStringList& lines) {
  static const QRegularExpression licence(
      QStringLiteral(R"(copyright\s*(\(c\)|\x{a9}|\d{4})|(\(c\)|\x{a9})\s*\d{4}|licensed under|)"
                     R"(spdx-license|all rights reserved|permission is hereby granted|)"
                     R"(without (any )?warrant|general public license)"),
      QRegularExpression::CaseInsensitiveOption);
  for (const QString& l : lines) {
    if (licence.match(l).hasMatch()) return true;
  }
  return false;
}

// Lines to blocks: blank lines and separators end a block; list items start with -, *, +
// or a number; columns and lines indented deeper than the text around them are kept as
// they stand.
QList<TextBlock> Blocks(const QStringList& lines) {
  static const QRegularExpression bullet(QStringLiteral(R"(^([-*+\x{2022}])\s+(.*)$)"));
  static const QRegularExpression numbered(QStringLiteral(R"(^\d{1,3}[.)]\s+(.*)$)"));
  QList<TextBlock> blocks;
  bool open = false;  // the last block takes more lines
  qsizetype itemIndent = 0;
  const auto start = [&](TextBlock::Kind kind) {
    if (!open || blocks.last().kind != kind) blocks.append(TextBlock{kind, {}});
    open = true;
  };
  for (const QString& line : lines) {
    const QString t = line.trimmed();
    if (t.isEmpty() || (IsSeparator(line) && !IsTabular(line))) {
      open = false;
      continue;
    }
    const qsizetype indent = Indent(line);
    if (IsTabular(line) || indent >= 4 ||
        (open && blocks.last().kind == TextBlock::Preformatted && indent > 0)) {
      start(TextBlock::Preformatted);
      blocks.last().lines.append(line);
      continue;
    }
    QRegularExpressionMatch m;
    if ((m = bullet.match(t)).hasMatch() || (m = numbered.match(t)).hasMatch()) {
      const TextBlock::Kind kind =
          m.regularExpression() == bullet ? TextBlock::Bullets : TextBlock::Numbered;
      if (!open || blocks.last().kind != kind) blocks.append(TextBlock{kind, {}});
      open = true;
      blocks.last().lines.append(m.captured(m.lastCapturedIndex()));
      itemIndent = indent + 1;
      continue;
    }
    const bool continuesItem = open && (blocks.last().kind == TextBlock::Bullets ||
                                        blocks.last().kind == TextBlock::Numbered) &&
                               indent >= itemIndent;
    if (continuesItem) {
      blocks.last().lines.last() += u' ' + t;
      continue;
    }
    if (open && blocks.last().kind == TextBlock::Paragraph) {
      blocks.last().lines.last() += u' ' + t;
    } else {
      blocks.append(TextBlock{TextBlock::Paragraph, {t}});
      open = true;
    }
  }
  return blocks;
}

QString Summary(const QList<TextBlock>& blocks) {
  for (const TextBlock& b : blocks) {
    if (b.kind != TextBlock::Paragraph) continue;
    static const QRegularExpression sentence(QStringLiteral(R"(^(.*?[.!?])(\s|$))"));
    const QRegularExpressionMatch m = sentence.match(b.lines.first());
    return m.hasMatch() ? m.captured(1) : b.lines.first();
  }
  return {};
}

QString Joined(const QStringList& lines) {
  QStringList words;
  for (const QString& l : lines) {
    if (!l.trimmed().isEmpty()) words.append(l.trimmed());
  }
  return words.join(u' ');
}

// The first word of a tag's text and the rest.
std::pair<QString, QString> NameAndText(const QStringList& lines) {
  const QString all = Joined(lines);
  // "@param p_x text", "@param p_x - text", "@param p_x: text", the name followed by a tab.
  static const QRegularExpression named(QStringLiteral(R"(^(\S+?):?(?:\s+[-:]?\s*(.*))?$)"),
                                        QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch m = named.match(all);
  if (!m.hasMatch()) return {all, {}};
  return {m.captured(1), m.captured(2).trimmed()};
}

// The character references of HTML text ("&amp;", "&lt;", "&#8364;") as the characters.
QString WithoutEntities(const QString& line) {
  static const QRegularExpression reference(
      QStringLiteral(R"(&(?:#(\d{1,7})|#[xX]([0-9a-fA-F]{1,6})|(amp|lt|gt|quot|apos|nbsp));)"));
  static const QHash<QString, QString> named{{"amp", "&"}, {"lt", "<"},  {"gt", ">"},
                                             {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
  if (!line.contains(u'&')) return line;
  QString out;
  qsizetype at = 0;
  for (auto it = reference.globalMatch(line); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    out += QStringView(line).mid(at, m.capturedStart() - at);
    bool ok = false;
    const uint code = !m.captured(1).isEmpty() ? m.captured(1).toUInt(&ok)
                                               : m.captured(2).toUInt(&ok, 16);
    if (ok && code > 0 && code <= 0x10FFFF && !QChar::isSurrogate(code))
      out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
    else
      out += named.value(m.captured(3), m.captured(0));
    at = m.capturedEnd();
  }
  out += QStringView(line).mid(at);
  return out;
}

// The HTML a Javadoc block may hold, as the plain layout the blocks are read from: <p> a
// blank line, <li> a list item, <pre> indented lines, inline markup and {@code x} its text.
QStringList WithoutHtml(const QStringList& lines) {
  static const QRegularExpression paragraph(QStringLiteral(R"(</?p\s*/?>)"),
                                            QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression lists(QStringLiteral(R"(</?(ul|ol)>)"),
                                        QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression item(QStringLiteral(R"(^\s*<li>\s*)"),
                                       QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression inline_(
      QStringLiteral(R"(</?(ul|ol|li|code|b|i|em|strong|tt|br\s*/?)>)"),
      QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression code(QStringLiteral(R"(\{@code\s+([^}]*)\})"));
  QStringList out;
  bool pre = false;
  for (QString line : lines) {
    if (line.contains(QLatin1String("<pre>"), Qt::CaseInsensitive)) {
      pre = true;
      line.remove(QLatin1String("<pre>"), Qt::CaseInsensitive);
      if (line.trimmed().isEmpty()) continue;
    }
    if (line.contains(QLatin1String("</pre>"), Qt::CaseInsensitive)) {
      line.remove(QLatin1String("</pre>"), Qt::CaseInsensitive);
      if (!line.trimmed().isEmpty()) out.append(QStringLiteral("    ") + line);
      pre = false;
      continue;
    }
    if (pre) {
      out.append(QStringLiteral("    ") + line);
      continue;
    }
    // <p> parts the paragraph before it from the text after it.
    const QRegularExpressionMatch p = paragraph.match(line);
    const bool before = p.hasMatch() && line.left(p.capturedStart()).trimmed().isEmpty();
    const bool after = p.hasMatch() && !before;
    if (before) out.append(QString());
    line.remove(paragraph);
    line.remove(lists);
    line.replace(item, QStringLiteral("- "));
    line.remove(inline_);
    line.replace(code, QStringLiteral("\\1"));
    out.append(WithoutEntities(line));
    if (after) out.append(QString());
  }
  return out;
}

DocComment Javadoc(const QStringList& lines) {
  static const QRegularExpression tagLine(QStringLiteral(R"(^\s*@(\w+)\s?(.*)$)"));
  DocComment doc;
  QStringList description;
  QString tag;
  QStringList text;
  const auto finish = [&] {
    const QString name = tag.toLower();
    if (name.isEmpty()) {
      description = text;
    } else if (name == QLatin1String("param")) {
      auto [n, t] = NameAndText(WithoutHtml(text));
      doc.parameters.append({n, t});
    } else if (name == QLatin1String("return") || name == QLatin1String("returns")) {
      doc.returns = Joined(WithoutHtml(text));
    } else if (name == QLatin1String("throws") || name == QLatin1String("raises") ||
               name == QLatin1String("exception")) {
      auto [n, t] = NameAndText(WithoutHtml(text));
      doc.throws.append({n, t});
    } else if (name == QLatin1String("deprecated")) {
      doc.deprecated = true;
      doc.deprecation = Joined(WithoutHtml(text));
    } else if (name == QLatin1String("see")) {
      doc.see.append(Joined(text));
    } else if (name == QLatin1String("since")) {
      doc.since = Joined(text);
    } else if (name == QLatin1String("author")) {
      doc.authors.append(Joined(text));
    } else if (name == QLatin1String("example")) {
      QStringList code = text;
      while (!code.isEmpty() && code.first().trimmed().isEmpty()) code.removeFirst();
      while (!code.isEmpty() && code.last().trimmed().isEmpty()) code.removeLast();
      qsizetype common = -1;
      for (const QString& l : code) {
        if (!l.trimmed().isEmpty()) common = common < 0 ? Indent(l) : qMin(common, Indent(l));
      }
      for (QString& l : code) l = l.mid(qMax<qsizetype>(common, 0));
      doc.examples.append(code.join(u'\n'));
    }
    text.clear();
  };
  for (const QString& line : lines) {
    const QRegularExpressionMatch m = tagLine.match(line);
    if (m.hasMatch()) {
      finish();
      tag = m.captured(1);
      if (!m.captured(2).isEmpty()) text.append(m.captured(2));
      continue;
    }
    text.append(line);
  }
  finish();
  doc.description = Blocks(WithoutHtml(description));
  doc.summary = Summary(doc.description);
  return doc;
}

// A banner's labelled description ("Purpose: ...", "Description: ...", and after it
// "Remarks:", "Notes:", "Usage:" as paragraphs of their own), its author, and any table it
// holds (a change history) kept as it stands; nothing when it has no such label.
std::optional<DocComment> Banner(const QStringList& lines) {
  static const QRegularExpression label(QStringLiteral(R"(^\s*([A-Za-z][A-Za-z ]{0,24}):(\s+(.*))?$)"));
  DocComment doc;
  QStringList description;
  QStringList table;
  bool found = false;
  bool inDescription = false;
  for (const QString& line : lines) {
    const QRegularExpressionMatch m = label.match(line);
    if (m.hasMatch()) {
      const QString name = m.captured(1).trimmed().toLower();
      const bool leads = name == QLatin1String("purpose") || name == QLatin1String("description");
      static const QStringList more{"remarks", "notes", "note", "usage", "comments"};
      inDescription = leads || (found && more.contains(name));
      if (inDescription) {
        found = true;
        if (!description.isEmpty()) description.append(QString());  // a paragraph of its own
        description.append(m.captured(3));
      } else if (name == QLatin1String("author") || name == QLatin1String("created by")) {
        doc.authors.append(m.captured(3).trimmed());
      }
      continue;
    }
    if (IsTabular(line) || (!table.isEmpty() && !line.trimmed().isEmpty() && !IsSeparator(line))) {
      inDescription = false;
      table.append(line);
      continue;
    }
    if (IsSeparator(line)) {
      inDescription = false;
      continue;
    }
    if (inDescription) description.append(line.trimmed());
  }
  if (!found) return std::nullopt;
  doc.description = Blocks(description);
  if (!table.isEmpty()) doc.description.append(TextBlock{TextBlock::Preformatted, table});
  doc.summary = Summary(doc.description);
  return doc;
}

}  // namespace

bool IsJavadoc(QStringView comment) {
  return comment.startsWith(QLatin1String("/**")) && comment.size() > 4 &&
         comment[3] != u'*' && comment[3] != u'/';
}

DocComment ReadDocComment(const QStringList& comments) {
  if (comments.isEmpty()) return {};
  const QStringList lines = TextLines(comments);
  if (IsLicenceText(lines)) return {};
  if (IsJavadoc(comments.first())) return Javadoc(lines);
  // Javadoc tags written in plain comments read as Javadoc, examples and all.
  static const QRegularExpression tag(QStringLiteral(
      R"(^\s*@(param|returns?|throws|raises|exception|deprecated|see|since|author|example)\b)"));
  for (const QString& l : lines) {
    if (tag.match(l).hasMatch()) return Javadoc(lines);
  }
  qsizetype text = 0, code = 0;
  for (const QString& l : lines) {
    if (l.trimmed().isEmpty() || IsSeparator(l)) continue;
    ++text;
    if (IsCodeLine(l)) ++code;
  }
  if (text == 0 || code * 2 >= text) return {};
  if (std::optional<DocComment> banner = Banner(lines)) return *banner;
  DocComment doc;
  doc.description = Blocks(lines);
  doc.summary = Summary(doc.description);
  return doc;
}

bool IsLicence(const QStringList& comments) { return IsLicenceText(TextLines(comments)); }

QString PlainText(const QList<TextBlock>& blocks) {
  QStringList lines;
  for (const TextBlock& b : blocks) lines += b.lines;
  return lines.join(u'\n');
}

}  // namespace plsql
