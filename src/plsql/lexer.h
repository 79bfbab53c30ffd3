#pragma once
// The tokens of PL/SQL source, enough to find declarations and the comments around them:
// words, quoted names, strings (q'[...]' quoting included), numbers, symbols and the two
// kinds of comments, each with its place in the text and its lines.
//
// Conditional compilation is resolved the simple way: of each $if ... $end only the first
// branch is kept ($elsif and $else branches, the conditions and $error directives go), so a
// declaration written once per branch is read once. The lexer never fails: an unterminated
// string, name or comment runs to the end of the text.

#include <QList>
#include <QString>
#include <QStringView>

namespace plsql {

enum class TokenKind { Word, QuotedName, String, Number, Symbol, LineComment, BlockComment };

struct Token {
  TokenKind kind = TokenKind::Symbol;
  qsizetype start = 0;  // offset in the text
  qsizetype end = 0;    // one past the last character
  int line = 1;         // 1-based line of the first character
  int endLine = 1;      // line of the last character
  QStringView text;     // the token as written, in the text it was read from
  char16_t symbol[2] = {0, 0};  // a symbol's one or two characters

  bool IsComment() const {
    return kind == TokenKind::LineComment || kind == TokenKind::BlockComment;
  }
  // `word` in upper case.
  bool Is(const char* word) const {
    return kind == TokenKind::Word && text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
  }
  // A word upper case (as the dictionary keeps unquoted names), a quoted name as written.
  QString Name() const {
    if (kind == TokenKind::QuotedName)
      return text.sliced(1, text.size() - (text.endsWith(u'"') && text.size() > 1 ? 2 : 1)).toString();
    return text.toString().toUpper();
  }
  bool IsSymbol(char16_t first, char16_t second = 0) const {
    return kind == TokenKind::Symbol && symbol[0] == first && symbol[1] == second;
  }
};

// The tokens of `text` in order, with conditional compilation resolved; they refer to
// `text`, which must outlive them.
QList<Token> Tokenize(QStringView text);

}  // namespace plsql
