#pragma once
// How a modern document links to an object by its anchor: the web page within itself
// ("#anchor"), the Markdown folder to the object's own file ("anchor.md"). The pages and the
// diagrams drawn into them link alike, so both read it here.

#include <QString>

// How a format links to an object and a package member: HTML within the one page
// ("#anchor"), Markdown to the object's own file ("anchor.md", "anchor.md#member").
enum class LinkStyle { Page, Files };

// The name of an object's file in the Markdown folder: its anchor and `extension` (".md",
// ".svg"). An anchor too long for a file name (a quoted lower-case name spells each letter
// in four characters) keeps a readable beginning and ends in "~" and a hash of the whole
// anchor, so the same object has the same file in every build.
QString ObjectFileName(const QString& anchor, const QString& extension);

// The link to an object by its anchor.
QString ObjectHref(LinkStyle links, const QString& anchor);
