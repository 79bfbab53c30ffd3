// Feeds arbitrary source lines and tag settings to the three comment-tag passes and checks
// what must hold whatever the input:
// - the scratch grid is one empty cell again after every pass (no rows leak);
// - text output copies source lines in order, each without its line end, nothing else;
// - HTML output holds only our own markup: every "<" opens one of our tags, tables are
//   balanced and every row has the three parameter columns;
// - a member heading needs a member open tag;
// - the package description is trimmed and its pass reads no further than the first line
//   that holds the package close tag.
//
// Input: byte 0 selects the output (bit 0: HTML) and the decoding of the rest (bit 1:
// UTF-8, else Windows-1252). The first line of the rest holds tab-separated tag values in
// Settings order (Function_* then Package_*); tags it does not give keep their usual
// values. Every further line is a source line, its line feed kept as stored.

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

#include "classic/comment_tags.h"
#include "classic/document.h"
#include "fuzz_support.h"
#include "settings/settings.h"
#include "text/ansi.h"

namespace {

using fuzz::Check;

Settings TagsFrom(const QString& line) {
  Settings s;
  QString* tags[] = {
      &s.Function_opentag,           &s.Function_description,
      &s.Function_parameters,        &s.Function_spot,
      &s.Function_colon,             &s.Function_semicolon,
      &s.Function_returnvalue,       &s.Function_closetag,
      &s.Package_opentag,            &s.Package_description,
      &s.Package_closetag,           &s.Package_function_opentag,
      &s.Package_function,           &s.Package_procedure,
      &s.Package_function_description, &s.Package_function_parameters,
      &s.Package_function_spot,      &s.Package_function_colon,
      &s.Package_function_semicolon, &s.Package_function_returnvalue,
      &s.Package_function_closetag};
  const char* usual[] = {"<FD>", "Description", "Parameters", ",", ":", ";", "Return value",
                         "</FD>", "<PD>", "Description", "</PD>", "<FD>", "Function",
                         "Procedure", "Description", "Parameters", ",", ":", ";",
                         "Return value", "</FD>"};
  const QStringList given = line.split(u'\t');
  for (int i = 0; i < 21; ++i) *tags[i] = i < given.size() ? given[i] : QString(usual[i]);
  return s;
}

bool Holds(const QString& line, const QString& tag) {
  return !tag.isEmpty() && ansi::UpperCase(line).contains(ansi::UpperCase(tag));
}

LineSource Over(const QStringList& lines, int* taken) {
  *taken = 0;
  return [&lines, taken](QString& line) {
    if (*taken >= lines.size()) return false;
    line = lines[(*taken)++];
    return true;
  };
}

void CheckGridIsEmpty(const Document& doc) {
  Check(doc.TempGrid.RowCount() == 1 && doc.TempGrid.ColumnCount() == 1 &&
            doc.TempGrid.Cell(0, 0).isEmpty(),
        "scratch grid empty after the pass");
}

void CheckCopied(const QStringList& out, const QStringList& source) {
  qsizetype next = 0;
  for (const QString& line : out) {
    while (next < source.size() && WithoutLineEnd(source[next]) != line) ++next;
    Check(next < source.size(), "text output copies source lines in order");
    ++next;
  }
}

void CheckMarkup(const QStringList& out) {
  static const QRegularExpression ours(QStringLiteral(
      R"(\G(?:<H[45]>|</H[45]>|<P>|</P>|<BR>|<TABLE BORDER=0>|</TABLE>|<TR>|</TR>|)"
      R"(<TD width=\d+ VALIGN=TOP(?: bgcolor="#CCCCCC"><B>|>)|</B></TD>|</TD>))"));
  bool inTable = false;
  int cells = -1;
  for (const QString& line : out) {
    for (qsizetype at = line.indexOf(u'<'); at >= 0;) {
      const QRegularExpressionMatch tag = ours.match(line, at);
      Check(tag.hasMatch(), "every '<' opens our own markup", line);
      at = line.indexOf(u'<', tag.capturedEnd());
    }
    Check(!line.contains(u'>') || line.count(u'>') == line.count(u'<'),
          "every '>' closes our own markup", line);
    if (line == u"<TABLE BORDER=0>") {
      Check(!inTable, "tables do not nest");
      inTable = true;
    } else if (line == u"</TABLE>") {
      Check(inTable && cells < 0, "a table closes after its last row");
      inTable = false;
    } else if (line == u"<TR>") {
      Check(inTable && cells < 0, "rows stand in a table");
      cells = 0;
    } else if (line == u"</TR>") {
      Check(cells == 3, "a parameter row has three cells");
      cells = -1;
    } else if (line.startsWith(u"<TD ")) {
      Check(cells >= 0, "cells stand in a row");
      ++cells;
    }
  }
  Check(!inTable, "every table is closed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool html = data[0] & 1;
  const QByteArray bytes(reinterpret_cast<const char*>(data) + 1,
                         static_cast<qsizetype>(size - 1));
  const QString text = (data[0] & 2) ? QString::fromUtf8(bytes) : ansi::Decode(bytes);

  const qsizetype firstEnd = text.indexOf(u'\n');
  const Settings settings = TagsFrom(firstEnd < 0 ? text : text.left(firstEnd));
  QStringList source;
  for (qsizetype start = firstEnd < 0 ? text.size() : firstEnd + 1; start < text.size();) {
    const qsizetype end = text.indexOf(u'\n', start);
    const qsizetype next = end < 0 ? text.size() : end + 1;
    source.append(text.mid(start, next - start));
    start = next;
  }

  int taken = 0;
  {
    Document doc;
    WriteUnitComments(doc, settings, Over(source, &taken), html);
    Check(taken == source.size(), "the unit pass reads the whole source");
    CheckGridIsEmpty(doc);
    if (html) {
      CheckMarkup(doc.TempMemo);
    } else {
      CheckCopied(doc.TempMemo, source);
    }
  }
  {
    Document doc;
    WriteMemberComments(doc, settings, Over(source, &taken), html, 3, 7);
    Check(taken == source.size(), "the member pass reads the whole source");
    CheckGridIsEmpty(doc);
    if (html) {
      CheckMarkup(doc.TempMemo);
      const auto openLines = std::count_if(source.begin(), source.end(), [&](const QString& l) {
        return Holds(l, settings.Package_function_opentag);
      });
      Check(doc.TempMemo.count(QStringLiteral("<H4>")) <= openLines,
            "a member heading needs a member open tag");
    } else {
      CheckCopied(doc.TempMemo, source);
    }
  }
  {
    const QString description = ExtractPackageDescription(settings, Over(source, &taken));
    Check(description == TrimBlanks(description), "the package description is trimmed");
    qsizetype stop = 0;
    while (stop < source.size() && !Holds(source[stop], settings.Package_closetag)) ++stop;
    Check(taken <= stop + 1, "the package pass stops at the close tag");
  }
  return 0;
}
