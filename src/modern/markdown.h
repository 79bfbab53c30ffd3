#pragma once
// The Markdown document: a folder with README.md (title block, general text, contents, the
// owners of each section with links to their pages, the sequences and roles) and a folder
// per database and owner (file_layout.h) with the owner's README.md (its overview and its
// objects, or its numbered folders, each with a README.md of its objects) and one page per
// table, view, unit and package, named by the object's anchor, with each diagram an .svg
// file of the same name beside it. Links are relative. GitHub-flavoured tables; the same
// model gives the same bytes, so a Git diff of two builds shows only what changed.

#include <QList>
#include <string>

#include "model/file_layout.h"
#include "model/object_links.h"
#include "modern/folder_files.h"

struct DocumentModel;
class DiagramSource;
class ObjectStream;
class TemplateSet;

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
