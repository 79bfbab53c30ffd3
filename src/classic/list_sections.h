#pragma once
// Sections " Sequences" and " Roles and privileges": the kind's section text, then one
// table of every entry's name and description. They read only the project: no query, no
// logon.

#include "classic/build_context.h"

void WriteSequencesSection(BuildContext& ctx, int& SectionNumber);
void WriteRolesSection(BuildContext& ctx, int& SectionNumber);
