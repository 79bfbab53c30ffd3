#include "classic/comment_tags.h"

#include <QList>

#include "classic/document.h"
#include "classic/html.h"
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
  // Drops everything up to the tag's first occurrence, the tag and the one character after
  // it; false, the line unchanged, when the line does not hold the tag.
  bool CutThroughTag(const Tag& tag) {
    const qsizetype at = Find(tag);
    if (at < 0) return false;
    KeepFrom(AfterChar(text_, at + tag.Length()));
    return true;
  }
  void Clear() {
    text_.clear();
    upper_.clear();
  }

 private:
  QString text_;
  QString upper_;
};

// What a pass finds in a block, in source order. The pass decides what a line is; a sink
// decides what it becomes (classic document lines, or the document model's values).
class BlockSink {
 public:
  virtual ~BlockSink() = default;
  // Text output: a block line copied as stored.
  virtual void Copy(const QString& line) = 0;
  // An open tag: a new block (for a package, a new member) begins.
  virtual void Opened() = 0;
  virtual void Closed() = 0;
  virtual void Description(const QString& typedTag) = 0;
  virtual void MemberHeading(const QString& line) = 0;
  virtual void ParametersHeading(const QString& typedTag) = 0;
  virtual void Parameter(const QString& name, const QString& type) = 0;
  // A piece of the open parameter's description, as it stands in the source.
  virtual void ParameterText(const QString& piece) = 0;
  // The parameter rows gathered since the parameters tag are complete.
  virtual void ParametersEnd() = 0;
  // The first return value line, its first ":" removed.
  virtual void ReturnHeading(const QString& heading) = 0;
  // A later return value line, as stored.
  virtual void ReturnLine(const QString& line) = 0;
  virtual void Text(const QString& line) = 0;
};

// One pass over the source of a unit or of a package specification.
class CommentPass {
 public:
  // `copy`: text output, every block line goes to the sink unchanged.
  CommentPass(BlockSink& sink, const BlockTags& tags, bool copy, bool members)
      : sink_(sink), tags_(tags), copy_(copy), members_(members) {}

  void Read(const LineSource& source) {
    QString text;
    while (source(text)) Line(SourceLine(text));
    EndParameters();
  }

 private:
  void Line(SourceLine line) {
    if (line.Holds(tags_.close)) {
      EndParameters();
      if (!copy_) sink_.Closed();
      inBlock_ = false;
    }
    if (inBlock_) {
      if (copy_) {
        sink_.Copy(line.Text());
      } else {
        Content(line);
      }
    }
    if (line.Holds(tags_.open)) {
      if (members_) StartMember();
      if (!copy_) sink_.Opened();
      inBlock_ = true;
    }
  }

  // A new member block is read like the first.
  void StartMember() {
    EndParameters();
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
      sink_.Text(line.Text());
    }
  }

  void Description(SourceLine& line) {
    if (descriptionSeen_ || (members_ && !memberHeading_)) return;
    if (!line.CutThroughTag(tags_.description)) return;
    descriptionSeen_ = true;
    sink_.Description(tags_.description.typed);
  }

  // Either keyword names the member, but only while it has no heading yet: a description
  // sentence that mentions a procedure stays text.
  void MemberHeading(SourceLine& line) {
    if (memberHeading_) return;
    if (!line.Holds(tags_.procedure) && !line.Holds(tags_.function)) return;
    sink_.MemberHeading(line.Text());
    memberHeading_ = true;
    line.Clear();
  }

  void Parameters(SourceLine& line) {
    if (!line.CutThroughTag(tags_.parameters)) return;
    listOpen_ = true;
    sink_.ParametersHeading(tags_.parameters.typed);
  }

  void ReturnValue(SourceLine& line) {
    if (!line.Holds(tags_.returnValue)) return;
    EndParameters();
    if (!returnSeen_) {
      QString heading = line.Text();
      const qsizetype colon = heading.indexOf(u':');
      if (colon >= 0) heading.remove(colon, 1);
      sink_.ReturnHeading(heading);
      returnSeen_ = true;
    } else {
      sink_.ReturnLine(line.Text());
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
      sink_.Parameter(spot >= 0 ? text.left(spot) : QString(),
                      typeFrom < colon ? text.mid(typeFrom, colon - typeFrom) : QString());
      line.KeepFrom(AfterChar(text, colon));
      parameterOpen_ = true;
    }
    const qsizetype end = line.Find(tags_.semicolon);
    if (end >= 0) {
      sink_.ParameterText(line.Text().left(end));
      parameterOpen_ = false;
    } else {
      sink_.ParameterText(line.Text());
    }
  }

  // Rows gathered since the parameters tag end here and nowhere later.
  void EndParameters() {
    if (!listOpen_) return;
    sink_.ParametersEnd();
    listOpen_ = false;
    parameterOpen_ = false;
  }

  BlockSink& sink_;
  const BlockTags& tags_;
  const bool copy_;
  const bool members_;

  bool inBlock_ = false;
  bool descriptionSeen_ = false;
  bool listOpen_ = false;
  bool parameterOpen_ = false;
  bool returnSeen_ = false;
  bool memberHeading_ = false;
};

// The classic document: headings, "<BR>" lines and the parameter table through the
// scratch grid (HTML), or the block lines as stored (text).
class DocumentSink : public BlockSink {
 public:
  DocumentSink(Document& doc, bool html, int section, int entry)
      : doc_(doc), html_(html), section_(section), entry_(entry) {}

