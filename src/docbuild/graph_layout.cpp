#include "docbuild/graph_layout.h"

#include <dlfcn.h>
#include <gvc.h>


namespace {

// The two plugins a layout needs, looked up once in the library's plugin folder. The names
// are the symbols every Graphviz plugin library exports.
struct Plugins {
  lt_symlist_t list[3] = {};
  QString error;

  Plugins() {
    const char* const names[][2] = {
        {GRAPHVIZ_PLUGIN_DIR "/libgvplugin_dot_layout.so." GRAPHVIZ_PLUGIN_ABI,
         "gvplugin_dot_layout_LTX_library"},
        {GRAPHVIZ_PLUGIN_DIR "/libgvplugin_core.so." GRAPHVIZ_PLUGIN_ABI,
         "gvplugin_core_LTX_library"},
    };
    for (int i = 0; i < 2; ++i) {
      // Kept loaded for the life of the process: contexts refer to the plugins' tables.
      void* library = dlopen(names[i][0], RTLD_NOW | RTLD_LOCAL);
      void* symbol = library ? dlsym(library, names[i][1]) : nullptr;
      if (!symbol) {
        error = QStringLiteral("The Graphviz plugin %1 can't be loaded: %2")
                    .arg(QString::fromUtf8(names[i][0]), QString::fromLocal8Bit(dlerror()));
        return;
      }
      list[i] = {names[i][1], symbol};
    }
  }
};

const Plugins& LoadedPlugins() {
  static const Plugins plugins;
  return plugins;
}

// The error messages of one layout. The handler is process-wide and takes no context, so
// the messages go to the one collector in use (layouts run one at a time). The library
// hands a message over in pieces: its level ("Error" or "Warning") first, then the text.
struct Messages {
  QString errors;
  bool inError = false;
};
Messages* collected = nullptr;

int Collect(char* piece) {
  if (!collected) return 0;
  const QString text = QString::fromUtf8(piece);
  if (text == QLatin1String("Error") || text == QLatin1String("Warning"))
    collected->inError = text == QLatin1String("Error");
  else if (collected->inError && text != QLatin1String(": "))
    collected->errors += text;
  return 0;
}

// Sets an attribute of a graph, node or edge; an HTML-like label is marked as such.
template <typename Object>
void Set(Object* object, const char* name, const QByteArray& value, bool html = false) {
  if (value.isEmpty()) return;
  Agraph_t* g = agraphof(object);
  char* text = html ? agstrdup_html(g, const_cast<char*>(value.constData()))
                    : agstrdup(g, const_cast<char*>(value.constData()));
  agsafeset(object, const_cast<char*>(name), text, const_cast<char*>(""));
  agstrfree(g, text);
}

void SetDefault(Agraph_t* g, int kind, const char* name, const char* value) {
  agattr(g, kind, const_cast<char*>(name), const_cast<char*>(value));
}

// The drawing's look: left to right (referencing tables before the ones they reference),
// compact, one sans-serif family throughout that every reader has by one of its names.
void SetLook(Agraph_t* g) {
  static const char kFont[] = "Helvetica,Arial,sans-serif";
  SetDefault(g, AGRAPH, "rankdir", "LR");
  SetDefault(g, AGRAPH, "nodesep", "0.3");
  SetDefault(g, AGRAPH, "ranksep", "0.7");
  SetDefault(g, AGRAPH, "pad", "0.1");
  SetDefault(g, AGRAPH, "fontname", kFont);
  SetDefault(g, AGNODE, "shape", "plain");
  SetDefault(g, AGNODE, "fontname", kFont);
  SetDefault(g, AGNODE, "fontsize", QByteArray::number(kNodeFontSize).constData());
  SetDefault(g, AGEDGE, "fontname", kFont);
  SetDefault(g, AGEDGE, "fontsize", "9");
  SetDefault(g, AGEDGE, "color", "#4a5b70");
  SetDefault(g, AGEDGE, "fontcolor", "#33414f");
  SetDefault(g, AGEDGE, "arrowsize", "0.7");
}

// The SVG element alone: the XML declaration, the document type (which names a file
// elsewhere) and the comments (the library's version, node names) go.
std::string SvgElement(const char* data, unsigned int length) {
  const std::string_view all(data, length);
  const std::size_t start = all.find("<svg");
  if (start == std::string_view::npos) return {};
  std::string out;
  out.reserve(all.size() - start);
  for (std::size_t at = start; at < all.size();) {
    const std::size_t open = all.find("<!--", at);
    if (open == std::string_view::npos) {
      out.append(all.substr(at));
      break;
    }
    out.append(all.substr(at, open - at));
    const std::size_t close = all.find("-->", open);
    if (close == std::string_view::npos) break;
    at = close + 3;
    if (at < all.size() && all[at] == '\n') ++at;
  }
  return out;
}

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

GraphLayout::GraphLayout() {
  const Plugins& plugins = LoadedPlugins();
  if (!plugins.error.isEmpty()) {
    unavailable_ = plugins.error;
    return;
  }
  // Only these plugins: no configuration file is read and no other plugin (a text layout
  // that would measure with the machine's fonts) is loaded.
  gvc_ = gvContextPlugins(plugins.list, 0);
  if (!gvc_) unavailable_ = QStringLiteral("The Graphviz library could not be started.");
}

GraphLayout::~GraphLayout() {
  if (gvc_) gvFreeContext(gvc_);
}

bool GraphLayout::RenderSvg(const LayoutGraph& graph, std::string* svg, QString* error) {
  if (!gvc_) {
    *error = unavailable_;
    return false;
  }
  Messages messages;
  collected = &messages;
  const agusererrf previousHandler = agseterrf(Collect);
  const agerrlevel_t previousLevel = agseterr(AGWARN);
  agreseterrors();

  QByteArray title = TitleText(graph.title);
  Agraph_t* g = agopen(title.data(), Agdirected, nullptr);
  SetLook(g);
  Set(g, "id", graph.id);
  QList<Agnode_t*> nodes;
  for (qsizetype i = 0; i < graph.nodes.size(); ++i) {
    const LayoutNode& n = graph.nodes[i];
    Agnode_t* node = agnode(g, const_cast<char*>(QByteArray::number(i).constData()), 1);
    Set(node, "label", n.label, true);
    Set(node, "href", n.href);
    Set(node, "tooltip", TooltipText(n.tooltip));
    nodes.append(node);
  }
  for (const LayoutEdge& e : graph.edges) {
    Agedge_t* edge = agedge(g, nodes.at(e.tail), nodes.at(e.head), nullptr, 1);
    Set(edge, "label", e.label, true);
    Set(edge, "tooltip", TooltipText(e.tooltip));
  }

  char* data = nullptr;
  unsigned int length = 0;
  const bool laidOut = gvLayout(gvc_, g, "dot") == 0;
  const bool rendered = laidOut && gvRenderData(gvc_, g, "svg", &data, &length) == 0;
  const bool failed = !rendered || agerrors() >= AGERR;
  if (!failed) *svg = SvgElement(data, length);
  gvFreeRenderData(data);
  if (laidOut) gvFreeLayout(gvc_, g);
  agclose(g);

  agseterr(previousLevel);
  agseterrf(previousHandler);
  collected = nullptr;
  if (!failed) return true;
  *error = messages.errors.simplified();
  if (error->isEmpty()) *error = QStringLiteral("the layout failed");
  return false;
}
