#include "diagrams/drawing_box.h"

#include <algorithm>
#include <cmath>

#include "diagrams/svg_render.h"

// The library's measure of a text, exported by libgvc though no header of it declares it: the
// built-in metrics of the font's family, as the layout measures every text of a drawing.
extern "C" pointf textspan_size(GVC_t* gvc, textspan_t* span);

namespace {

double TextWidth(GVC_t* gvc, const std::string& text, double size) {
  textfont_t font{};
  font.name = const_cast<char*>(kDrawingFont);
  font.size = size;
  textspan_t span{};
  span.str = const_cast<char*>(text.c_str());
  span.font = &font;
  span.just = 'l';
  return textspan_size(gvc, &span).x;
}

// The metrics are those of regular Arial, but a box's name is bold, and a reader without
// Arial sees the browser's own bold sans-serif, up to a fifth wider: the name asks for 0.8 em
// a character (a bold capital is 0.7 to 0.8 em), with its padding beside.
double NameWidth(const std::string& name) {
  const auto characters = std::count_if(name.begin(), name.end(),
                                        [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; });
  return std::floor(double(characters) * kNodeFontSize * 0.8) + 8;
}

}  // namespace

void MeasureBox(GVC_t* gvc, DrawingBox* box) {
  const double border = 2 * BorderWidth(*box);
  double inner = NameWidth(box->name);
  if (!box->caption.empty()) {
    inner = std::max(inner, TextWidth(gvc, box->caption, kCaptionFontSize) + 2 * kCellPadding);
    box->width = std::ceil(inner) + border;
    box->height = std::round((kCaptionFontSize + kNodeFontSize) * 1.2 + 2 * kCaptionPadding) + border;
    return;
  }
  double kinds = 0, columns = 0;
  for (const DrawingBox::Row& row : box->rows) {
    kinds = std::max(kinds, TextWidth(gvc, row.kinds, kNodeFontSize));
    columns = std::max(columns, TextWidth(gvc, row.column, kNodeFontSize));
  }
  box->kindsWidth = 0;
  if (!box->rows.empty()) {
    box->kindsWidth = kinds + 2 * kCellPadding;
    inner = std::max(inner, box->kindsWidth + columns + 2 * kCellPadding);
  }
  box->width = std::ceil(inner) + border;
  box->height = kRowHeight * double(1 + box->rows.size()) + border;
}
