#include "modern/site.h"

#include <kainjow/mustache.hpp>

#include "model/document_model.h"
#include "modern/document_view.h"
#include "modern/modern_html.h"
#include "modern/search_index.h"
#include "modern/templates.h"

namespace {

std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

QList<OutputFile> RenderSite(const DocumentModel& model, const TemplateSet& templates,
                             const Diagrams& diagrams) {
  for (const QString& name : TemplateSet::Names(TemplateFormat::ModernHtml))
    templates.Template(name).set_custom_escape(EscapeModernHtml);
  const DocumentView view(model, LinkStyle::Site, &diagrams);
  QList<OutputFile> files;
  std::string index;
  templates.Render(QStringLiteral("page.html"),
                   view.PageData([](SectionKind) { return std::string(); }), index);
  files.append({QStringLiteral("index.html"), QByteArray::fromStdString(index)});

  kainjow::mustache::data document;
  document.set("name", S(model.name));
  document.set("version", S(model.version));
  for (const SectionKind kind : model.sections) {
    const QString name = DocumentView::ObjectTemplate(kind) + QStringLiteral(".html");
    kainjow::mustache::data section;
    section.set("title", S(SectionTitle(kind)));
    section.set("href", S(QStringLiteral("index.html#") + DocumentView::SectionAnchor(kind)));
    view.ForEachObject(kind, [&](const QString& anchor, const TemplateData& data) {
      std::string article;
      templates.Render(name, data, article);
      TemplateData page = data;
      page.set("article", article);
      page.set("document", document);
      page.set("section", section);
      std::string out;
      templates.Render(QStringLiteral("object.html"), page, out);
      files.append({ObjectFileName(anchor, QStringLiteral(".html")), QByteArray::fromStdString(out)});
    });
  }
  for (const char* shared : {"style.css", "script.js"}) {
    std::string text;
    templates.Render(QString::fromLatin1(shared), kainjow::mustache::data(), text);
    files.append({QString::fromLatin1(shared), QByteArray::fromStdString(text)});
  }
  files.append({QString::fromLatin1(kSearchIndexName),
                QByteArray::fromStdString(SearchIndexScript(model))});
  return files;
}
