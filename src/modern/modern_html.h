#pragma once
// The modern HTML document: one self-contained UTF-8 HTML5 page (style and script inside,
// no request outside the file) with a contents panel and its filter box, every object and
// package member at its stable anchor.

#include <functional>
#include <string>
#include <string_view>

struct DocumentModel;
class DiagramSource;
class ObjectStream;
class TemplateSet;

// A value as HTML text: the five markup characters as entities, and a control character
// (which a page may not hold, and no name should bring in) as U+FFFD.
std::string EscapeModernHtml(const std::string& text);

// Renders the page from the ModernHtml templates, the diagrams inline, handing it to
// `write` piece by piece: each section's objects are rendered one at a time as the page
// comes to them, so a large document's objects are never held together. Every value is
// escaped for HTML. False when `write` failed.
using PageSink = std::function<bool(std::string_view piece)>;
// With `objects`, `model` is their index (object_stream.h).
bool RenderModernHtml(const DocumentModel& model, const TemplateSet& templates,
                      const DiagramSource& diagrams, const PageSink& write,
                      const ObjectStream* objects = nullptr);
// The whole page as one text.
std::string RenderModernHtml(const DocumentModel& model, const TemplateSet& templates,
                             const DiagramSource& diagrams);
