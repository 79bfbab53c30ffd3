#pragma once
// What an object uses and what uses it, as the templates see it: `uses` and `usedBy`, each
// false when empty, else `kinds`, one per kind in the model's order, with `title` ("Tables",
// "Functions", ...), `objects` (`name`, with its owner where it differs from the object's;
// `href` when the document shows it, else false; `more`) and `more`. docs/templates.md has
// the fields.

#include <QString>

#include "model/document_model.h"
#include "modern/document_view.h"

// Sets `uses` and `usedBy` in `data`, linking as `view` links.
void SetDependencies(TemplateData& data, const ModelDependencies& dependencies,
                     const QString& owner, const DocumentView& view);
