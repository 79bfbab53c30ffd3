#include "diagrams/graph_layout.h"

namespace {

// A code point as UTF-8, written here: a text of a drawing is escaped a character at a time,
// and converting each one on its own cost a large build a fifth of its diagrams' time.
void AppendUtf8(QByteArray& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xc0 | (c >> 6));
    out += char(0x80 | (c & 0x3f));
  } else if (c < 0x10000) {
    out += char(0xe0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3f));
    out += char(0x80 | (c & 0x3f));
  } else {
    out += char(0xf0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3f));
    out += char(0x80 | ((c >> 6) & 0x3f));
    out += char(0x80 | (c & 0x3f));
  }
}

// A character that XML cannot hold (a control character, a lone surrogate) as U+FFFD.
char32_t Shown(char32_t c) {
  const bool bad = c < 0x20 || c == 0x7f || (c >= 0xd800 && c <= 0xdfff) || c == 0xfffe || c == 0xffff;
  return bad ? 0xfffd : c;
}

// Whether `text` goes over as it is: no character XML cannot hold and, with `markup`, none
// that is escaped. Most names are such, and Qt converts them whole, many times faster.
bool AsItIs(const QString& text, bool markup) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u < 0x20 || u == 0x7f || (u >= 0xd800 && (u <= 0xdfff || u >= 0xfffe))) return false;
    if (markup && (u == u'&' || u == u'<' || u == u'>' || u == u'"' || u == u'\'' || u == u'\\'))
      return false;
  }
  return true;
}

// A box's text as the renderer writes it, which escapes it for XML itself.
std::string BoxText(const QString& text) {
  if (AsItIs(text, false)) return text.toStdString();
  QByteArray out;
  out.reserve(text.size() + 8);
  for (char32_t c : text.toUcs4()) AppendUtf8(out, Shown(c));
  return out.toStdString();
}

QByteArray Escape(const QString& text, const char* backslash) {
  if (AsItIs(text, true)) return text.toUtf8();
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
    AppendUtf8(out, Shown(c));
  }
  return out;
}

// A tooltip is read twice for the library's escapes after its entities are decoded, so a
// backslash that is to stay one is written as four. The graph's name (the drawing's title)
// is written as given, its entities kept.
QByteArray TooltipText(const QString& text) { return Escape(text, "\\\\\\\\"); }
QByteArray TitleText(const QString& text) { return Escape(text, "\\"); }

// The library titles each node's and edge's group (<g id="..._nodeK" class="node"><title>)
// by the node's name in the graph or "tail->head"; K counts the nodes, and the edges, in the
// order they were made, which is the graph's order. Each title becomes the part's own name.
std::string NamedParts(const std::string& svg, const LayoutGraph& graph) {
  std::string out;
  out.reserve(svg.size() + svg.size() / 8);
  std::size_t at = 0;
  for (;;) {
    const std::size_t title = svg.find("\">\n<title>", at);
    if (title == std::string::npos) break;
    const std::size_t text = title + 10, end = svg.find("</title>", text);
    if (end == std::string::npos) break;
    out.append(svg, at, text - at);
    at = text;
    const std::size_t id = svg.rfind("<g id=\"", title);
    const std::string_view group(svg.data() + id, title - id);
    const bool node = group.ends_with("\" class=\"node"), edge = group.ends_with("\" class=\"edge");
    const std::size_t kind = group.rfind(node ? "node" : "edge", group.size() - 13);
    if (!(node || edge) || kind == std::string_view::npos) continue;
    std::size_t k = 0;
    for (std::size_t d = kind + 4; d < group.size() && group[d] >= '0' && group[d] <= '9'; ++d)
      k = k * 10 + std::size_t(group[d] - '0');
    const QString* name = nullptr;
    if (node && k >= 1 && k <= std::size_t(graph.nodes.size())) name = &graph.nodes[k - 1].name;
    if (edge && k >= 1 && k <= std::size_t(graph.edges.size())) name = &graph.edges[k - 1].name;
    if (!name || name->isEmpty()) continue;
    out += TitleText(*name).toStdString();
    at = end;
  }
  out.append(svg, at);
  return out;
}

}  // namespace

QByteArray LabelText(const QString& text) { return Escape(text, "\\\\"); }

LayoutOutcome GraphLayout::RenderSvg(const LayoutGraph& graph, int seconds, std::string* svg,
                                     QString* error) {
  LayoutRequest request;
  request.title = TitleText(graph.title).toStdString();
  request.id = graph.id.toStdString();
  for (const LayoutNode& n : graph.nodes) {
    DrawingBox box;
    box.caption = BoxText(n.box.caption);
    box.name = BoxText(n.box.name);
    box.centre = n.box.centre;
    for (const LayoutRow& r : n.box.rows)
      box.rows.push_back(
          {BoxText(r.kinds), BoxText(r.column), r.href.toStdString(), BoxText(r.tooltip)});
    request.nodes.push_back(
        {std::move(box), n.href.toStdString(), TooltipText(n.tooltip).toStdString()});
  }
  for (const LayoutEdge& e : graph.edges)
    request.edges.push_back({unsigned(e.tail), unsigned(e.head), e.label.toStdString(),
                             TooltipText(e.tooltip).toStdString()});
  std::string reason;
  const LayoutOutcome outcome = process_.RenderSvg(request, seconds, svg, &reason);
  if (outcome == LayoutOutcome::Drawn) *svg = NamedParts(*svg, graph);
  if (outcome != LayoutOutcome::Failed) return outcome;
  *error = QString::fromStdString(reason).simplified();
  if (error->isEmpty()) *error = QStringLiteral("the layout failed");
  return outcome;
}
