#pragma once
// Pieces shared by the option pages: text fields bound to fields of the live Settings
// record (what is typed is in force at once), and the tag pages' sample comment, drawn as
// green sample text with red fields where the user's tags go.

#include <QColor>
#include <QList>
#include <QString>
#include <initializer_list>
#include <utility>

#include "settings/settings.h"

class QBoxLayout;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class QWidget;

using SettingText = QString Settings::*;

// The text fields of one page and the settings they edit.
class SettingFields {
 public:
  explicit SettingFields(Settings& settings) : settings_(settings) {}
  // A field named `name` that shows and edits settings.*member.
  QLineEdit* Field(const char* name, SettingText member, QWidget* parent);
  // Fills every field from the record (on opening the dialog).
  void Show();

 private:
  Settings& settings_;
  QList<std::pair<QLineEdit*, SettingText>> fields_;
};

inline const QColor kSampleColor(0x00, 0x80, 0x00);
inline const QColor kTagColor(0xc0, 0x00, 0x00);

// One piece of a sample line: fixed text, or a tag field.
struct TemplatePiece {
  QString text;
  const char* field = nullptr;
  SettingText member = nullptr;
  bool narrow = false;  // a one-character tag
  bool declaration = false;  // the black declaration line
};
TemplatePiece Sample(const QString& text);
TemplatePiece Declaration(const QString& text);
TemplatePiece Tag(const char* field, SettingText member, bool narrow = false);

// Appends to `layout` one line of a sample comment, indented by `indent` steps.
void AddTemplateLine(QVBoxLayout* layout, SettingFields& fields, QWidget* parent, int indent,
                     std::initializer_list<TemplatePiece> pieces);

// The legend ("Syntax does not matter" / "Syntax by user") and the note under the samples.
QWidget* TagLegend(QWidget* parent);
QLabel* TagNote(QWidget* parent);
