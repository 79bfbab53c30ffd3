#pragma once
// TFRMOPTIONSDIRECTORIES: the project history file, the project directory, the database
// log history file and the template directory of the modern formats, each typed or chosen
// with its browse button; and how long a call to an Oracle database may wait.

#include <QWidget>

#include "settings/tag_template.h"

class Prompts;
class QSpinBox;
class QVBoxLayout;

class OptionsDirectoriesPage : public QWidget {
  Q_OBJECT
 public:
  OptionsDirectoriesPage(Settings& settings, Prompts& prompts, QWidget* parent = nullptr);
  void ShowSettings();

 private:
  enum class Browse { HistoryFile, Directory, LogFile, TemplateDirectory };
  void AddRow(QVBoxLayout* layout, const QString& caption, const char* field,
              SettingText member, Browse browse, const QString& explanation);
  void BrowseFor(QLineEdit* field, Browse browse);

  Settings& settings_;
  Prompts& prompts_;
  SettingFields fields_;
  QSpinBox* callTimeout_ = nullptr;
};
