#pragma once
// Fills the document model from the project and the dictionary: the one place the modern
// formats read the dictionary.
//
// Like the classic build it walks the entries of every enabled kind in the order of
// addition, reports the same progress texts and steps, and logs on with an entry's stored
// connection when it differs from the previous entry's. A failed log-on or query ends the
// fill with DatabaseError (already reported by the Database's error handler).

class Project;
class Database;
class BuildProgress;
struct Settings;
struct DocumentModel;

// What to read: all that a document shows, or only what the coverage report counts
// (descriptions, comments, columns, comment blocks, declared arguments), leaving a table's
// synonyms, keys, indexes and references out.
enum class ModelScope { Document, Coverage };

DocumentModel BuildDocumentModel(const Project& project, const Settings& settings, Database& db,
                                 BuildProgress& progress,
                                 ModelScope scope = ModelScope::Document);
