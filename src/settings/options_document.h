#pragma once
// TFRMOPTIONSDOCUMENT: which of the eight parts the built document holds, and which
// relationship diagrams the modern documents draw.

#include <QWidget>
#include <array>

#include "settings/settings.h"

class QCheckBox;
class QComboBox;

class OptionsDocumentPage : public QWidget {
  Q_OBJECT
 public:
  OptionsDocumentPage(Settings& settings, QWidget* parent = nullptr);
  void ShowSettings();

 private:
  Settings& settings_;
  std::array<QCheckBox*, kDocumentPartCount> boxes_{};
  QComboBox* diagrams_ = nullptr;  // items in DiagramChoice order
};