  void Copy(const QString& line) override { Append(WithoutLineEnd(line)); }
  void Opened() override {}
  void Closed() override { Append(QStringLiteral("</P>")); }
  void Description(const QString& tag) override {
    Append(QStringLiteral("<H5>") + EscapeHtml(tag) + QStringLiteral("</H5><P>"));
  }
  void MemberHeading(const QString& line) override {
    Append(QStringLiteral("<H4>"));
    Append(QStringLiteral("%1.%2.%3 ").arg(section_).arg(entry_).arg(member_) +
           EscapeHtml(line));
    Append(QStringLiteral("</H4>"));
    ++member_;
  }
  void ParametersHeading(const QString& tag) override {
    AddValue(QStringLiteral("Name"), 1);
    AddValue(QStringLiteral("Type"), 2);
    AddValue(QStringLiteral("Description"), 3);
    Append(QStringLiteral("</P><H5>") + EscapeHtml(tag) + QStringLiteral("</H5><P>"));
  }
  void Parameter(const QString& name, const QString& type) override {
    AddValue(name, 1);
    AddValue(type, 2);
  }
  void ParameterText(const QString& piece) override { description_ += piece; }
  void ParametersEnd() override {
    FlushDescription();
    WriteGridTable(doc_.TempGrid, doc_, QList<int>{200, 100, 300}, html_);
  }
  void ReturnHeading(const QString& heading) override {
    Append(QStringLiteral("</P><H5>") + EscapeHtml(heading) + QStringLiteral("</H5><P>"));
  }
  void ReturnLine(const QString& line) override { Append(EscapeHtml(line)); }
  void Text(const QString& line) override {
    Append(EscapeHtml(line) + QStringLiteral("<BR>"));
  }

 private:
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

  void Append(const QString& line) { doc_.TempMemo.append(line); }

  Document& doc_;
  const bool html_;
  const int section_;
  const int entry_;
  int member_ = 1;
  QString description_;
};

// The blocks as values: texts trimmed, a parameter's description pieces joined with one
// blank, text after the parameter list added to the description.
class BlockCollector : public BlockSink {
 public:
  QList<CommentBlock> Blocks() {
    QList<CommentBlock> blocks;
    for (CommentBlock& b : blocks_)
      if (!IsEmpty(b)) blocks.append(std::move(b));
    return blocks;
  }

  void Copy(const QString&) override {}
  void Opened() override {
    blocks_.append(CommentBlock());
    inReturn_ = false;
  }
  void Closed() override {}
  void Description(const QString&) override { inReturn_ = false; }
  void MemberHeading(const QString& line) override {
    Current().heading = TrimBlanks(line);
    Current().headingAt = Current().description.size();
  }
  void ParametersHeading(const QString&) override { inReturn_ = false; }
  void Parameter(const QString& name, const QString& type) override {
    Current().parameters.append({TrimBlanks(name), TrimBlanks(type), QString()});
  }
  void ParameterText(const QString& piece) override {
    const QString text = TrimBlanks(piece);
    QList<CommentParameter>& parameters = Current().parameters;
    if (text.isEmpty() || parameters.isEmpty()) return;
    QString& description = parameters.last().description;
    description += (description.isEmpty() ? QString() : QStringLiteral(" ")) + text;
  }
  void ParametersEnd() override {}
  void ReturnHeading(const QString& heading) override {
    Current().returnHeading = TrimBlanks(heading);
    inReturn_ = true;
  }
  void ReturnLine(const QString& line) override { Current().returnText.append(TrimBlanks(line)); }
  void Text(const QString& line) override {
    (inReturn_ ? Current().returnText : Current().description).append(TrimBlanks(line));
  }

 private:
  static bool IsEmpty(const CommentBlock& b) {
    return b.heading.isEmpty() && b.description.isEmpty() && b.parameters.isEmpty() &&
           b.returnHeading.isEmpty() && b.returnText.isEmpty();
  }
  CommentBlock& Current() {
    if (blocks_.isEmpty()) blocks_.append(CommentBlock());
    return blocks_.last();
  }

  QList<CommentBlock> blocks_;
  bool inReturn_ = false;
};

}  // namespace

void WriteUnitComments(Document& doc, const Settings& settings, const LineSource& source,
                       bool HtmlOutput) {
  const BlockTags tags = UnitTagsOf(settings);
  DocumentSink sink(doc, HtmlOutput, 0, 0);
  CommentPass(sink, tags, !HtmlOutput, false).Read(source);
}

void WriteMemberComments(Document& doc, const Settings& settings, const LineSource& source,
                         bool HtmlOutput, int SectionNumber, int entryPosition) {
  const BlockTags tags = MemberTagsOf(settings);
  DocumentSink sink(doc, HtmlOutput, SectionNumber, entryPosition);
  CommentPass(sink, tags, !HtmlOutput, true).Read(source);
}

QList<CommentBlock> ReadUnitBlocks(const Settings& settings, const LineSource& source) {
  const BlockTags tags = UnitTagsOf(settings);
  BlockCollector collector;
  CommentPass(collector, tags, false, false).Read(source);
  return collector.Blocks();
}

QList<CommentBlock> ReadMemberBlocks(const Settings& settings, const LineSource& source) {
  const BlockTags tags = MemberTagsOf(settings);
  BlockCollector collector;
  CommentPass(collector, tags, false, true).Read(source);
  return collector.Blocks();
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
