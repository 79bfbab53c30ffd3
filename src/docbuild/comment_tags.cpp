#include "docbuild/comment_tags.h"

#include <QList>

#include "docbuild/document.h"
#include "docbuild/html.h"
#include "settings/settings.h"
#include "text/ansi.h"

namespace {

// A tag as the user typed it (what headings show) and upper-cased (what is searched for).
struct Tag {
  QString typed;
  QString upper;
  explicit Tag(const QString& text) : typed(text), upper(ansi::UpperCase(text)) {}
  qsizetype Length() const { return upper.size(); }
};

// The tags that drive one kind of block. The member keywords stay empty for stand-alone
// units, and an empty tag matches nothing.
struct BlockTags {
  Tag open, description, parameters, spot, colon, semicolon, returnValue, close;
  Tag function, procedure;
};

BlockTags UnitTagsOf(const Settings& s) {
  return {Tag(s.Function_opentag),    Tag(s.Function_description), Tag(s.Function_parameters),
          Tag(s.Function_spot),       Tag(s.Function_colon),       Tag(s.Function_semicolon),
          Tag(s.Function_returnvalue), Tag(s.Function_closetag),   Tag(QString()),
          Tag(QString())};
}

BlockTags MemberTagsOf(const Settings& s) {
  return {Tag(s.Package_function_opentag),      Tag(s.Package_function_description),
          Tag(s.Package_function_parameters),   Tag(s.Package_function_spot),
          Tag(s.Package_function_colon),        Tag(s.Package_function_semicolon),
          Tag(s.Package_function_returnvalue),  Tag(s.Package_function_closetag),
          Tag(s.Package_function),              Tag(s.Package_procedure)};
}

// The index just after the character at `i`; a surrogate pair is one character, so a cut
// "one character after" a tag never splits it.
qsizetype AfterChar(const QString& s, qsizetype i) {
  if (i + 1 < s.size() && s[i].isHighSurrogate() && s[i + 1].isLowSurrogate()) return i + 2;
  return i + 1;
}

// A source line with its upper-cased twin; cuts apply to both, so positions found in the
// twin stay positions in the line.
class SourceLine {
 public:
  explicit SourceLine(const QString& text) : text_(text), upper_(ansi::UpperCase(text)) {}

  const QString& Text() const { return text_; }
  // Index of the tag's first occurrence, -1 when the line does not hold it.
  qsizetype Find(const Tag& tag) const {
    return tag.upper.isEmpty() ? -1 : upper_.indexOf(tag.upper);
  }
  bool Holds(const Tag& tag) const { return Find(tag) >= 0; }
  // Keeps the text from index `from` on; nothing when that lies at or beyond the end.
  void KeepFrom(qsizetype from) {
    if (from >= text_.size()) {
      Clear();
      return;
    }
    text_ = text_.mid(from);
    upper_ = upper_.mid(from);
  }
  // Drops everything up to the tag found at `at`, the tag and the one character after it.
  void CutAfterTag(qsizetype at, const Tag& tag) {
    KeepFrom(AfterChar(text_, at + tag.Length()));
  }
  void Clear() {
    text_.clear();
    upper_.clear();
  }

 private:
  QString text_;
  QString upper_;
};

// One pass over the source of a unit or of a package specification.
class CommentPass {
 public:
  CommentPass(Document& doc, const BlockTags& tags, bool html, bool members, int section,
              int entry)
      : doc_(doc), tags_(tags), html_(html), members_(members), section_(section),
        entry_(entry) {}

  void Read(const LineSource& source) {
    QString text;
    while (source(text)) Line(SourceLine(text));
    RenderPendingTable();
  }

 private:
  void Line(SourceLine line) {
    if (line.Holds(tags_.close)) {
      RenderPendingTable();
      if (html_) Append(QStringLiteral("</P>"));
      inBlock_ = false;
    }
    if (inBlock_) {
      if (html_) {
        Content(line);
      } else {
        Append(WithoutLineEnd(line.Text()));
      }
    }
    if (line.Holds(tags_.open)) {
      if (members_) StartMember();
      inBlock_ = true;
    }
  }

  // A new member block is read like the first; only the member number runs on.
  void StartMember() {
    RenderPendingTable();
    memberHeading_ = descriptionSeen_ = parameterOpen_ = returnSeen_ = false;
  }

  void Content(SourceLine& line) {
    Description(line);
    if (members_) MemberHeading(line);
    Parameters(line);
    ReturnValue(line);
    if (TrimBlanks(line.Text()).isEmpty()) return;
    if (listOpen_) {
      ParameterLine(line);
    } else {
      Append(EscapeHtml(line.Text()) + QStringLiteral("<BR>"));
    }
  }

  void Description(SourceLine& line) {
    if (descriptionSeen_ || (members_ && !memberHeading_)) return;
    const qsizetype at = line.Find(tags_.description);
    if (at < 0) return;
    descriptionSeen_ = true;
    Append(QStringLiteral("<H5>") + EscapeHtml(tags_.description.typed) +
           QStringLiteral("</H5><P>"));
    line.CutAfterTag(at, tags_.description);
  }

