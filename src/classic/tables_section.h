#pragma once
// Section " Tables": per table entry its synonym, description, columns, primary key,
// foreign keys and indexes from the dictionary of the entry's own connection.

#include "classic/build_context.h"

void WriteTablesSection(BuildContext& ctx, int& SectionNumber);
