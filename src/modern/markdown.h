#pragma once
// The Markdown document: a folder with README.md (title block, general text, contents, the
// owners of each section with links to their pages, the sequences and roles) and a folder
// per database and owner (file_layout.h) with the owner's README.md (its overview and its
// objects, or its numbered folders, each with a README.md of its objects) and one page per
// table, view, unit and package, named by the object's anchor, with each diagram an .svg
// file of the same name beside it. Links are relative. GitHub-flavoured tables; the same
// model gives the same bytes, so a Git diff of two builds shows only what changed.

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "model/file_layout.h"
#include "model/object_links.h"

struct DocumentModel;
class DiagramSource;
class ObjectStream;
class TemplateSet;

struct OutputFile {
  QString name;  // a path inside the output folder ("demo/hr/README.md")
  QByteArray bytes;
};

// Writes the next piece of a file made a piece at a time; false when it could not be (the
// pieces after it are then not wanted).
using WritePiece = std::function<bool(std::string_view piece)>;
// Makes a file's bytes, handing them to `write` a piece at a time.
using MakeFile = std::function<void(const WritePiece& write)>;

// Hands one file of a folder to its write, which stages it at once; false when it could
// not be (the write then fails with the reason). A file of megabytes (the site's index.html
// and search index) is handed as it is made, a piece at a time, so that it is never held
// whole; a write that takes files whole only (`pieces` empty) is handed it joined.
class PutFile {
 public:
  using Whole = std::function<bool(const QString& name, const QByteArray& bytes)>;
  using Pieces = std::function<bool(const QString& name, const MakeFile& make)>;

  template <typename F, typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, PutFile> &&
                                                    std::is_constructible_v<Whole, F>>>
  PutFile(F&& whole, Pieces pieces = {})
      : whole_(std::forward<F>(whole)), pieces_(std::move(pieces)) {}

  bool operator()(const QString& name, const QByteArray& bytes) const {
    return whole_(name, bytes);
  }
  bool operator()(const QString& name, const MakeFile& make) const;

 private:
  Whole whole_;
  Pieces pieces_;
};

// Where the folder puts the files of each object of `model`.
FileLayout MarkdownLayout(const DocumentModel& model);
// How the pages in the owners' folders link, and the drawings beside them.
Links MarkdownLinks(const FileLayout& layout);

// README.md first, then the owners' pages and the overviews' drawings, then the object pages
// in document order, each followed by its drawing, each handed to `put` as it is made; false
// when `put` stopped it. With `objects`, `model` is their index (object_stream.h). With
// `layout`, the files go where it says (MarkdownLayout of `model`, made once for a build).
bool RenderMarkdown(const DocumentModel& model, const TemplateSet& templates,
                    const DiagramSource& diagrams, const PutFile& put,
                    const ObjectStream* objects = nullptr, const FileLayout* layout = nullptr);
// The same files as a list.
QList<OutputFile> RenderMarkdown(const DocumentModel& model, const TemplateSet& templates,
                                 const DiagramSource& diagrams);

// A text as Markdown that shows it literally: markup characters escaped with a backslash
// (also where a line start would make a heading, list, quote or rule of it), line breaks
// as "<br>", so a value can stand in a paragraph or a table cell alike.
std::string EscapeMarkdown(const std::string& text);
