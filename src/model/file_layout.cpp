#include "model/file_layout.h"

#include "model/object_links.h"

namespace {

// An owner's folder also holds its index page, its overview and the list of the files a
// build wrote there.
constexpr int kOwnerFiles = 3;
// A numbered folder also holds its index page and that list.
constexpr int kPartFiles = 2;

}  // namespace

FileLayout::FileLayout(const QList<std::pair<QString, int>>& objects) {
  QHash<QString, int> files;
  QStringList owners;
  for (const auto& [anchor, count] : objects) {
    const QString owner = OwnerFolder(anchor);
    if (!files.contains(owner)) owners.append(owner);
    files[owner] += count;
  }
  QHash<QString, int> used;  // the files of each owner's last part so far
  for (const auto& [anchor, count] : objects) {
    const QString owner = OwnerFolder(anchor);
    if (files.value(owner) + kOwnerFiles <= kMaxFolderFiles) continue;
    QStringList& parts = parts_[owner];
    int& inPart = used[owner];
    if (parts.isEmpty() || inPart + count + kPartFiles > kMaxFolderFiles) {
      parts.append(owner + u'~' + QString::number(parts.size() + 1));
      inPart = 0;
    }
    inPart += count;
    parted_.insert(anchor, parts.last());
  }
}

QString FileLayout::OwnerFolder(const QString& anchor) {
  const QStringList parts = anchor.split(u'.');
  return ObjectFileName(parts.value(0), QString()) + u'/' +
         ObjectFileName(parts.value(1), QString());
}

QString FileLayout::Folder(const QString& anchor) const {
  const auto found = parted_.constFind(anchor);
  return found != parted_.cend() ? *found : OwnerFolder(anchor);
}

QStringList FileLayout::Parts(const QString& ownerFolder) const {
  return parts_.value(ownerFolder);
}
