#pragma once
// TFRMOPTIONSDOCUMENT: which of the eight parts the built document holds.

#include <QWidget>
#include <array>

#include "settings/settings.h"

class QCheckBox;

class OptionsDocumentPage : public QWidget {
  Q_OBJECT
 public:
  OptionsDocumentPage(Settings& settings, QWidget* parent = nullptr);
  void ShowSettings();

 private:
  Settings& settings_;
  std::array<QCheckBox*, kDocumentPartCount> boxes_{};
};
