#pragma once
// The web site: a folder with index.html (the title block, the general text, the coverage,
// the contents with their filter, the owners' overviews) and one page per table, view, unit
// and package, named by the object's anchor, numbered pages of the sequences and of the roles
// (sequences.html, sequences-2.html, roles.html; list_pages.h), all sharing one
// style.css and one script.js, and the search index the contents' box searches
// (search_index.h). Links between pages are relative and anchors are those of the
// web page, so the folder works from file:// and from any static web server, and a large
// project's reader opens only the page they read.
//
// It is rendered from the web page's templates (page.html for the index, the object
// templates for each page's object, object.html around it, list.html around a list, whose
// table entries.html is the web page's too), so a template of the user's changes both alike.

#include <QList>

#include "model/list_pages.h"
#include "modern/folder_files.h"

struct DocumentModel;
class DiagramSource;
class ObjectStream;
class TemplateSet;

// index.html first, then the object pages in document order, the lists' pages, style.css, script.js and
// the search index, each handed to `put` as it is made; false when `put` stopped it.
// With `objects`, `model` is their index (object_stream.h). The lists' pages hold
// `listRows` rows each; `diagrams` must link by the same ListPages.
bool RenderSite(const DocumentModel& model, const TemplateSet& templates,
                const DiagramSource& diagrams, const PutFile& put,
                const ObjectStream* objects = nullptr, int listRows = ListPages::kRows);
// The same files as a list.
QList<OutputFile> RenderSite(const DocumentModel& model, const TemplateSet& templates,
                             const DiagramSource& diagrams, int listRows = ListPages::kRows);
