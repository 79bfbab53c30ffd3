#pragma once
// Section " Views": per view entry its description and its defining text, read from the
// dictionary of the entry's own connection.

#include "classic/build_context.h"

void WriteViewsSection(BuildContext& ctx, int& SectionNumber);

// The defining text of a view as document lines: one line per line feed (a carriage return
// before it stays), and the rest after the last line feed only when it is not blank.
QStringList SplitViewText(const QString& text);