  // Either keyword names the member, but only while it has no heading yet: a description
  // sentence that mentions a procedure stays text.
  void MemberHeading(SourceLine& line) {
    if (memberHeading_) return;
    if (!line.Holds(tags_.procedure) && !line.Holds(tags_.function)) return;
    Append(QStringLiteral("<H4>"));
    Append(QStringLiteral("%1.%2.%3 ").arg(section_).arg(entry_).arg(member_) +
           EscapeHtml(line.Text()));
    Append(QStringLiteral("</H4>"));
    ++member_;
    memberHeading_ = true;
    line.Clear();
  }

  void Parameters(SourceLine& line) {
    const qsizetype at = line.Find(tags_.parameters);
    if (at < 0) return;
    listOpen_ = true;
    AddValue(QStringLiteral("Name"), 1);
    AddValue(QStringLiteral("Type"), 2);
    AddValue(QStringLiteral("Description"), 3);
    Append(QStringLiteral("</P><H5>") + EscapeHtml(tags_.parameters.typed) +
           QStringLiteral("</H5><P>"));
    line.CutAfterTag(at, tags_.parameters);
  }

  void ReturnValue(SourceLine& line) {
    if (!line.Holds(tags_.returnValue)) return;
    RenderPendingTable();
    if (!returnSeen_) {
      QString heading = line.Text();
      const qsizetype colon = heading.indexOf(u':');
      if (colon >= 0) heading.remove(colon, 1);
      Append(QStringLiteral("</P><H5>") + EscapeHtml(heading) + QStringLiteral("</H5><P>"));
      returnSeen_ = true;
    } else {
      Append(EscapeHtml(line.Text()));
    }
    line.Clear();
  }

  // A parameter's name and type stand before the colon tag, split by the spot tag; its
  // description runs from after the colon tag to the semicolon tag, over as many lines as
  // it takes. One character is passed over after the spot and after the colon, whatever
  // the lengths of those tags.
  void ParameterLine(SourceLine& line) {
    if (!parameterOpen_) {
      const qsizetype colon = line.Find(tags_.colon);
      if (colon < 0) return;
      const QString& text = line.Text();
      const qsizetype spot = line.Find(tags_.spot);
      const qsizetype typeFrom = spot >= 0 ? AfterChar(text, spot) : 0;
      AddValue(spot >= 0 ? text.left(spot) : QString(), 1);
      AddValue(typeFrom < colon ? text.mid(typeFrom, colon - typeFrom) : QString(), 2);
      line.KeepFrom(AfterChar(text, colon));
      parameterOpen_ = true;
    }
    const qsizetype end = line.Find(tags_.semicolon);
    if (end >= 0) {
      description_ += line.Text().left(end);
      parameterOpen_ = false;
    } else {
      description_ += line.Text();
    }
  }

  // Description pieces are gathered here and go into their cell in one step before the
  // grid is touched again, so a description of many lines costs time in proportion to its
  // length.
  void FlushDescription() {
    if (description_.isEmpty()) return;
    AppendGridValue(doc_.TempGrid, description_, 3);
    description_.clear();
  }

  void AddValue(const QString& value, int column) {
    FlushDescription();
    AddGridValue(doc_.TempGrid, value, column);
  }

  // Rows gathered since the parameters tag go out here and nowhere later.
  void RenderPendingTable() {
    if (!listOpen_) return;
    FlushDescription();
    WriteGridTable(doc_.TempGrid, doc_.TempMemo, QList<int>{200, 100, 300}, true, html_);
    listOpen_ = false;
    parameterOpen_ = false;
  }

  void Append(const QString& line) { doc_.TempMemo.append(line); }

  Document& doc_;
  const BlockTags& tags_;
  const bool html_;
  const bool members_;
  const int section_;
  const int entry_;

  bool inBlock_ = false;
  bool descriptionSeen_ = false;
  bool listOpen_ = false;
  bool parameterOpen_ = false;
  bool returnSeen_ = false;
  bool memberHeading_ = false;
  int member_ = 1;
  QString description_;
};

}  // namespace

void WriteUnitComments(Document& doc, const Settings& settings, const LineSource& source,
                       bool HtmlOutput) {
  const BlockTags tags = UnitTagsOf(settings);
  CommentPass(doc, tags, HtmlOutput, false, 0, 0).Read(source);
}

void WriteMemberComments(Document& doc, const Settings& settings, const LineSource& source,
                         bool HtmlOutput, int SectionNumber, int entryPosition) {
  const BlockTags tags = MemberTagsOf(settings);
  CommentPass(doc, tags, HtmlOutput, true, SectionNumber, entryPosition).Read(source);
}

QString ExtractPackageDescription(const Settings& settings, const LineSource& source) {
  const Tag open(settings.Package_opentag);
  const Tag description(settings.Package_description);
  const Tag close(settings.Package_closetag);
  bool inBlock = false;
  bool started = false;
  QString result;
  QString text;
  while (source(text)) {
    const SourceLine line(text);
    if (line.Holds(close)) break;
    if (inBlock) {
      if (started) {
        result += u' ' + TrimBlanks(text);
      } else if (line.Holds(description)) {
        started = true;
      }
    } else if (line.Holds(open)) {
      inBlock = true;
    }
  }
  return TrimBlanks(result);
}

QString TrimBlanks(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin].unicode() <= u' ') ++begin;
  while (end > begin && text[end - 1].unicode() <= u' ') --end;
  return text.mid(begin, end - begin);
}
