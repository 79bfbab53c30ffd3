#pragma once
// How a modern document links to an object by its anchor: the web page within itself
// ("#anchor"), the Markdown folder and the web site to the object's own file ("anchor.md",
// "anchor.html"; in the Markdown folder by the way from the page's folder to the object's).
// The pages and the diagrams drawn into them link alike, so both read it here.

#include <QString>
#include <utility>

// How a format links to an object and a package member: HTML within the one page
// ("#anchor"), Markdown to the object's own file ("anchor.md", "anchor.md#member"), the web
// site to the object's own page ("anchor.html", "anchor.html#member").
enum class LinkStyle { Page, Files, Site };

class FileLayout;
class ListPages;

// How one page links: its format's style and, for the Markdown folder, where each object's
// files lie (`layout`; without one, all in one folder) and the way up from the page's folder
// to the document's (`up`: "../../" from an owner's folder); for the web site, which of the
// lists' pages holds each sequence and role (`lists`; without one, the first). A style
// alone converts.
struct Links {
  Links(LinkStyle style, const FileLayout* layout = nullptr, QString up = {})
      : style(style), layout(layout), up(std::move(up)) {}
  explicit Links(const ListPages& lists) : style(LinkStyle::Site), layout(nullptr), lists(&lists) {}
  LinkStyle style;
  const FileLayout* layout;
  QString up;
  const ListPages* lists = nullptr;
};

// The name of an object's file in the Markdown folder or the web site: its anchor and `extension` (".md",
// ".svg"). An anchor too long for a file name (a quoted lower-case name spells each letter
// in four characters) keeps a readable beginning and ends in "~" and a hash of the whole
// anchor, so the same object has the same file in every build.
QString ObjectFileName(const QString& anchor, const QString& extension);

// The link to an object by its anchor.
QString ObjectHref(const Links& links, const QString& anchor);
enum class SectionKind;

// The link to a sequence or a role (`kind`), which have no file of their own: the Markdown
// folder lists them on its README.md, the web site on numbered pages of their section's own
// (list_pages.h), so that its index.html stays quick to open with thousands of them.
QString EntryHref(const Links& links, SectionKind kind, const QString& anchor);
// The web site's page `page` (from 0) of the sequences or the roles: the section's anchor,
// then "-2", "-3", ... from the second page, and ".html" ("sequences.html",
// "sequences-2.html"). It has no ".", so it is never an object's page.
QString ListPageName(SectionKind kind, int page = 0);
// The link to a package member by the package's anchor and the member's.
QString MemberHref(const Links& links, const QString& packageAnchor, const QString& memberAnchor);
