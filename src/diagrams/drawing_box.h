#pragma once
// A box of a drawing (a table with its key columns, or an object of a drawing of what uses
// what), handed to the library as plain data: the layout sees a node of the box's size,
// measured here with the library's own text measure, and our renderer (svg_render.h) draws
// its parts. Reading and sizing each box as an HTML-like label took the library a third of a
// drawing's time. Used by the layout process only (no Qt).

#include <gvc.h>

#include <string>
#include <vector>

// The colours of the boxes; a page in the dark scheme inverts the whole drawing.
inline constexpr char kBoxLine[] = "#4a5b70";
inline constexpr char kBoxHeader[] = "#dce6f2";
inline constexpr char kBoxCentreHeader[] = "#a9c4e4";
inline constexpr char kBoxMarker[] = "#5d6b7a";

// The size in points of a box's texts, and of a caption.
inline constexpr int kNodeFontSize = 11;
inline constexpr int kCaptionFontSize = 9;

// Texts are plain UTF-8, as the reader is to see them.
struct DrawingBox {
  struct Row {
    std::string kinds, column;  // kinds of key ("PK FK"), possibly none; a column's name
    std::string href, tooltip;  // a row that links on its own; else both empty
  };
  // With a caption (an object's kind, small and grey) the box is its caption above its bold
  // name on the header's colour. Without, it is its bold name on a coloured header above its
  // rows: the kinds of key in a column of their own, the columns' names aligned beside.
  std::string caption, name;
  bool centre = false;  // the drawing's own object: a thicker border, a darker header
  std::vector<Row> rows;

  // Set by MeasureBox, in points.
  double width = 0, height = 0;
  double kindsWidth = 0;  // the kinds' column, its padding included
};

// Sizes `box` by the library's measure of the drawing's font, whole points as the layout
// rounds a node's size.
void MeasureBox(GVC_t* gvc, DrawingBox* box);

// The border's width, the header's or a row's height, the space between a cell's edge and its
// text, and a text's baseline below the top of its line, in points.
inline constexpr double kRowHeight = 19, kCellPadding = 3, kCaptionPadding = 2;
inline double BorderWidth(const DrawingBox& box) { return box.centre ? 2 : 1; }
inline double Baseline(double fontSize) { return fontSize * 0.8; }
