#pragma once
// Where the Markdown folder puts each object's files: in a folder per database and owner
// ("demo/hr", the anchor's first two parts), so that no folder holds more than a Git host
// lists (kMaxFolderFiles). An owner with more files than that gets numbered folders beside
// its own ("demo/hr~1", "demo/hr~2", ...), each holding a run of its objects in document
// order; its own folder then holds its index page and overview only.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

class FileLayout {
 public:
  static constexpr int kMaxFolderFiles = 1000;

  // Each object's anchor with the number of files it may have (its page and a drawing), in
  // document order.
  explicit FileLayout(const QList<std::pair<QString, int>>& objects);

  // The folder of the database and owner of an object's anchor ("demo.hr.employees") or an
  // owner's ("demo.hr"): each part a file name, as an object's file name is.
  static QString OwnerFolder(const QString& anchor);
  // The folder an object's files lie in.
  QString Folder(const QString& anchor) const;
  // The numbered folders of an owner's folder, in order; empty when it holds its objects.
  QStringList Parts(const QString& ownerFolder) const;

 private:
  QHash<QString, QString> parted_;  // the anchors of the owners with parts, to their folder
  QHash<QString, QStringList> parts_;
};
