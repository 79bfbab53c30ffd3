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
  return links == LinkStyle::Page ? u'#' + anchor : ObjectFileName(anchor, QStringLiteral(".md"));
}
