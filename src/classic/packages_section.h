#pragma once
// Section " Packages": per package a heading, the entry's Description, and the member
// blocks of the package specification's tagged comments, read on the entry's own
// connection.

#include "classic/build_context.h"

void WritePackagesSection(BuildContext& ctx, int& SectionNumber);
