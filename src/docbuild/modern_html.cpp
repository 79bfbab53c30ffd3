#include "docbuild/modern_html.h"

#include <kainjow/mustache.hpp>

#include "docbuild/document_view.h"
#include "docbuild/templates.h"

namespace {

// Objects are written in batches (<div class="batch">) that the browser skips while out of
// view as it skips each object: it checks every skipped element at each frame after a change,
// which for 30,000 objects one by one cost a quarter of a second per keystroke in the filter.
constexpr qsizetype kBatchSize = 50;

}  // namespace

std::string RenderModernHtml(const DocumentModel& model, const TemplateSet& templates,
                             const Diagrams& diagrams) {
  const DocumentView view(model, LinkStyle::Page, &diagrams);
  auto objects = [&](SectionKind kind) {
    const QString name = DocumentView::ObjectTemplate(kind) + QStringLiteral(".html");
    std::string out;
    qsizetype written = 0;
    view.ForEachObject(kind, [&](const QString&, const TemplateData& data) {
      if (written++ % kBatchSize == 0) out += "<div class=\"batch\">\n";
      templates.Render(name, data, out);
      if (written % kBatchSize == 0) out += "</div>\n";
    });
    if (written % kBatchSize != 0) out += "</div>\n";
    return out;
  };
  std::string out;
  templates.Render(QStringLiteral("page.html"), view.PageData(objects), out);
  return out;
}
