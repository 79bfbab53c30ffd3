#pragma once
// TFRMOPTIONSPACKAGETAGS: the tags of packages (their own description) and of package
// members, each edited in the place it takes in a sample comment, and whether the modern
// formats also read the documentation comments the source carries.

#include <QWidget>

class QCheckBox;

#include "settings/tag_template.h"

class OptionsPackageTagsPage : public QWidget {
  Q_OBJECT
 public:
  OptionsPackageTagsPage(Settings& settings, QWidget* parent = nullptr);
  void ShowSettings();

 private:
  Settings& settings_;
  SettingFields fields_;
  QCheckBox* FCBDocComments;  // Documentation_comments
};
