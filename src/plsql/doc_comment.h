#pragma once
// Documentation read from the comments written around PL/SQL declarations: a Javadoc block
// (/** ... */ with @param, @return, @throws ...) or a plain comment (a run of -- lines, a
// /* ... */ block), kept as blocks of text (paragraphs, lists, preformatted text) so each
// format can lay them out.
//
// A plain comment that is not documentation reads as empty: one that is commented-out code,
// one of separator lines alone (==== or ----), a licence or copyright notice.

#include <QList>
#include <QString>
#include <QStringList>

namespace plsql {

struct TextBlock {
  enum Kind { Paragraph, Bullets, Numbered, Preformatted };
  Kind kind = Paragraph;
  QStringList lines;  // a paragraph's words on one line; one item a line; preformatted as is
};

struct DocTag {
  QString name;  // the parameter or exception; empty for tags without one
  QString text;
};

struct DocComment {
  QList<TextBlock> description;
  QString summary;           // the first sentence of the description
  QList<DocTag> parameters;  // @param
  QString returns;           // @return
  QList<DocTag> throws;      // @throws, @raises, @exception
  bool deprecated = false;
  QString deprecation;       // @deprecated's text
  QStringList see;           // @see targets
  QString since;
  QStringList authors;
  QStringList examples;      // @example, each preformatted (lines joined by "\n")
  bool fromBody = false;     // read from the package body, the specification saying nothing

  bool IsEmpty() const {
    return description.isEmpty() && parameters.isEmpty() && returns.isEmpty() &&
           throws.isEmpty() && !deprecated && see.isEmpty() && since.isEmpty() &&
           authors.isEmpty() && examples.isEmpty();
  }
};

// A /** ... */ block (not a /*** banner).
bool IsJavadoc(QStringView comment);

// `comments`: the raw text of one or more adjacent comments, markers included ("-- x",
// "/* x */"), in source order. A /** block reads as Javadoc, and so does a plain comment
// with a line that starts with a Javadoc tag (@param, @return, ...); anything else as
// plain text.
DocComment ReadDocComment(const QStringList& comments);

// Whether `comments` (raw, as for ReadDocComment) are a licence or copyright notice.
bool IsLicence(const QStringList& comments);

// The description as plain text: paragraphs and list items one a line, preformatted lines
// as they are.
QString PlainText(const QList<TextBlock>& blocks);

}  // namespace plsql
