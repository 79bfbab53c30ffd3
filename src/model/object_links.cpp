#include "model/object_links.h"

#include <QCryptographicHash>

#include "model/document_model.h"
#include "model/file_layout.h"
#include "model/list_pages.h"

namespace {

// File names stay well inside the 255 bytes a folder entry holds, with room for the
// temporary names beside them.
constexpr qsizetype kMaxFileName = 120;
constexpr qsizetype kHashLength = 12;

}  // namespace

QString ObjectFileName(const QString& anchor, const QString& extension) {
  if (anchor.size() + extension.size() <= kMaxFileName) return anchor + extension;
  const QByteArray hash =
      QCryptographicHash::hash(anchor.toUtf8(), QCryptographicHash::Sha256).toHex();
  return anchor.left(kMaxFileName - extension.size() - kHashLength - 1) + u'~' +
         QString::fromLatin1(hash.left(kHashLength)) + extension;
}

QString ObjectHref(const Links& links, const QString& anchor) {
  switch (links.style) {
    case LinkStyle::Page: return u'#' + anchor;
    case LinkStyle::Files:
      return links.layout ? links.up + links.layout->Folder(anchor) + u'/' +
                                ObjectFileName(anchor, QStringLiteral(".md"))
                          : ObjectFileName(anchor, QStringLiteral(".md"));
    case LinkStyle::Site: return ObjectFileName(anchor, QStringLiteral(".html"));
  }
  return {};
}

QString EntryHref(const Links& links, SectionKind kind, const QString& anchor) {
  switch (links.style) {
    case LinkStyle::Page: return u'#' + anchor;
    case LinkStyle::Files: return links.up + QStringLiteral("README.md#") + anchor;
    case LinkStyle::Site:
      return ListPageName(kind, links.lists ? links.lists->PageOf(kind, anchor) : 0) + u'#' +
             anchor;
  }
  return {};
}

QString ListPageName(SectionKind kind, int page) {
  const QString name =
      kind == SectionKind::Roles ? QStringLiteral("roles") : QStringLiteral("sequences");
  return (page == 0 ? name : name + u'-' + QString::number(page + 1)) + QStringLiteral(".html");
}

QString MemberHref(const Links& links, const QString& packageAnchor, const QString& memberAnchor) {
  if (links.style == LinkStyle::Page) return u'#' + memberAnchor;
  return ObjectHref(links, packageAnchor) + u'#' + memberAnchor;
}
