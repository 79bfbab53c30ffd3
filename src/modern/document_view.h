#pragma once
// The document model as the data the templates see (Mustache values), the same for every
// modern format: names, texts split into paragraphs and lines, links already resolved. The
// values are unescaped; each format's renderer escapes them for its own syntax.
//
// Field names are the templates' contract (a user's own template uses them too); see
// docs/templates.md.

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <string>

#include "model/document_model.h"
#include "model/name_index.h"
#include "model/object_links.h"

namespace kainjow::mustache {
template <typename string_type>
class basic_data;
}
using TemplateData = kainjow::mustache::basic_data<std::string>;

class DeferredValues;
class DiagramSource;
class ObjectStream;

// Puts `value` into the object `d` under `name`, or at the end of `list`, moved: the template
// library's own set and push_back copy all the value holds.
void SetData(TemplateData& d, const std::string& name, TemplateData value);
void AppendData(TemplateData& list, TemplateData value);

// The document's name as its pages show it: the project's, or "Untitled project" when that
// is blank, as a page needs a title and a heading that say something.
QString DocumentName(const DocumentModel& model);

class DocumentView {
 public:
  // With `diagrams`, a table shows its diagram and the tables section the overviews. With
  // `objects`, the model holds only the objects' index and the objects come from there.
  DocumentView(const DocumentModel& model, ::Links links,
               const DiagramSource* diagrams = nullptr, const ObjectStream* objects = nullptr);

  // The title block, the contents (grouped by section and database/owner) and the
  // sections with their texts. Each section's objects are rendered apart (from TableData
  // and its neighbours); `objects` gives that rendering, set as the section's "objects".
  // The contents' items, the overviews' links and the sequences and roles are left to
  // `deferred`, to be made a group at a time as the page is rendered; it and this view
  // must outlive the rendering.
  TemplateData PageData(const std::function<std::string(SectionKind)>& objects,
                        DeferredValues& deferred) const;

  // The sequences or roles for the web site's numbered page `page` (from 0) of their own
  // (list_pages.h): `title`, `anchor`, `text`, the page's `entries` and the `pager` between
  // the pages. The site's index.html has a `listPage` leading to the first instead, as
  // thousands of rows would make it slow to open; the web page lists them in place.
  TemplateData ListData(SectionKind kind, int page = 0) const;

  // What changed since the older snapshot (false when none was compared).
  TemplateData ChangesData() const;
  // An object's data; with `svg`, its drawing (empty when it has none) goes there too.
  TemplateData TableData(const TableObject& table, std::string* svg = nullptr) const;
  TemplateData ViewData(const ViewObject& view) const;
  TemplateData UnitData(const UnitObject& unit, std::string* svg = nullptr) const;
  TemplateData PackageData(const PackageObject& package, std::string* svg = nullptr) const;

  // Each object of a tables, views, units or packages section, in document order, with its
  // anchor, its data, which `each` may add to, and its drawing (empty when none); nothing
  // for any other section.
  using EachObject =
      std::function<void(const QString& anchor, TemplateData& data, const std::string& svg)>;
  void ForEachObject(SectionKind kind, const EachObject& each) const;
  // The base name of the template of a section's objects: "table", "view", "unit", "package".
  static QString ObjectTemplate(SectionKind kind);

  // How this view links, and the link to an object by its anchor and to a member of a package.
  const ::Links& Links() const { return links_; }
  QString ObjectHref(const QString& anchor) const;
  QString MemberHref(const QString& packageAnchor, const QString& memberAnchor) const;
  // The anchor of a section ("tables", ...); never contains a ".", so never an object's.
  static QString SectionAnchor(SectionKind kind);

  // Where {@link X} and @see X lead: a member of `package` (when given), or any object or
  // package member of the document by NAME, OWNER.NAME or PACKAGE.MEMBER; empty when X is
  // not in the document.
  QString DocHref(const QString& target, const PackageObject* package) const;

  // The older snapshot's name when the object `anchor` changed since it, else empty.
  QString ChangedSince(const QString& anchor) const;

 private:
  // A row of the sequences' or roles' list.
  TemplateData ListRow(const ListEntry& entry) const;
  // `usageDiagram` (`svg`, `file`) and `usageDiagramNote` of a unit's or package's drawing.
  void SetUsageDiagram(TemplateData& d, const ObjectKey& key, const QString& type,
                       const QString& anchor, const ModelDependencies& dependencies,
                       std::string* svg) const;
  // The triggers on the table or view `key` (its `anchor`), as the templates list them.
  TemplateData TriggerList(const QList<ModelTrigger>& list, const ObjectKey& key,
                           const QString& anchor) const;

  const DocumentModel& model_;
  QSet<QString> changed_;  // the anchors of the objects with changes
  ::Links links_;
  const DiagramSource* diagrams_;
  const ObjectStream* objects_;
  // Where a name of a link leads: an object, or a member of a package.
  struct LinkTarget {
    SectionKind kind;
    int object;
    int member;      // of a package; -1 for the object itself
    bool qualified;  // OWNER.NAME rather than NAME
  };
  QString LinkName(const LinkTarget& target) const;  // upper case
  NameIndex<LinkTarget> linkTargets_;
};
