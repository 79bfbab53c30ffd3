#include "model/object_spill.h"

#include <QDataStream>
#include <QDir>
#include <QSysInfo>
#include <type_traits>

#include "text/temporary_files.h"

namespace {

// Walks an object's fields, writing them to or reading them from a stream: one list of
// fields per type (Fields below) serves both ways, so the two cannot disagree.
template <bool kWriting>
class Archive {
 public:
  explicit Archive(QDataStream& stream) : stream_(stream) {}

  template <typename... T>
  void operator()(T&... fields) {
    (Item(fields), ...);
  }

 private:
  void Item(QString& v) { Scalar(v); }
  void Item(bool& v) { Scalar(v); }
  void Item(qsizetype& v) {
    qint64 n = v;
    Scalar(n);
    v = qsizetype(n);
  }
  template <typename T>
  void Item(QList<T>& list) {
    qint64 size = list.size();
    Scalar(size);
    if constexpr (!kWriting) {
      if (size < 0 || stream_.status() != QDataStream::Ok) size = 0;
      list.resize(size);
    }
    for (T& item : list) Item(item);
  }
  template <typename T>
  void Item(T& v) {
    if constexpr (std::is_enum_v<T>) {
      qint32 n = qint32(v);
      Scalar(n);
      v = T(n);
    } else {
      Fields(*this, v);
    }
  }
  template <typename T>
  void Scalar(T& v) {
    if constexpr (kWriting) {
      stream_ << v;
    } else {
      stream_ >> v;
    }
  }

  QDataStream& stream_;
};

template <typename A> void Fields(A& a, ObjectKey& k) { a(k.database, k.owner, k.name); }
template <typename A> void Fields(A& a, ModelColumn& c) {
  a(c.name, c.type, c.nullable, c.defaultValue, c.comment);
}
template <typename A> void Fields(A& a, ModelConstraint& c) {
  a(c.name, c.kind, c.columns, c.condition, c.references, c.referencedColumns, c.referencedAnchor);
}
template <typename A> void Fields(A& a, IndexColumn& c) { a(c.name, c.descending); }
template <typename A> void Fields(A& a, ModelIndex& i) { a(i.name, i.unique, i.columns); }
template <typename A> void Fields(A& a, ModelSynonym& s) { a(s.owner, s.name); }
template <typename A> void Fields(A& a, ModelDependency& d) { a(d.object, d.type, d.anchor, d.page); }
template <typename A> void Fields(A& a, ModelDependencies& d) { a(d.uses, d.usedBy); }
template <typename A> void Fields(A& a, ModelReference& r) {
  a(r.table, r.anchor, r.constraint, r.columns);
}
template <typename A> void Fields(A& a, plsql::TextBlock& b) { a(b.kind, b.lines); }
template <typename A> void Fields(A& a, plsql::DocTag& t) { a(t.name, t.text); }
template <typename A> void Fields(A& a, plsql::DocComment& d) {
  a(d.description, d.summary, d.parameters, d.returns, d.throws, d.deprecated, d.deprecation,
    d.see, d.since, d.authors, d.examples, d.fromBody);
}
template <typename A> void Fields(A& a, ModelTrigger& t) {
  a(t.owner, t.name, t.anchor, t.timing, t.event, t.eachRow, t.when, t.header, t.enabled,
    t.invalid, t.body, t.doc);
}
template <typename A> void Fields(A& a, CommentParameter& p) { a(p.name, p.type, p.description); }
template <typename A> void Fields(A& a, CommentBlock& b) {
  a(b.heading, b.description, b.parameters, b.returnHeading, b.returnText, b.headingAt);
}
template <typename A> void Fields(A& a, ModelArgument& x) {
  a(x.name, x.inOut, x.type, x.defaultValue, x.description, x.defaulted);
}
template <typename A> void Fields(A& a, Signature& s) {
  a(s.name, s.arguments, s.returnType, s.options, s.overload, s.doc);
}
template <typename A> void Fields(A& a, ModelDeclaration& d) { a(d.kind, d.name, d.text, d.doc); }
template <typename A> void Fields(A& a, MemberObject& m) {
  a(m.name, m.anchor, m.type, m.blocks, m.signatures);
}
template <typename A> void Fields(A& a, TableObject& t) {
  a(t.key, t.anchor, t.description, t.dictionaryComment, t.found, t.synonyms, t.columns,
    t.constraints, t.indexes, t.referencedBy, t.dependencies, t.triggers);
}
template <typename A> void Fields(A& a, ViewObject& v) {
  a(v.key, v.anchor, v.description, v.dictionaryComment, v.found, v.columns, v.text, v.invalid,
    v.dependencies, v.triggers);
}
template <typename A> void Fields(A& a, UnitObject& u) {
  a(u.key, u.anchor, u.type, u.found, u.blocks, u.signatures, u.source, u.invalid,
    u.dependencies);
}
template <typename A> void Fields(A& a, PackageObject& p) {
  a(p.key, p.anchor, p.description, p.found, p.doc, p.declarations, p.members, p.textBlocks,
    p.source, p.invalid, p.dependencies);
}

}  // namespace

