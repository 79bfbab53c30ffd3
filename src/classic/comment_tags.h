#pragma once
// Descriptions, parameter tables and return values read from the tagged comment blocks of
// stored PL/SQL source.
//
// Each operation is one forward pass over the source lines. It does not parse PL/SQL: a tag
// counts wherever it stands in a line, matched without regard to case by the single-byte
// upper-case mapping (which keeps positions, so a position found in the upper-cased line
// is a position in the line). Only a tag's first occurrence in a line counts, and an empty
// tag is held by no line. The tags are those of the Settings passed in.
//
// Output goes to the document body (TempMemo) and, for parameter tables, through the
// scratch grid (TempGrid). With HTML output extracted text is escaped; with text output a
// block is copied line for line, unchanged but for each line's own line end, which the
// document's CR LF takes the place of. Parameter rows never outlive the block that
// gathered them: they are rendered at the block's close tag, at a member's open tag or at
// the end of the source, whichever comes first after the last row.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct Document;
struct Settings;

// Hands out the lines of a source in order, exactly as stored (line ends included); false
// when there are no more lines. A pass stops asking once it has what it needs.
using LineSource = std::function<bool(QString& line)>;

// The source of a stand-alone procedure or function, with the FunctionTagSet tags: the
// description, the parameter table and the return value of its block, appended to the body.
void WriteUnitComments(Document& doc, const Settings& settings, const LineSource& source,
                       bool HtmlOutput);

// The specification source of a package, with the member tags of the PackageTagSet: per
// member block a heading numbered SectionNumber.entryPosition.member (HTML only), then its
// description, parameter table and return value. Every member block is read like the first.
void WriteMemberComments(Document& doc, const Settings& settings, const LineSource& source,
                         bool HtmlOutput, int SectionNumber, int entryPosition);

// The package's own description: the lines after the description tag inside the first
// package block, each trimmed and joined with one blank; reading stops at the first line
// that holds the package close tag. Empty when there is none.
QString ExtractPackageDescription(const Settings& settings, const LineSource& source);

// A block as plain values, for the document model: every text trimmed of blanks and
// control characters at both ends.
struct CommentParameter {
  QString name;
  QString type;
  QString description;  // its pieces joined with one blank
};
struct CommentBlock {
  QString heading;           // a package member's heading line (the keyword line)
  QStringList description;   // text lines up to the parameters or the return value
  QList<CommentParameter> parameters;
  QString returnHeading;     // the first return value line without its first ":"
  QStringList returnText;    // text lines after it
  // How many description lines stood before the heading line: a block that turns out to
  // describe no member reads with its heading line back in its place.
  qsizetype headingAt = 0;
};

// The blocks of a stand-alone unit's source (FunctionTagSet), in source order; a block
// with nothing in it is left out.
QList<CommentBlock> ReadUnitBlocks(const Settings& settings, const LineSource& source);
// The member blocks of a package specification (member tags of the PackageTagSet).
QList<CommentBlock> ReadMemberBlocks(const Settings& settings, const LineSource& source);

// The text without blanks and control characters (everything up to U+0020) at either end;
// the trimming that source lines and unit names get.
QString TrimBlanks(const QString& text);
