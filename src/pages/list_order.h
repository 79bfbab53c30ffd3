#pragma once
// The order in which the lists of an object page show their lines: alphabetical without
// regard to case (by the single-byte upper-case mapping), equal texts in a stable order.

#include <QString>
#include <QStringList>

bool ListLineLess(const QString& a, const QString& b);

// Sorts in place; each text is upper-cased once, so large lists sort quickly.
void SortListLines(QStringList& lines);
