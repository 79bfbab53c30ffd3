#include "modern/modern_html.h"

#include <kainjow/mustache.hpp>
#include <string>

#include "modern/document_view.h"
#include "modern/templates.h"

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

}  // namespace

std::string EscapeModernHtml(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const auto next = [&](std::size_t k) {
      return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
    };
    switch (c) {
      case '&': out += "&amp;"; continue;
      case '<': out += "&lt;"; continue;
      case '>': out += "&gt;"; continue;
      case '"': out += "&quot;"; continue;
      case '\'': out += "&apos;"; continue;
      case '\t': case '\n': case '\r': out += char(c); continue;
      default: break;
    }
    if (c < 0x20 || c == 0x7F) {
      out += kReplacement;
    } else if (c == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F) {  // U+0080..U+009F
      out += kReplacement;
      ++i;
    } else if (c == 0xEF && next(1) == 0xBF && (next(2) == 0xBE || next(2) == 0xBF)) {
      out += kReplacement;  // U+FFFE, U+FFFF
      i += 2;
    } else {
      out += char(c);
    }
  }
  return out;
}

std::string RenderModernHtml(const DocumentModel& model, const TemplateSet& templates,
                             const Diagrams& diagrams) {
  for (const QString& name : TemplateSet::Names(TemplateFormat::ModernHtml))
    templates.Template(name).set_custom_escape(EscapeModernHtml);
  const DocumentView view(model, LinkStyle::Page, &diagrams);
  auto objects = [&](SectionKind kind) {
    const QString name = DocumentView::ObjectTemplate(kind) + QStringLiteral(".html");
    std::string out;
    view.ForEachObject(kind, [&](const QString&, const TemplateData& data) {
      templates.Render(name, data, out);
    });
    return out;
  };
  std::string out;
  templates.Render(QStringLiteral("page.html"), view.PageData(objects), out);
  return out;
}
