#include "modern/search_index.h"

#include <QDir>
#include <QSet>
#include <QStringList>
#include <algorithm>

#include "model/document_model.h"
#include "model/object_spill.h"
#include "model/object_links.h"
#include "text/temporary_files.h"

namespace {

// Collects an object's words: runs of letters, digits, "_", "$" and "#" (what an Oracle
// name is made of), lower case, each once.
class Words {
 public:
  void Add(const QString& text) {
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
      if (i < text.size() && IsWordCharacter(text[i])) continue;
      if (i > start) {
        // One copy per word, lowered in place: a character at a time, appended, cost a
        // large site a twentieth of its build.
        QString word = text.mid(start, i - start);
        for (QChar& c : word) c = c.toLower();
        Take(word);
      }
      start = i + 1;
    }
  }
  void Add(const QStringList& texts) {
    for (const QString& t : texts) Add(t);
  }
  QString Joined() const { return order_.join(u' '); }

 private:
  static bool IsWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
  }
  void Take(const QString& word) {
    if (!seen_.contains(word)) {
      seen_.insert(word);
      order_.append(word);
    }
  }
  QSet<QString> seen_;
  QStringList order_;
};

void AddColumns(Words& words, const QList<ModelColumn>& columns) {
  for (const ModelColumn& c : columns) {
    words.Add(c.name);
    words.Add(c.comment);
  }
}

}  // namespace

bool SearchIndex::Open(QString* error) {
  file_ = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                           QStringLiteral("/vellumar-search-XXXXXX"));
  if (file_->open()) return true;
  *error = file_->errorString();
  return false;
}

void SearchIndex::Entry(const QString& anchor, const QString& words) {
  if (file_) script_.resize(0);
  if (empty_) script_ = "window.vellumarSearch = {";
  script_ += empty_ ? "\n\"" : ",\n\"";
  empty_ = false;
  // Links are anchors (lower-case ASCII) and words letters, digits, "_", "$" and "#": no
  // character of either needs escaping in a string.
  script_ += ObjectHref(LinkStyle::Site, anchor).toUtf8();
  script_ += "\":\"";
  script_ += words.toUtf8();
  script_ += '"';
  if (file_ && error_.isEmpty()) temporaryfiles::WriteAll(*file_, script_, &error_);
}

void SearchIndex::Add(const TableObject& t) {
  Words words;
  words.Add(t.description);
  words.Add(t.dictionaryComment);
  AddColumns(words, t.columns);
  for (const ModelConstraint& c : t.constraints) words.Add(c.name);
  for (const ModelIndex& i : t.indexes) words.Add(i.name);
  Entry(t.anchor, words.Joined());
}

void SearchIndex::Add(const ViewObject& v) {
  Words words;
  words.Add(v.description);
  words.Add(v.dictionaryComment);
  AddColumns(words, v.columns);
  words.Add(v.text);
  Entry(v.anchor, words.Joined());
}

void SearchIndex::Add(const UnitObject& u) {
  Words words;
  words.Add(u.source);  // its comment blocks and declarations are in its source
  Entry(u.anchor, words.Joined());
}

void SearchIndex::Add(const PackageObject& p) {
  Words words;
  words.Add(p.description);
  words.Add(p.source);
  Entry(p.anchor, words.Joined());
}

void SearchIndex::TakeScript(const std::function<bool(std::string_view piece)>& write) {
  static constexpr std::string_view kEnd =
      "\n};\nif (window.onVellumarSearch) window.onVellumarSearch();\n";
  const auto put = [&write](const QByteArray& bytes) {
    return write(std::string_view(bytes.constData(), std::size_t(bytes.size())));
  };
  bool ok = true;
  if (file_) {
    const qint64 size = file_->pos();
    QString reason = error_;
    if (!reason.isEmpty() || !temporaryfiles::Flush(*file_, &reason)) throw SpillFailure{reason};
    if (!file_->seek(0)) throw SpillFailure{file_->errorString()};
    // A block at a time: the file is the words of every object.
    constexpr qint64 kBlock = 256 * 1024;
    QByteArray block;
    for (qint64 at = 0; ok && at < size; at += block.size()) {
      block.resize(qsizetype(std::min(kBlock, size - at)));
      if (file_->read(block.data(), block.size()) != block.size())
        throw SpillFailure{file_->errorString()};
      ok = put(block);
    }
    file_->seek(0);
    file_->resize(0);
  } else {
    ok = put(script_);
  }
  if (ok && empty_) ok = write("window.vellumarSearch = {");
  if (ok) write(kEnd);
  empty_ = true;
  script_ = QByteArray();
}

QByteArray SearchIndex::TakeScript() {
  QByteArray script;
  TakeScript([&script](std::string_view piece) {
    script.append(piece.data(), qsizetype(piece.size()));
    return true;
  });
  return script;
}

QByteArray SearchIndexScript(const DocumentModel& model) {
  SearchIndex index;
  for (const TableObject& t : model.tables) index.Add(t);
  for (const ViewObject& v : model.views) index.Add(v);
  for (const UnitObject& u : model.units) index.Add(u);
  for (const PackageObject& p : model.packages) index.Add(p);
  return index.TakeScript();
}
