#pragma once
// TFRMOPTIONSPROCTAGS: the tags of stand-alone procedures and functions, each edited in the
// place it takes in a sample comment.

#include <QWidget>

#include "settings/tag_template.h"

class OptionsProcTagsPage : public QWidget {
  Q_OBJECT
 public:
  OptionsProcTagsPage(Settings& settings, QWidget* parent = nullptr);
  void ShowSettings() { fields_.Show(); }

 private:
  SettingFields fields_;
};
