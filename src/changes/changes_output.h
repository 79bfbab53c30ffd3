#pragma once
// The changes between two snapshots as text for a reader and as JSON for a program
// (docs/changes-json.md). Both are the same bytes for the same changes.

#include <QByteArray>
#include <QString>
#include <vector>

#include "changes/schema_changes.h"

namespace changes {

// "Changes from OLD to NEW: 3, 1 breaking." and the changes per owner, a breaking one
// marked; or "No changes from OLD to NEW.".
QString ChangesText(const std::vector<Change>& changes, const QString& oldName,
                    const QString& newName);

QByteArray ChangesJson(const std::vector<Change>& changes, const QString& oldName,
                       const QString& newName);

bool AnyBreaking(const std::vector<Change>& changes);

}  // namespace changes
