#include "diagrams/svg_render.h"

#include <gvplugin.h>
#include <gvplugin_device.h>
#include <gvplugin_render.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "diagrams/drawing_box.h"

namespace {

std::string* g_out = nullptr;
const std::vector<DrawingBox>* g_boxes = nullptr;
const DrawingBox* g_box = nullptr;  // the node's box, until it is drawn
bool g_anchorGroup = false;  // the open link is in a group of its own, to be closed with it

// A number to two decimals, without trailing zeros: 7.2, -147.2, 0. Written into a buffer and
// appended once: a drawing writes some two thousand numbers.
void Number(double value) {
  long long hundredths = std::llround(value * 100);
  char text[32];
  char* end = text;
  if (hundredths < 0) {
    *end++ = '-';
    hundredths = -hundredths;
  }
  end = std::to_chars(end, text + sizeof text, hundredths / 100).ptr;
  const int fraction = int(hundredths % 100);
  if (fraction != 0) {
    *end++ = '.';
    *end++ = char('0' + fraction / 10);
    if (fraction % 10) *end++ = char('0' + fraction % 10);
  }
  g_out->append(text, end);
}

// A point of the drawing; the library's y grows upwards, SVG's downwards.
void Point(pointf p) {
  Number(p.x);
  *g_out += ',';
  Number(-p.y);
}

// Text for XML: its markup characters as entities. `keepEntities`: an entity the text already
// holds stays one (the library hands a graph's name over as it was given; the texts of
// labels, links and tooltips it has decoded). A space after a space is a no-break one, which
// SVG does not collapse.
void Escaped(const char* text, bool keepEntities) {
  for (const char* c = text; *c; ++c) {
    const std::size_t plain = std::strcspn(c, " <>\"'&");
    g_out->append(c, plain);
    c += plain;
    switch (*c) {
      case '\0': return;
      case ' ': *g_out += c > text && c[-1] == ' ' ? "&#160;" : " "; continue;
      case '<': *g_out += "&lt;"; continue;
      case '>': *g_out += "&gt;"; continue;
      case '"': *g_out += "&quot;"; continue;
      case '\'': *g_out += "&#39;"; continue;
      case '&': {
        std::size_t n = 1;
        if (keepEntities) {
          if (c[1] == '#') ++n;
          while (std::isalnum(static_cast<unsigned char>(c[n]))) ++n;
        }
        *g_out += (n > 1 && c[n] == ';' && c[n - 1] != '#') ? "&" : "&amp;";
        continue;
      }
    }
  }
}

void Colour(const gvcolor_t& colour) {
  if (colour.u.rgba[3] == 0) {
    *g_out += "transparent";
    return;
  }
  static const char kHex[] = "0123456789abcdef";
  *g_out += '#';
  for (int i = 0; i < 3; ++i) {
    *g_out += kHex[colour.u.rgba[i] >> 4];
    *g_out += kHex[colour.u.rgba[i] & 15];
  }
}

// The fill, stroke and line width of a shape.
void Style(GVJ_t* job, bool filled) {
  const obj_state_t* obj = job->obj;
  *g_out += " fill=\"";
  if (filled)
    Colour(obj->fillcolor);
  else
    *g_out += "none";
  *g_out += "\" stroke=\"";
  Colour(obj->pencolor);
  *g_out += '"';
  if (obj->penwidth != PENWIDTH_NORMAL) {
    *g_out += " stroke-width=\"";
    Number(obj->penwidth);
    *g_out += '"';
  }
}

void BeginGraph(GVJ_t* job) {
  *g_out += "<svg width=\"" + std::to_string(job->width) + "pt\" height=\"" +
            std::to_string(job->height) + "pt\"\n viewBox=\"";
  for (const double v : {job->canvasBox.LL.x, job->canvasBox.LL.y, job->canvasBox.UR.x,
                         job->canvasBox.UR.y}) {
    Number(v);
    *g_out += ' ';
  }
  g_out->back() = '"';
  *g_out += " xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n";
}

void EndGraph(GVJ_t*) { *g_out += "</svg>\n"; }

void BeginPage(GVJ_t* job) {
  *g_out += "<g id=\"";
  Escaped(job->obj->id, true);
  *g_out += "\" class=\"graph\" font-family=\"";
  *g_out += kDrawingFont;
  *g_out += "\" transform=\"scale(";
  Number(job->scale.x);
  *g_out += ' ';
  Number(job->scale.y);
  *g_out += ") rotate(" + std::to_string(-job->rotation) + ") translate(";
  Number(job->translation.x);
  *g_out += ' ';
  Number(-job->translation.y);
  *g_out += ")\">\n<title>";
  Escaped(agnameof(job->obj->u.g), true);
  *g_out += "</title>\n";
}

void EndGroup(GVJ_t*) { *g_out += "</g>\n"; }

// A node's or an edge's group, titled by the library's name for it.
void BeginPart(GVJ_t* job, const char* kind) {
  *g_out += "<g id=\"";
  Escaped(job->obj->id, true);
  *g_out += "\" class=\"";
  *g_out += kind;
  *g_out += "\">\n<title>";
}

// A rectangle from (left, top) to (right, bottom), y upwards.
void Rectangle(double left, double top, double right, double bottom, const char* fill,
               const char* stroke, double width) {
  *g_out += "<polygon fill=\"";
  *g_out += fill;
  *g_out += "\" stroke=\"";
  *g_out += stroke;
  *g_out += '"';
  if (width != 1) {
    *g_out += " stroke-width=\"";
    Number(width);
    *g_out += '"';
  }
  *g_out += " points=\"";
  for (const pointf p : {pointf{left, bottom}, pointf{left, top}, pointf{right, top},
                         pointf{right, bottom}, pointf{left, bottom}}) {
    Point(p);
    *g_out += ' ';
  }
  g_out->back() = '"';
  *g_out += "/>\n";
}

void BoxText(double x, double baseline, bool centred, const std::string& text, int size,
             bool bold, const char* fill) {
  *g_out += "<text text-anchor=\"";
  *g_out += centred ? "middle" : "start";
  *g_out += "\" x=\"";
  Number(x);
  *g_out += "\" y=\"";
  Number(-baseline);
  *g_out += '"';
  if (bold) *g_out += " font-weight=\"bold\"";
  *g_out += " font-size=\"" + std::to_string(size) + '"';
  if (fill) {
    *g_out += " fill=\"";
    *g_out += fill;
    *g_out += '"';
  }
  *g_out += '>';
  Escaped(text.c_str(), false);
  *g_out += "</text>\n";
}

// A link's opening tag, with the attributes that have a value.
void OpenLink(const char* href, const char* tooltip, const char* target) {
  *g_out += "<a";
  for (const auto& [name, value] :
       {std::pair{" xlink:href=\"", href}, {" xlink:title=\"", tooltip}, {" target=\"", target}}) {
    if (!value || !*value) continue;
    *g_out += name;
    Escaped(value, false);
    *g_out += '"';
  }
  *g_out += ">\n";
}

// The box centred on `centre`: its header's fill, its texts, then its border over them.
void DrawBox(const DrawingBox& box, pointf centre) {
  const double left = centre.x - box.width / 2, right = centre.x + box.width / 2;
  const double top = centre.y + box.height / 2, bottom = centre.y - box.height / 2;
  const double border = BorderWidth(box);
  const char* const header = box.centre ? kBoxCentreHeader : kBoxHeader;
  if (!box.caption.empty()) {
    Rectangle(left, top, right, bottom, header, "transparent", 1);
    const double line = top - border - kCaptionPadding;
    BoxText(centre.x, line - Baseline(kCaptionFontSize), true, box.caption, kCaptionFontSize,
            false, kBoxMarker);
    BoxText(centre.x, line - kCaptionFontSize * 1.2 - Baseline(kNodeFontSize), true, box.name,
            kNodeFontSize, true, nullptr);
  } else {
    const double inside = top - border;
    Rectangle(left + border, inside, right - border, inside - kRowHeight, header, "transparent", 1);
    const double baseline = kCellPadding + Baseline(kNodeFontSize);
    BoxText(centre.x, inside - baseline, true, box.name, kNodeFontSize, true, nullptr);
    for (std::size_t i = 0; i < box.rows.size(); ++i) {
      const double y = inside - kRowHeight * double(i + 1) - baseline;
      const double x = left + border + kCellPadding;
      const DrawingBox::Row& row = box.rows[i];
      if (!row.href.empty()) {
        // The whole row is the link's target, not only its letters.
        OpenLink(row.href.c_str(), row.tooltip.c_str(), nullptr);
        const double rowTop = inside - kRowHeight * double(i + 1);
        Rectangle(left + border, rowTop, right - border, rowTop - kRowHeight, "transparent",
                  "transparent", 1);
      }
      if (!row.kinds.empty()) BoxText(x, y, false, row.kinds, kNodeFontSize, false, kBoxMarker);
      BoxText(x + box.kindsWidth, y, false, row.column, kNodeFontSize, false, nullptr);
      if (!row.href.empty()) *g_out += "</a>\n";
    }
  }
  const double half = border / 2;
  Rectangle(left + half, top - half, right - half, bottom + half, "none", kBoxLine, border);
}

void DrawPendingBox(GVJ_t* job) {
  if (!g_box || job->obj->type != NODE_OBJTYPE) return;
  DrawBox(*g_box, ND_coord(job->obj->u.n));
  g_box = nullptr;
}

void BeginNode(GVJ_t* job) {
  BeginPart(job, "node");
  Escaped(agnameof(job->obj->u.n), true);
  *g_out += "</title>\n";
  g_box = nullptr;
  if (g_boxes) {
    const std::size_t k = std::strtoul(agnameof(job->obj->u.n), nullptr, 10);
    if (k < g_boxes->size()) g_box = &(*g_boxes)[k];
  }
}

void EndNode(GVJ_t* job) {
  DrawPendingBox(job);
  EndGroup(job);
}

void BeginEdge(GVJ_t* job) {
  BeginPart(job, "edge");
  Escaped(agnameof(agtail(job->obj->u.e)), true);
  *g_out += "&#45;&gt;";
  Escaped(agnameof(aghead(job->obj->u.e)), true);
  *g_out += "</title>\n";
}

void BeginAnchor(GVJ_t*, char* href, char* tooltip, char* target, char* id) {
  g_anchorGroup = id && *id;
  if (g_anchorGroup) {
    *g_out += "<g id=\"a_";
    Escaped(id, true);
    *g_out += "\">";
  }
  OpenLink(href, tooltip, target);
}

void EndAnchor(GVJ_t* job) {
  DrawPendingBox(job);
  *g_out += "</a>\n";
  if (g_anchorGroup) *g_out += "</g>\n";
  g_anchorGroup = false;
}

void TextSpan(GVJ_t* job, pointf p, textspan_t* span) {
  *g_out += "<text text-anchor=\"";
  *g_out += span->just == 'l' ? "start" : span->just == 'r' ? "end" : "middle";
  *g_out += "\" x=\"";
  Number(p.x);
  *g_out += "\" y=\"";
  Number(-(p.y + span->yoffset_centerline));
  *g_out += '"';
  const textfont_t* font = span->font;
  if (font->name && std::strcmp(font->name, kDrawingFont) != 0) {
    *g_out += " font-family=\"";
    Escaped(font->name, true);
    *g_out += '"';
  }
  if (font->flags & HTML_BF) *g_out += " font-weight=\"bold\"";
  if (font->flags & HTML_IF) *g_out += " font-style=\"italic\"";
  *g_out += " font-size=\"";
  Number(font->size);
  *g_out += '"';
  const gvcolor_t& colour = job->obj->pencolor;
  if (colour.u.rgba[0] || colour.u.rgba[1] || colour.u.rgba[2] || colour.u.rgba[3] != 255) {
    *g_out += " fill=\"";
    Colour(colour);
    *g_out += '"';
  }
  *g_out += '>';
  Escaped(span->str, false);
  *g_out += "</text>\n";
}

void Polygon(GVJ_t* job, pointf* points, int n, int filled) {
  *g_out += "<polygon";
  Style(job, filled != 0);
  *g_out += " points=\"";
  for (int i = 0; i <= n; ++i) {
    Point(points[i % n]);
    *g_out += ' ';
  }
  g_out->back() = '"';
  *g_out += "/>\n";
}

void Bezier(GVJ_t* job, pointf* points, int n, int, int, int) {
  *g_out += "<path";
  Style(job, false);
  *g_out += " d=\"M";
  Point(points[0]);
  for (int i = 1; i < n; ++i) {
    *g_out += i == 1 ? 'C' : ' ';
    Point(points[i]);
  }
  *g_out += "\"/>\n";
}

gvrender_engine_t kEngine = {
    nullptr, nullptr,              // job
    BeginGraph, EndGraph,          // graph
    nullptr, nullptr,              // layer
    BeginPage, EndGroup,           // page
    nullptr, nullptr,              // cluster
    nullptr, nullptr,              // nodes
    nullptr, nullptr,              // edges
    BeginNode, EndNode,            // node
    BeginEdge, EndGroup,           // edge
    BeginAnchor, EndAnchor,        // anchor
    nullptr, nullptr,              // label
    TextSpan,
    nullptr,                       // resolve_color: every colour comes as RGBA
    nullptr,                       // ellipse: no shape draws one
    Polygon, Bezier,
    nullptr,                       // polyline: edges are splines
    nullptr, nullptr,              // comment, library_shape
};

gvrender_features_t kRenderFeatures = {
    GVRENDER_Y_GOES_DOWN | GVRENDER_DOES_TRANSFORM | GVRENDER_DOES_LABELS | GVRENDER_DOES_MAPS |
        GVRENDER_DOES_TARGETS | GVRENDER_DOES_TOOLTIPS,
    4.,  // pad, in points
    nullptr, 0,
    RGBA_BYTE,
};

gvdevice_features_t kDeviceFeatures = {GVDEVICE_DOES_TRUECOLOR, {0., 0.}, {0., 0.}, {72., 72.}};

gvplugin_installed_t kRenderTypes[] = {
    {0, "vellumar", 1, &kEngine, &kRenderFeatures},
    {0, nullptr, 0, nullptr, nullptr},
};

gvplugin_installed_t kDeviceTypes[] = {
    {0, "vellumar-svg:vellumar", 1, nullptr, &kDeviceFeatures},
    {0, nullptr, 0, nullptr, nullptr},
};

gvplugin_api_t kApis[] = {
    {API_render, kRenderTypes},
    {API_device, kDeviceTypes},
    {api_t(0), nullptr},
};

gvplugin_library_t kLibrary = {const_cast<char*>("vellumar"), kApis};

}  // namespace

lt_symlist_t SvgRenderPlugin() { return {"gvplugin_vellumar_LTX_library", &kLibrary}; }

void SetSvgOutput(std::string* out, const std::vector<DrawingBox>* boxes) {
  g_out = out;
  g_boxes = boxes;
}
