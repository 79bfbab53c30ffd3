#include "plsql/lexer.h"

namespace plsql {

namespace {

bool IsWordStart(QChar c) { return c.isLetter() || c == u'$'; }
bool IsWordPart(QChar c) {
  return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
}

// The character that closes a q'X...X' string opened by X.
QChar ClosingQuote(QChar open) {
  switch (open.unicode()) {
    case u'[': return u']';
    case u'{': return u'}';
    case u'(': return u')';
    case u'<': return u'>';
    default: return open;
  }
}

class Lexer {
 public:
  explicit Lexer(QStringView text) : text_(text) {}

  QList<Token> Run() {
    QList<Token> tokens;
    tokens.reserve(text_.size() / 4);
    while (true) {
      SkipBlanks();
      if (at_ >= text_.size()) break;
      tokens.append(Next());
    }
    return tokens;
  }

 private:
  QChar Peek(qsizetype ahead = 0) const {
    const qsizetype i = at_ + ahead;
    return i < text_.size() ? text_[i] : QChar();
  }

  void Advance() {
    if (text_[at_] == u'\n') ++line_;
    ++at_;
  }

  void SkipBlanks() {
    while (at_ < text_.size() && text_[at_].isSpace()) Advance();
  }

  Token Next() {
    Token t;
    t.start = at_;
    t.line = line_;
    const QChar c = Peek();
    if (c == u'-' && Peek(1) == u'-') {
      t.kind = TokenKind::LineComment;
      while (at_ < text_.size() && text_[at_] != u'\n') ++at_;
    } else if (c == u'/' && Peek(1) == u'*') {
      t.kind = TokenKind::BlockComment;
      at_ += 2;
      while (at_ < text_.size() && !(text_[at_] == u'*' && Peek(1) == u'/')) Advance();
      at_ = qMin(at_ + 2, text_.size());
    } else if (c == u'\'') {
      t.kind = TokenKind::String;
      PlainString();
    } else if ((c == u'q' || c == u'Q') && Peek(1) == u'\'' && at_ + 2 < text_.size()) {
      t.kind = TokenKind::String;
      QuotedString(1);
    } else if ((c == u'n' || c == u'N') && (Peek(1) == u'q' || Peek(1) == u'Q') &&
               Peek(2) == u'\'' && at_ + 3 < text_.size()) {
      t.kind = TokenKind::String;
      QuotedString(2);
    } else if ((c == u'n' || c == u'N') && Peek(1) == u'\'') {
      t.kind = TokenKind::String;
      ++at_;
      PlainString();
    } else if (c == u'"') {
      t.kind = TokenKind::QuotedName;
      ++at_;
      while (at_ < text_.size() && text_[at_] != u'"') Advance();
      if (at_ < text_.size()) ++at_;
    } else if (IsWordStart(c)) {
      t.kind = TokenKind::Word;
      while (at_ < text_.size() && IsWordPart(text_[at_])) ++at_;
    } else if (c.isDigit() || (c == u'.' && Peek(1).isDigit())) {
      t.kind = TokenKind::Number;
      while (at_ < text_.size() && (text_[at_].isLetterOrNumber() || text_[at_] == u'.')) {
        if (text_[at_] == u'.' && Peek(1) == u'.') break;  // a range: 1..10
        ++at_;
      }
    } else {
      t.kind = TokenKind::Symbol;
      static constexpr char16_t kPairs[][2] = {{u':', u'='}, {u'=', u'>'}, {u'.', u'.'},
                                               {u'|', u'|'}, {u'<', u'<'}, {u'>', u'>'},
                                               {u'!', u'='}, {u'<', u'>'}, {u'<', u'='},
                                               {u'>', u'='}, {u'*', u'*'}, {u'~', u'='},
                                               {u'^', u'='}};
      t.symbol[0] = c.unicode();
      for (const auto& pair : kPairs) {
        if (pair[0] == c && pair[1] == Peek(1)) t.symbol[1] = pair[1];
      }
      at_ += t.symbol[1] ? 2 : 1;
    }
    t.end = at_;
    t.endLine = line_;
    t.text = text_.sliced(t.start, t.end - t.start);
    return t;
  }

  // '...' with '' standing for one quote; at_ is on the opening quote.
  void PlainString() {
    ++at_;
    while (at_ < text_.size()) {
      if (text_[at_] == u'\'') {
        if (Peek(1) != u'\'') {
          ++at_;
          return;
        }
        ++at_;
      }
      Advance();
    }
  }

  // q'X...X': `prefix` characters before the quote; ends at the closing character of X
  // followed by a quote.
  void QuotedString(int prefix) {
    at_ += prefix + 1;
    const QChar close = ClosingQuote(text_[at_]);
    Advance();
    while (at_ < text_.size()) {
      if (text_[at_] == close && Peek(1) == u'\'') {
        at_ += 2;
        return;
      }
      Advance();
    }
  }

  QStringView text_;
  qsizetype at_ = 0;
  int line_ = 1;
};

bool IsDirective(const Token& t) { return t.kind == TokenKind::Word && t.text.startsWith(u'$'); }

// Keeps the first branch of every $if ... $end and drops the rest: conditions, $elsif and
// $else branches, $error ... $end.
QList<Token> FirstBranches(const QList<Token>& tokens) {
  enum class Part { Condition, Kept, Dropped };
  QList<Part> open;  // one per enclosing $if or $error
  QList<Token> kept;
  kept.reserve(tokens.size());
  const auto dropping = [&open] {
    for (Part p : open) {
      if (p != Part::Kept) return true;
    }
    return false;
  };
  for (const Token& t : tokens) {
    if (IsDirective(t)) {
      if (t.Is("$IF")) {
        open.append(Part::Condition);
        continue;
      }
      if (t.Is("$ERROR")) {
        open.append(Part::Dropped);
        continue;
      }
      if (!open.isEmpty()) {
        if (t.Is("$THEN")) {
          if (open.last() == Part::Condition) open.last() = Part::Kept;
          continue;
        }
        if (t.Is("$ELSIF") || t.Is("$ELSE")) {
          open.last() = Part::Dropped;
          continue;
        }
        if (t.Is("$END")) {
          open.removeLast();
          continue;
        }
      }
    }
    if (!dropping()) kept.append(t);
  }
  return kept;
}

}  // namespace

QList<Token> Tokenize(QStringView text) {
  QList<Token> tokens = Lexer(text).Run();
  for (const Token& t : tokens) {
    if (IsDirective(t) && (t.Is("$IF") || t.Is("$ERROR")))
      return FirstBranches(tokens);
  }
  return tokens;
}

}  // namespace plsql
