#pragma once
// The Markdown document: a folder with README.md (title block, general text, contents with
// relative links, the owners' overviews, the sequences and roles) and one page per table,
// view, unit and package, named by the object's anchor, with each diagram an .svg file of
// the same name. GitHub-flavoured tables; the same model gives the same
// bytes, so a Git diff of two builds shows only what changed.

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <string>

struct DocumentModel;
class DiagramSource;
class ObjectStream;
class TemplateSet;

struct OutputFile {
  QString name;  // a file name inside the output folder
  QByteArray bytes;
};

// Hands one file of a folder to its write, which stages it at once; false when it could
// not be (the write then fails with the reason).
using PutFile = std::function<bool(const QString& name, const QByteArray& bytes)>;

// README.md first, then the overviews' drawings, then the object pages in document order,
// each followed by its drawing, each handed to `put` as it is made; false when `put`
// stopped it.
// With `objects`, `model` is their index (object_stream.h).
bool RenderMarkdown(const DocumentModel& model, const TemplateSet& templates,
                    const DiagramSource& diagrams, const PutFile& put,
                    const ObjectStream* objects = nullptr);
// The same files as a list.
QList<OutputFile> RenderMarkdown(const DocumentModel& model, const TemplateSet& templates,
                                 const DiagramSource& diagrams);

// A text as Markdown that shows it literally: markup characters escaped with a backslash
// (also where a line start would make a heading, list, quote or rule of it), line breaks
// as "<br>", so a value can stand in a paragraph or a table cell alike.
std::string EscapeMarkdown(const std::string& text);
