#include "modern/modern_html.h"

#include <array>
#include <kainjow/mustache.hpp>
#include <string>
#include <string_view>

#include "modern/document_view.h"
#include "modern/templates.h"

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The bytes a page shows as they are: all but the markup characters, the control
// characters and the first bytes of the characters that are replaced (C2 and EF lead them).
constexpr auto kPlain = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x100; ++c) plain[std::size_t(c)] = true;
  for (const unsigned char c : {'&', '<', '>', '"', '\'', '\x7F', '\xC2', '\xEF'})
    plain[c] = false;
  return plain;
}();

}  // namespace

std::string EscapeModernHtml(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A run of plain bytes (most values are one) is copied at once.
    std::size_t end = i;
    while (end < text.size() && kPlain[static_cast<unsigned char>(text[end])]) ++end;
    out.append(text, i, end - i);
    if ((i = end) == text.size()) break;
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

namespace {

// Where a section's objects go in the page: a text no value can spell, as values are
// escaped (a control character becomes U+FFFD), followed by the section's number and ended
// like it began.
constexpr std::string_view kObjectsMark = "\x01vellumar-objects-";

}  // namespace

bool RenderModernHtml(const DocumentModel& model, const TemplateSet& templates,
                      const DiagramSource& diagrams, const PageSink& write,
                      const ObjectStream* objects) {
  templates.SetEscape(EscapeModernHtml);
  const DocumentView view(model, LinkStyle::Page, &diagrams, objects);
  bool ok = true;
  // Each piece of the page is a whole line or more, so no mark is split between two.
  const auto page = [&](const std::string& piece) {
    std::size_t at = 0;
    for (std::size_t mark; ok && (mark = piece.find(kObjectsMark, at)) != std::string::npos;) {
      ok = write(std::string_view(piece).substr(at, mark - at));
      const auto kind = SectionKind(piece[mark + kObjectsMark.size()] - '0');
      at = mark + kObjectsMark.size() + 2;
      const QString name = DocumentView::ObjectTemplate(kind) + QStringLiteral(".html");
      view.ForEachObject(kind, [&](const QString&, TemplateData& data, const std::string&) {
        if (!ok) return;  // the page is failing: the rest need not be rendered
        std::string out;
        templates.Render(name, data, out);
        ok = write(out);
      });
    }
    ok = ok && write(std::string_view(piece).substr(at));
  };
  DeferredValues deferred;
  templates.Render(QStringLiteral("page.html"), view.PageData([](SectionKind kind) {
                     return std::string(kObjectsMark) + char('0' + int(kind)) + '\x01';
                   }, deferred),
                   page, &deferred);
  return ok;
}

std::string RenderModernHtml(const DocumentModel& model, const TemplateSet& templates,
                             const DiagramSource& diagrams) {
  std::string out;
  RenderModernHtml(model, templates, diagrams, [&out](std::string_view piece) {
    out += piece;
    return true;
  });
  return out;
}
