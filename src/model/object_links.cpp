#include "model/object_links.h"

#include <QCryptographicHash>

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

QString ObjectHref(LinkStyle links, const QString& anchor) {
  switch (links) {
    case LinkStyle::Page: return u'#' + anchor;
    case LinkStyle::Files: return ObjectFileName(anchor, QStringLiteral(".md"));
    case LinkStyle::Site: return ObjectFileName(anchor, QStringLiteral(".html"));
  }
  return {};
}

QString EntryHref(LinkStyle links, const QString& anchor) {
  switch (links) {
    case LinkStyle::Page: return u'#' + anchor;
    case LinkStyle::Files: return QStringLiteral("README.md#") + anchor;
    case LinkStyle::Site: return QStringLiteral("index.html#") + anchor;
  }
  return {};
}

QString MemberHref(LinkStyle links, const QString& packageAnchor, const QString& memberAnchor) {
  if (links == LinkStyle::Page) return u'#' + memberAnchor;
  return ObjectHref(links, packageAnchor) + u'#' + memberAnchor;
}
