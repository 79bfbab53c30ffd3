#pragma once
// Marks the project "Modified" for every key typed into a project text field that produces a
// character: letters, digits, blank, Backspace, Enter, and the control characters of Cut
// and Paste. Keys that produce none (Delete, arrows, Copy) leave the marker alone.

#include <QObject>

class Project;
class QKeyEvent;

// True for a key press that produces a character in the sense above.
bool ProducesCharacter(const QKeyEvent& event);

class ModifyingKeyFilter : public QObject {
  Q_OBJECT
 public:
  ModifyingKeyFilter(Project& project, QObject* parent);
  // Watches `field` (its key presses reach this filter first).
  void Watch(QObject* field);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Project& project_;
};
