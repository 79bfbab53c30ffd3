#include "settings/tag_template.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kIndentStep = 14;

QString ColourStyle(const QColor& colour) {
  return QStringLiteral("color: %1;").arg(colour.name());
}
}  // namespace

QLineEdit* SettingFields::Field(const char* name, SettingText member, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setText(settings_.*member);
  QObject::connect(field, &QLineEdit::textChanged, field,
                   [this, member](const QString& text) { settings_.*member = text; });
  fields_.append({field, member});
  return field;
}

void SettingFields::Show() {
  for (const auto& [field, member] : fields_)
    if (field->text() != settings_.*member) field->setText(settings_.*member);
}

TemplatePiece Sample(const QString& text) { return {text}; }
TemplatePiece Declaration(const QString& text) { return {text, nullptr, nullptr, false, true}; }
TemplatePiece Tag(const char* field, SettingText member, bool narrow) {
  return {QString(), field, member, narrow};
}

void AddTemplateLine(QVBoxLayout* layout, SettingFields& fields, QWidget* parent, int indent,
                     std::initializer_list<TemplatePiece> pieces) {
  auto* line = new QHBoxLayout;
  line->setSpacing(3);
  line->addSpacing(indent * kIndentStep);
  for (const TemplatePiece& piece : pieces) {
    if (piece.field) {
      QLineEdit* field = fields.Field(piece.field, piece.member, parent);
      field->setStyleSheet(ColourStyle(kTagColor) + QStringLiteral("background: white;"));
      field->setFixedWidth(piece.narrow ? 22 : 84);
      if (piece.narrow) field->setAlignment(Qt::AlignCenter);
      line->addWidget(field);
    } else {
      auto* label = new QLabel(piece.text, parent);
      if (!piece.declaration) label->setStyleSheet(ColourStyle(kSampleColor));
      line->addWidget(label);
    }
  }
  line->addStretch();
  layout->addLayout(line);
}

QWidget* TagLegend(QWidget* parent) {
  auto* legend = new QWidget(parent);
  legend->setObjectName(QStringLiteral("TagLegend"));
  legend->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
  auto* layout = new QVBoxLayout(legend);
  layout->setContentsMargins(0, 0, 0, 0);
  auto box = [legend](const QString& text, const QString& style) {
    auto* label = new QLabel(text, legend);
    label->setStyleSheet(style + QStringLiteral("border: 1px solid gray; padding: 3px;"));
    return label;
  };
  layout->addWidget(box(QObject::tr("Syntax does not matter"), ColourStyle(kSampleColor)));
  layout->addWidget(box(QObject::tr("Syntax by user"),
                        ColourStyle(kTagColor) + QStringLiteral("background: white;")));
  return legend;
}

QLabel* TagNote(QWidget* parent) {
  auto* note = new QLabel(QObject::tr("Note! Tags are not case sensitive."), parent);
  note->setObjectName(QStringLiteral("TagNote"));
  return note;
}
