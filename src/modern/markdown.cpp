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

QList<OutputFile> RenderMarkdown(const DocumentModel& model, const TemplateSet& templates,
                                 const Diagrams& diagrams) {
  for (const QString& name : TemplateSet::Names(TemplateFormat::Markdown))
    templates.Template(name).set_custom_escape(EscapeMarkdown);
  const DocumentView view(model, LinkStyle::Files, &diagrams);
  QList<OutputFile> files;
  std::string readme;
  templates.Render(QStringLiteral("readme.md"),
                   view.PageData([](SectionKind) { return std::string(); }), readme);
  files.append({QStringLiteral("README.md"), QByteArray::fromStdString(readme)});
  for (const SectionKind kind : model.sections) {
    const QString name = DocumentView::ObjectTemplate(kind) + QStringLiteral(".md");
    view.ForEachObject(kind, [&](const QString& anchor, const TemplateData& data) {
      std::string page;
      templates.Render(name, data, page);
      files.append(
          {ObjectFileName(anchor, QStringLiteral(".md")), QByteArray::fromStdString(page)});
    });
  }
  auto svgFile = [&files](const QString& anchor, const std::string& svg) {
    files.append({ObjectFileName(anchor, QStringLiteral(".svg")),
                  QByteArray::fromStdString(SvgFile(svg))});
  };
  for (const OwnerOverview& o : diagrams.overviews)
    if (!o.svg.empty()) svgFile(o.anchor, o.svg);
  for (const TableObject& t : model.tables)
    if (const std::string* svg = diagrams.TableSvg(t.anchor)) svgFile(t.anchor, *svg);
  for (const UnitObject& u : model.units)
    if (const std::string* svg = diagrams.DependencySvg(u.anchor)) svgFile(u.anchor, *svg);
  for (const PackageObject& p : model.packages)
    if (const std::string* svg = diagrams.DependencySvg(p.anchor)) svgFile(p.anchor, *svg);
  return files;
}
