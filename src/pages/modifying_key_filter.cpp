#include "pages/modifying_key_filter.h"

#include <QKeyEvent>

#include "project/project.h"

bool ProducesCharacter(const QKeyEvent& event) {
  if (event.matches(QKeySequence::Cut) || event.matches(QKeySequence::Paste)) return true;
  if (event.matches(QKeySequence::Copy)) return false;
  if (event.key() == Qt::Key_Delete) return false;
  const QString text = event.text();
  return !text.isEmpty() && text != QStringLiteral("\x7f");
}

ModifyingKeyFilter::ModifyingKeyFilter(Project& project, QObject* parent)
    : QObject(parent), project_(project) {}

void ModifyingKeyFilter::Watch(QObject* field) { field->installEventFilter(this); }

bool ModifyingKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && ProducesCharacter(*static_cast<QKeyEvent*>(event)))
    project_.SetModified(true);
  return QObject::eventFilter(watched, event);
}