bool ObjectSpill::Open(QString* error) {
  file_.setFileTemplate(QDir::tempPath() + QStringLiteral("/vellumar-objects-XXXXXX"));
  if (file_.open()) return true;
  *error = file_.errorString();
  return false;
}

// Each object is one record: its size, then its fields. It is made in memory and written
// at once, and read back whole before its fields are taken from it; texts are kept in the
// machine's own byte order, so none is turned around on the way.
template <typename Object>
void ObjectSpill::Write(const Object& object, QList<qint64>& offsets) {
  if (!error_.isEmpty()) return;
  buffer_.resize(0);
  {
    QDataStream stream(&buffer_, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::ByteOrder(QSysInfo::ByteOrder));
    Archive<true> archive(stream);
    archive(const_cast<Object&>(object));  // writing leaves it as it is
  }
  offsets.append(file_.pos());
  const qint64 size = buffer_.size();
  if (temporaryfiles::WriteAll(
          file_, QByteArrayView(reinterpret_cast<const char*>(&size), sizeof size), &error_))
    temporaryfiles::WriteAll(file_, buffer_, &error_);
}

void ObjectSpill::Put(const TableObject& object) { Write(object, tables_); }
void ObjectSpill::Put(const ViewObject& object) { Write(object, views_); }
void ObjectSpill::Put(const UnitObject& object) { Write(object, units_); }
void ObjectSpill::Put(const PackageObject& object) { Write(object, packages_); }

template <typename Object>
void ObjectSpill::Read(const QList<qint64>& offsets,
                       const std::function<void(Object&)>& each) const {
  if (!error_.isEmpty()) throw SpillFailure{error_};
  if (offsets.isEmpty()) return;
  const qint64 end = file_.pos();
  QString reason;
  if (!temporaryfiles::Flush(file_, &reason)) throw SpillFailure{reason};
  const auto damaged = [this] {
    return SpillFailure{
        QStringLiteral("the objects' temporary file %1 is damaged").arg(file_.fileName())};
  };
  for (const qint64 offset : offsets) {
    qint64 size = 0;
    // A kind's records follow one another: only the first needs a seek.
    if ((file_.pos() != offset && !file_.seek(offset)) ||
        file_.read(reinterpret_cast<char*>(&size), sizeof size) != sizeof size || size < 0 ||
        size > end - offset)
      throw damaged();
    buffer_ = file_.read(size);
    if (buffer_.size() != size) throw damaged();
    QDataStream stream(buffer_);
    stream.setByteOrder(QDataStream::ByteOrder(QSysInfo::ByteOrder));
    Object object;
    Archive<false> archive(stream);
    archive(object);
    if (stream.status() != QDataStream::Ok || !stream.atEnd()) throw damaged();
    each(object);
  }
  file_.seek(end);
}

void ObjectSpill::ForEach(const std::function<void(TableObject&)>& each) const {
  Read(tables_, each);
}
void ObjectSpill::ForEach(const std::function<void(ViewObject&)>& each) const {
  Read(views_, each);
}
void ObjectSpill::ForEach(const std::function<void(UnitObject&)>& each) const {
  Read(units_, each);
}
void ObjectSpill::ForEach(const std::function<void(PackageObject&)>& each) const {
  Read(packages_, each);
}
