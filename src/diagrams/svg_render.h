#pragma once
// The SVG of a drawing, written by a render plugin of our own rather than the library's: the
// library's SVG renderer prints every number through the C library's formatted output, which
// took a third of a drawing's time. This one writes the same elements (the drawing's group
// and title, each node's and edge's group with its title, links with their titles, polygons,
// paths and texts) with numbers to two decimals at most, and the drawing's font family once,
// on its group, rather than on every text. It also draws each node's box (drawing_box.h)
// inside the node's link. Used by the layout process only (no Qt).

#include <gvc.h>

#include <string>
#include <vector>

struct DrawingBox;

// The texts' font family, as the graph gives it to the library; a text of another family
// names its own.
inline constexpr char kDrawingFont[] = "Helvetica,Arial,sans-serif";

// The format to render with, once the plugin is in the context (gvRenderData).
inline constexpr char kSvgFormat[] = "vellumar-svg";

// The plugin's entry for gvContextPlugins.
lt_symlist_t SvgRenderPlugin();

// Where the next rendering writes its <svg> element (appended), and the boxes of its nodes,
// measured, the node named "K" drawn as boxes[K]; set before each rendering.
void SetSvgOutput(std::string* out, const std::vector<DrawingBox>* boxes = nullptr);
