#pragma once
// The modern HTML document: one self-contained UTF-8 HTML5 page (style and script inside,
// no request outside the file) with a contents panel and its filter box, every object and
// package member at its stable anchor.

#include <string>

struct DocumentModel;
struct Diagrams;
class TemplateSet;

// A value as HTML text: the five markup characters as entities, and a control character
// (which a page may not hold, and no name should bring in) as U+FFFD.
std::string EscapeModernHtml(const std::string& text);

// Renders the page from the ModernHtml templates, the diagrams inline. Every value is
// escaped for HTML.
std::string RenderModernHtml(const DocumentModel& model, const TemplateSet& templates,
                             const Diagrams& diagrams);
