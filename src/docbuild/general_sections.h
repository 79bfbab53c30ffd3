#pragma once
// The parts of the document that come from the project alone and stand before the object
// sections: the title block, the "Content" heading and the General section.

#include "docbuild/build_context.h"

// The title block (program name, the project's Name, Version, Created, Updated) into the
// contents buffer; always written.
void WriteHeader(BuildContext& ctx);
// The "Content" heading into the contents buffer; written when the Content part is on.
void WriteContentHeading(BuildContext& ctx);
// Section " General" with the project's general text as one paragraph.
void WriteGeneralSection(BuildContext& ctx, int& SectionNumber);
