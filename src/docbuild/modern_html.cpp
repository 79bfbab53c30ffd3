#include "docbuild/modern_html.h"

#include <kainjow/mustache.hpp>

#include "docbuild/document_view.h"
#include "docbuild/templates.h"

namespace mustache = kainjow::mustache;

namespace {

// Objects are written in batches (<div class="batch">) that the browser skips while out of
// view as it skips each object: it checks every skipped element at each frame after a change,
// which for 30,000 objects one by one cost a quarter of a second per keystroke in the filter.
constexpr qsizetype kBatchSize = 50;

template <typename T, typename Data>
std::string RenderEach(const QList<T>& objects, const TemplateSet& templates, const QString& name,
                       Data data) {
  std::string out;
  for (qsizetype i = 0; i < objects.size(); ++i) {
    if (i % kBatchSize == 0) out += "<div class=\"batch\">\n";
    templates.Render(name, data(objects[i]), out);
    if (i % kBatchSize == kBatchSize - 1 || i == objects.size() - 1) out += "</div>\n";
  }
  return out;
}

}  // namespace

std::string RenderModernHtml(const DocumentModel& model, const TemplateSet& templates,
                             const Diagrams& diagrams) {
  const DocumentView view(model, LinkStyle::Page, &diagrams);
  auto objects = [&](SectionKind kind) -> std::string {
    switch (kind) {
      case SectionKind::Tables:
        return RenderEach(model.tables, templates, "table.html",
                          [&](const TableObject& o) { return view.TableData(o); });
      case SectionKind::Views:
        return RenderEach(model.views, templates, "view.html",
                          [&](const ViewObject& o) { return view.ViewData(o); });
      case SectionKind::Units:
        return RenderEach(model.units, templates, "unit.html",
                          [&](const UnitObject& o) { return view.UnitData(o); });
      case SectionKind::Packages:
        return RenderEach(model.packages, templates, "package.html",
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
