#include "docbuild/modern_html.h"

#include <kainjow/mustache.hpp>

#include "docbuild/document_view.h"
#include "docbuild/templates.h"

namespace mustache = kainjow::mustache;

namespace {

template <typename T, typename Data>
std::string RenderEach(const QList<T>& objects, mustache::mustache& tmpl, Data data) {
  std::string out;
  for (const T& o : objects) tmpl.render(data(o), [&out](const std::string& s) { out += s; });
  return out;
}

}  // namespace

std::string RenderModernHtml(const DocumentModel& model, const TemplateSet& templates,
                             const Diagrams& diagrams) {
  const DocumentView view(model, LinkStyle::Page, &diagrams);
  auto objects = [&](SectionKind kind) -> std::string {
    switch (kind) {
      case SectionKind::Tables:
        return RenderEach(model.tables, templates.Template("table.html"),
                          [&](const TableObject& o) { return view.TableData(o); });
      case SectionKind::Views:
        return RenderEach(model.views, templates.Template("view.html"),
                          [&](const ViewObject& o) { return view.ViewData(o); });
      case SectionKind::Units:
        return RenderEach(model.units, templates.Template("unit.html"),
                          [&](const UnitObject& o) { return view.UnitData(o); });
      case SectionKind::Packages:
        return RenderEach(model.packages, templates.Template("package.html"),
                          [&](const PackageObject& o) { return view.PackageData(o); });
      default: return {};
    }
  };
  mustache::data page = view.PageData(objects);
  page.set("style", mustache::partial([&] { return templates.Text("style.css"); }));
  page.set("script", mustache::partial([&] { return templates.Text("script.js"); }));
  std::string out;
  templates.Template("page.html").render(page, [&out](const std::string& s) { out += s; });
  return out;
}
