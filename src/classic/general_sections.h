#pragma once
// The parts of the document that come from the project alone: the title block, the
// "Content" heading and the General section before the object sections, and the document's
// end after them.

#include "classic/build_context.h"

// The title block (program name, the project's Name, Version, Created, Updated) into the
// contents buffer; always written. In HTML its first line also holds the document's head:
// the charset (windows-1252, the bytes the document is saved in) and the project name as
// the title.
void WriteHeader(BuildContext& ctx);
// The "Content" heading into the contents buffer; written when the Content part is on.
void WriteContentHeading(BuildContext& ctx);
// Section " General" with the project's general text as one paragraph.
void WriteGeneralSection(BuildContext& ctx, int& SectionNumber);
// The closing body and html tags, last in an HTML document; nothing in text.
void WriteDocumentEnd(BuildContext& ctx);
