#pragma once
// The full objects of a document kept in a temporary file instead of memory, for a build
// of many objects: each is written as it is read from the dictionary and read back, one at
// a time, as it is rendered. The file is private to the build and removed with it.
//
// Every field of every object is kept, texts exactly as they were (QDataStream's own form
// of a QString), so an object read back renders as the one written.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryFile>
#include <functional>

#include "model/document_model.h"

class ObjectSpill {
 public:
  // Creates the file in the system's temporary folder; false with the reason.
  bool Open(QString* error);

  // A write that fails (a full disk) shows in Error and makes reading throw.
  void Put(const TableObject& object);
  void Put(const ViewObject& object);
  void Put(const UnitObject& object);
  void Put(const PackageObject& object);
  // Why a write failed; empty when none did.
  QString Error() const { return error_; }

  // The objects of a kind, in the order they were put. A file that cannot be read back as
  // it was written throws SpillFailure.
  void ForEach(const std::function<void(TableObject&)>& each) const;
  void ForEach(const std::function<void(ViewObject&)>& each) const;
  void ForEach(const std::function<void(UnitObject&)>& each) const;
  void ForEach(const std::function<void(PackageObject&)>& each) const;

 private:
  template <typename Object>
  void Write(const Object& object, QList<qint64>& offsets);
  template <typename Object>
  void Read(const QList<qint64>& offsets, const std::function<void(Object&)>& each) const;

  mutable QTemporaryFile file_;
  mutable QByteArray buffer_;  // the record written or read, its room kept for the next
  QString error_;
  QList<qint64> tables_, views_, units_, packages_;  // where each object starts
};

// The temporary file of the objects could not be written or read back.
struct SpillFailure {
  QString reason;
};
