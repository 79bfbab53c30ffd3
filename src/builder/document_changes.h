#pragma once
// "Changes since" in a modern document: the dictionary it was built from compared with an
// older snapshot of it, so that readers after a release see what changed.

#include <QString>

struct DocumentModel;
struct Settings;

// Compares `older` with the snapshot of each database of the document that holds schemas
// the document shows and `older` holds too, for those schemas, and lists the changes in
// the model (each with the anchor of its object when the document shows it). A database
// read from Oracle has no snapshot to compare and is left out. False, with the reason in
// *error, when `older` cannot be read or no database of the document can be compared.
bool AddChangesSince(DocumentModel& model, const Settings& settings, const QString& older,
                     QString* error);

// Whether `older` reads as a dictionary snapshot, asked before the build reads the
// dictionary, which against Oracle takes minutes; false with the reason in *error.
bool CanCompareWith(const QString& older, QString* error);
