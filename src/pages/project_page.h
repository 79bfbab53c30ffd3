#pragma once
// TFRMPROJECT, the Project tab: the project's Name, Version and file times (shown, never
// focused) and the General text, which the user edits.

#include <QWidget>

class Project;
class MemoBox;
class QLineEdit;

class ProjectPage : public QWidget {
  Q_OBJECT
 public:
  explicit ProjectPage(Project& project, QWidget* parent = nullptr);

 private:
  void ShowInfo();
  void StoreGeneral(const QString& text);

  Project& project_;
  QLineEdit* FEdName;
  QLineEdit* FEdVersion;
  QLineEdit* FEdCreated;
  QLineEdit* FEdUpdated;
  MemoBox* FMGeneral;
};
