#include "modern/dependency_data.h"

#include <kainjow/mustache.hpp>

#include "model/what_uses_what.h"

namespace mustache = kainjow::mustache;

namespace {

std::string S(const QString& text) { return text.toStdString(); }

mustache::data Kinds(const QList<ModelDependency>& list, const QString& owner,
                     const DocumentView& view) {
  mustache::data kinds(mustache::data::type::list);
  for (qsizetype i = 0; i < list.size();) {
    const QString type = list[i].type;
    mustache::data objects(mustache::data::type::list);
    for (; i < list.size() && list[i].type == type; ++i) {
      const ModelDependency& d = list[i];
      mustache::data object;
      object.set("name", S(d.object.owner == owner ? d.object.name
                                                   : d.object.owner + u'.' + d.object.name));
      const QString href = DependencyHref(view.Links(), d);
      object.set("href", href.isEmpty() ? mustache::data(false) : mustache::data(S(href)));
      object.set("more", i + 1 < list.size() && list[i + 1].type == type);
      objects.push_back(object);
    }
    mustache::data kind;
    kind.set("title", S(DependencyKindTitle(type)));
    kind.set("objects", objects);
    kind.set("more", i < list.size());
    kinds.push_back(kind);
  }
  if (kinds.is_empty_list()) return mustache::data(false);
  mustache::data d;
  d.set("kinds", kinds);
  return d;
}

}  // namespace

QString DependencyKindTitle(const QString& type) {
  QString title = type.toLower();
  if (title.isEmpty()) return title;
  title[0] = title[0].toUpper();
  if (title.endsWith(u'y')) return title.chopped(1) + QStringLiteral("ies");
  if (title.endsWith(u's')) return title + QStringLiteral("es");
  return title + u's';
}

void SetDependencies(TemplateData& data, const ModelDependencies& dependencies,
                     const QString& owner, const DocumentView& view) {
  data.set("uses", Kinds(dependencies.uses, owner, view));
  data.set("usedBy", Kinds(dependencies.usedBy, owner, view));
  // The partial is read only where it shows something: the template library parses a
  // partial anew at every inclusion.
  data.set("hasUsage", !dependencies.uses.isEmpty() || !dependencies.usedBy.isEmpty());
  data.set("usageDiagram", false);  // a unit's or package's drawing replaces these
  data.set("usageDiagramNote", false);
}
