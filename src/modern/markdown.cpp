#include "modern/markdown.h"

#include <kainjow/mustache.hpp>

#include "diagrams/diagrams.h"
#include "modern/document_view.h"
#include "modern/templates.h"

std::string EscapeMarkdown(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  // A value's start may be a line's start: a list marker, heading or rule there is escaped.
  std::size_t i = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') out += text[i++];
  if (i > 0 && i < text.size() && (text[i] == '.' || text[i] == ')')) out += '\\';
  if (i == 0 && !text.empty() && (text[0] == '-' || text[0] == '+' || text[0] == '='))
    out += '\\';
  for (; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '\\': case '`': case '*': case '_': case '[': case ']': case '<': case '>':
      case '#': case '|': case '~': case '&': case '$':
        out += '\\';
        out += c;
        break;
      case '\r':
        break;
      case '\n':
        out += "<br>";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool RenderMarkdown(const DocumentModel& model, const TemplateSet& templates,
                    const DiagramSource& diagrams, const PutFile& put,
                    const ObjectStream* objects) {
  for (const QString& name : TemplateSet::Names(TemplateFormat::Markdown))
    templates.Template(name).set_custom_escape(EscapeMarkdown);
  const DocumentView view(model, LinkStyle::Files, &diagrams, objects);
  std::string readme;
  templates.Render(QStringLiteral("readme.md"),
                   view.PageData([](SectionKind) { return std::string(); }), readme);
  if (!put(QStringLiteral("README.md"), QByteArray::fromStdString(readme))) return false;
  readme = std::string();
  auto svgFile = [&](const QString& anchor, const std::string& svg) {
    return put(ObjectFileName(anchor, QStringLiteral(".svg")),
               QByteArray::fromStdString(SvgFile(svg)));
  };
  for (const OwnerOverview& o : diagrams.Overviews())
    if (!o.svg.empty() && !svgFile(o.anchor, o.svg)) return false;
  bool ok = true;
  for (const SectionKind kind : model.sections) {
    const QString name = DocumentView::ObjectTemplate(kind) + QStringLiteral(".md");
    view.ForEachObject(kind, [&](const QString& anchor, TemplateData& data,
                                  const std::string& svg) {
      if (!ok) return;
      std::string page;
      templates.Render(name, data, page);
      ok = put(ObjectFileName(anchor, QStringLiteral(".md")), QByteArray::fromStdString(page)) &&
           (svg.empty() || svgFile(anchor, svg));
    });
    if (!ok) return false;
  }
  return true;
}

QList<OutputFile> RenderMarkdown(const DocumentModel& model, const TemplateSet& templates,
                                 const DiagramSource& diagrams) {
  QList<OutputFile> files;
  RenderMarkdown(model, templates, diagrams,
                 [&files](const QString& name, const QByteArray& bytes) {
                   files.append({name, bytes});
                   return true;
                 });
  return files;
}
