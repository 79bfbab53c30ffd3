#include "modern/site.h"

#include <kainjow/mustache.hpp>

#include "model/document_model.h"
#include "model/list_pages.h"
#include "model/object_links.h"
#include "modern/document_view.h"
#include "modern/modern_html.h"
#include "modern/object_stream.h"
#include "modern/search_index.h"
#include "modern/templates.h"

namespace {

std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

bool RenderSite(const DocumentModel& model, const TemplateSet& templates,
                const DiagramSource& diagrams, const PutFile& put,
                const ObjectStream* objects, int listRows) {
  templates.SetEscape(EscapeModernHtml);
  const ListPages lists(model, listRows);
  const DocumentView view(model, Links(lists), &diagrams, objects);
  {
    // Written as it is rendered: index.html is megabytes at tens of thousands of objects.
    DeferredValues deferred;
    const TemplateData page = view.PageData([](SectionKind) { return std::string(); }, deferred);
    if (!put(QStringLiteral("index.html"), [&](const WritePiece& write) {
          templates.Render(QStringLiteral("page.html"), page,
                           [&write](const std::string& s) { write(s); }, &deferred);
        }))
      return false;
  }

  kainjow::mustache::data document;
  document.set("name", S(DocumentName(model)));
  document.set("version", S(model.version));
  for (const SectionKind kind : model.sections) {
    const QString name = DocumentView::ObjectTemplate(kind) + QStringLiteral(".html");
    kainjow::mustache::data section;
    section.set("title", S(SectionTitle(kind)));
    section.set("href", S(QStringLiteral("index.html#") + DocumentView::SectionAnchor(kind)));
    bool ok = true;
    view.ForEachObject(kind, [&](const QString& anchor, TemplateData& data, const std::string&) {
      if (!ok) return;
      std::string article;
      templates.Render(name, data, article);
      SetData(data, "article", std::move(article));
      data.set("document", document);
      data.set("section", section);
      std::string out;
      templates.Render(QStringLiteral("object.html"), data, out);
      ok = put(ObjectFileName(anchor, QStringLiteral(".html")), QByteArray::fromStdString(out));
    });
    if (!ok) return false;
  }
  for (const SectionKind kind : model.sections) {
    if (kind != SectionKind::Sequences && kind != SectionKind::Roles) continue;
    for (int page = 0; page < lists.Count(kind); ++page) {
      TemplateData data = view.ListData(kind, page);
      data.set("document", document);
      std::string out;
      templates.Render(QStringLiteral("list.html"), data, out);
      if (!put(ListPageName(kind, page), QByteArray::fromStdString(out))) return false;
    }
  }
  for (const char* shared : {"style.css", "script.js"}) {
    std::string text;
    templates.Render(QString::fromLatin1(shared), kainjow::mustache::data(), text);
    if (!put(QString::fromLatin1(shared), QByteArray::fromStdString(text))) return false;
  }
  if (!objects) return put(QString::fromLatin1(kSearchIndexName), SearchIndexScript(model));
  return put(QString::fromLatin1(kSearchIndexName),
             [objects](const WritePiece& write) { objects->TakeSearchIndexScript(write); });
}

QList<OutputFile> RenderSite(const DocumentModel& model, const TemplateSet& templates,
                             const DiagramSource& diagrams, int listRows) {
  QList<OutputFile> files;
  RenderSite(
      model, templates, diagrams,
      [&files](const QString& name, const QByteArray& bytes) {
        files.append({name, bytes});
        return true;
      },
      nullptr, listRows);
  return files;
}
