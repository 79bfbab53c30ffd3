#include "model/document_model.h"

QString ObjectKey::FullName() const { return database + u'.' + owner + u'.' + name; }

QString ObjectKey::Anchor() const {
  return AnchorPart(database) + u'.' + AnchorPart(owner) + u'.' + AnchorPart(name);
}

QString InnerAnchor(const QString& objectAnchor, const QString& name) {
  return objectAnchor + u'.' + AnchorPart(name);
}

QString AnchorPart(const QString& part) {
  QString out;
  out.reserve(part.size());
  for (const char32_t c : part.toUcs4()) {
    if (c >= U'A' && c <= U'Z') {
      out += QChar(char16_t(c - U'A' + U'a'));
    } else if ((c >= U'0' && c <= U'9') || c == U'_' || c == U'$') {
      out += QChar(char16_t(c));
    } else {
      out += u'-' + QString::number(uint(c), 16) + u'-';
    }
  }
  return out;
}

const ModelConstraint* TableObject::PrimaryKey() const {
  for (const ModelConstraint& c : constraints)
    if (c.kind == ConstraintKind::Primary) return &c;
  return nullptr;
}

QString SectionTitle(SectionKind kind) {
  switch (kind) {
    case SectionKind::General: return QStringLiteral("General");
    case SectionKind::Tables: return QStringLiteral("Tables");
    case SectionKind::Views: return QStringLiteral("Views");
    case SectionKind::Units: return QStringLiteral("Procedures and functions");
    case SectionKind::Packages: return QStringLiteral("Packages");
    case SectionKind::Sequences: return QStringLiteral("Sequences");
    case SectionKind::Roles: return QStringLiteral("Roles and privileges");
  }
  return {};
}

bool HasDocComment(const QList<Signature>& signatures) {
  for (const Signature& s : signatures) {
    if (!s.doc.IsEmpty()) return true;
  }
  return false;
}

qsizetype EntryCount(const DocumentModel& model, SectionKind kind) {
  switch (kind) {
    case SectionKind::Tables: return model.tables.size();
    case SectionKind::Views: return model.views.size();
    case SectionKind::Units: return model.units.size();
    case SectionKind::Packages: return model.packages.size();
    case SectionKind::Sequences: return model.sequences.size();
    case SectionKind::Roles: return model.roles.size();
    case SectionKind::General: break;
  }
  return 0;
}

const ObjectKey& EntryKey(const DocumentModel& model, SectionKind kind, qsizetype i) {
  return VisitEntry(model, kind, i, [](const auto& e) -> const ObjectKey& { return e.key; });
}

const QString& EntryAnchor(const DocumentModel& model, SectionKind kind, qsizetype i) {
  return VisitEntry(model, kind, i, [](const auto& e) -> const QString& { return e.anchor; });
}
