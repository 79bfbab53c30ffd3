#pragma once
// TFRMOPTIONSDOCUMENT: which of the eight parts the built document holds, which
// relationship diagrams the modern documents draw, and the older dictionary snapshot whose
// changes they list.

#include <QWidget>
#include <array>

#include "settings/settings.h"

class Prompts;
class QCheckBox;
class QComboBox;
class QLineEdit;

class OptionsDocumentPage : public QWidget {
  Q_OBJECT
 public:
  OptionsDocumentPage(Settings& settings, Prompts& prompts, QWidget* parent = nullptr);
  void ShowSettings();

 private:
  void FBtnChangesSinceClick();

  Settings& settings_;
  Prompts& prompts_;
  QLineEdit* FEdChangesSince = nullptr;
  std::array<QCheckBox*, kDocumentPartCount> boxes_{};
  QComboBox* diagrams_ = nullptr;  // items in DiagramChoice order
};
