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
      SetData(object, "name", S(d.object.owner == owner ? d.object.name
                                                   : d.object.owner + u'.' + d.object.name));
      const QString href = DependencyHref(view.Links(), d);
      SetData(object, "href", href.isEmpty() ? mustache::data(false) : mustache::data(S(href)));
      SetData(object, "more", i + 1 < list.size() && list[i + 1].type == type);
      AppendData(objects, std::move(object));
    }
    mustache::data kind;
    SetData(kind, "title", S(DependencyKindTitle(type)));
    SetData(kind, "objects", std::move(objects));
    SetData(kind, "more", i < list.size());
    AppendData(kinds, std::move(kind));
  }
  if (kinds.is_empty_list()) return mustache::data(false);
  mustache::data d;
  SetData(d, "kinds", std::move(kinds));
  return d;
}

}  // namespace

void SetDependencies(TemplateData& data, const ModelDependencies& dependencies,
                     const QString& owner, const DocumentView& view) {
  SetData(data, "uses", Kinds(dependencies.uses, owner, view));
  SetData(data, "usedBy", Kinds(dependencies.usedBy, owner, view));
  data.set("hasUsage", !dependencies.uses.isEmpty() || !dependencies.usedBy.isEmpty());
  data.set("usageDiagram", false);  // a unit's or package's drawing replaces these
  data.set("usageDiagramNote", false);
}
