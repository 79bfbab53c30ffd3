#pragma once
// The web site's search index: for each table, view, unit and package, the words of its
// column names, comments, descriptions and source text, so that the contents' search box
// finds an object by what it holds and not only by its name.
//
// It is a script (search-index.js) rather than data a page requests: a page opened from
// file:// may load a script beside it but may not read a file. Each object's words are
// lower case, each once, in the order they first come, so the index stays a fraction of
// the pages it describes. Loaded, it sets window.vellumarSearch to an object that maps each
// object's link (as the contents give it) to its words, and calls window.onVellumarSearch
// when the page's script is waiting for it.

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>
#include <functional>
#include <memory>
#include <string_view>

struct DocumentModel;
struct TableObject;
struct ViewObject;
struct UnitObject;
struct PackageObject;

// The file's name in the site folder.
inline constexpr const char* kSearchIndexName = "search-index.js";

// The index made object by object, in document order (tables, views, units, packages), as
// a streamed build reads them: only the words are kept, in memory or, once Open, in a
// temporary file as each object's come, so that a large site's megabytes of words are not
// held while it is built.
class SearchIndex {
 public:
  // Creates the temporary file; false with the reason.
  bool Open(QString* error);
  void Add(const TableObject& table);
  void Add(const ViewObject& view);
  void Add(const UnitObject& unit);
  void Add(const PackageObject& package);
  // Why a write to the file failed (a full disk); empty when none did.
  QString Error() const { return error_; }
  // The script, once every object is added, handed to `write` a piece at a time, so that a
  // large site's megabytes of words are never held whole; the index is empty afterwards. A
  // file that cannot be read back throws SpillFailure.
  void TakeScript(const std::function<bool(std::string_view piece)>& write);
  // The same, whole.
  QByteArray TakeScript();

 private:
  void Entry(const QString& anchor, const QString& words);

  QByteArray script_;  // the script up to the last entry; with the file, the entry
  std::unique_ptr<QTemporaryFile> file_;
  QString error_;
  bool empty_ = true;
};

QByteArray SearchIndexScript(const DocumentModel& model);
