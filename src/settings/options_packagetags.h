#pragma once
// TFRMOPTIONSPACKAGETAGS: the tags of packages (their own description) and of package
// members, each edited in the place it takes in a sample comment.

#include <QWidget>

#include "settings/tag_template.h"

class OptionsPackageTagsPage : public QWidget {
  Q_OBJECT
 public:
  OptionsPackageTagsPage(Settings& settings, QWidget* parent = nullptr);
  void ShowSettings() { fields_.Show(); }

 private:
  SettingFields fields_;
};
