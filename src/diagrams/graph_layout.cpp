#include "diagrams/graph_layout.h"

namespace {

QByteArray Escape(const QString& text, const char* backslash) {
  QByteArray out;
  out.reserve(text.size() + 16);
  for (char32_t c : text.toUcs4()) {
    switch (c) {
      case U'&': out += "&amp;"; continue;
      case U'<': out += "&lt;"; continue;
      case U'>': out += "&gt;"; continue;
      case U'"': out += "&quot;"; continue;
      case U'\'': out += "&#39;"; continue;
      case U'\\': out += backslash; continue;
      default: break;
    }
    if (c < 0x20 || c == 0x7f || (c >= 0xd800 && c <= 0xdfff) || c == 0xfffe || c == 0xffff)
      c = 0xfffd;
    out += QString::fromUcs4(&c, 1).toUtf8();
  }
  return out;
}

// A tooltip is read twice for the library's escapes after its entities are decoded, so a
// backslash that is to stay one is written as four. The graph's name (the drawing's title)
// is written as given, its entities kept.
QByteArray TooltipText(const QString& text) { return Escape(text, "\\\\\\\\"); }
QByteArray TitleText(const QString& text) { return Escape(text, "\\"); }

}  // namespace

QByteArray LabelText(const QString& text) { return Escape(text, "\\\\"); }

LayoutOutcome GraphLayout::RenderSvg(const LayoutGraph& graph, int seconds, std::string* svg,
                                     QString* error) {
  LayoutRequest request;
  request.title = TitleText(graph.title).toStdString();
  request.id = graph.id.toStdString();
  for (const LayoutNode& n : graph.nodes)
    request.nodes.push_back(
        {n.label.toStdString(), n.href.toStdString(), TooltipText(n.tooltip).toStdString()});
  for (const LayoutEdge& e : graph.edges)
    request.edges.push_back({unsigned(e.tail), unsigned(e.head), e.label.toStdString(),
                             TooltipText(e.tooltip).toStdString()});
  std::string reason;
  const LayoutOutcome outcome = process_.RenderSvg(request, seconds, svg, &reason);
  if (outcome != LayoutOutcome::Failed) return outcome;
  *error = QString::fromStdString(reason).simplified();
  if (error->isEmpty()) *error = QStringLiteral("the layout failed");
  return outcome;
}
