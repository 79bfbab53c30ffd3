#pragma once
// Lays a small directed graph out with the Graphviz library ("dot") and renders it as SVG in
// memory: no program is run and no file is written. Only the library's layout plugin and our
// own SVG renderer (svg_render.h) are used, and text is measured with the library's built-in
// font metrics rather than the fonts of the machine, so the same graph gives the same bytes
// wherever the same library is installed. The library runs in a child process of this one (layout_process.h); every
// message of error level it gives about a graph makes that graph's layout fail with it.

#include <QByteArray>
#include <QList>
#include <QString>
#include <string>

#include "diagrams/layout_process.h"

// A row of a box: a table's key column with its kinds of key, or an object of a group of
// one kind, which links to it on its own (the box then has no link).
struct LayoutRow {
  QString kinds, column;
  QByteArray href;  // a text of anchor characters only; empty: none
  QString tooltip;  // plain text
};

// What a node's box shows (drawing_box.h), in plain text.
struct LayoutBox {
  QString caption, name;
  bool centre = false;
  QList<LayoutRow> rows;
};

// A node's and an edge's `name` (plain text) titles its group in the SVG, which is what a
// screen reader calls it; the library's own title would be the node's number in the graph.
struct LayoutNode {
  LayoutBox box;
  QByteArray href;     // the link: a text of anchor characters only; empty: none
  QString tooltip;     // plain text
  QString name;
};

struct LayoutEdge {
  int tail = 0, head = 0;  // indexes into the nodes
  // Made by LabelText: the library reads its entities and escapes.
  QByteArray label;
  QString tooltip;
  QString name;
};

struct LayoutGraph {
  QByteArray id;     // the SVG id of the drawing; its parts' ids are made from it
  QString title;     // plain text
  QList<LayoutNode> nodes;
  QList<LayoutEdge> edges;
};

// One per build: its layout process is started with the first graph and ended with the build.
class GraphLayout {
 public:
  // Drawn: the <svg> element (no XML declaration, no comments) in *svg. Failed: the
  // library's messages (or why its process failed) in *error. TooSlow: it took longer than
  // `seconds`.
  LayoutOutcome RenderSvg(const LayoutGraph& graph, int seconds, std::string* svg,
                          QString* error);

 private:
  LayoutProcess process_;
};

// A text for an edge's label: XML's five characters as entities, a backslash doubled (the
// library reads "\N", "\G" and the like as names), and a character that XML cannot hold (a
// control character) as U+FFFD, so that no name can break the label or the SVG.
QByteArray LabelText(const QString& text);
