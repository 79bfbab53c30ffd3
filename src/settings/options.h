#pragma once
// TFRMOPTIONS, "Project Options": four pages over the live Settings record. What is typed
// is in force at once, whichever button closes the dialog; the caller stores the record on
// OK. The dialog lives for the run and reopens on the page last shown.

#include <QDialog>

#include "settings/settings.h"

class OptionsDirectoriesPage;
class OptionsDocumentPage;
class OptionsPackageTagsPage;
class OptionsProcTagsPage;
class Prompts;
class QPushButton;
class QTabWidget;

class OptionsDialog : public QDialog {
  Q_OBJECT
 public:
  OptionsDialog(Settings& settings, Prompts& prompts, QWidget* parent = nullptr);

  // Fills every page from the record before the dialog is shown.
  void ShowSettings();
  QTabWidget* TabControl() const { return FlatTabControl; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QTabWidget* FlatTabControl;
  OptionsDirectoriesPage* directories_;
  OptionsDocumentPage* document_;
  OptionsProcTagsPage* procTags_;
  OptionsPackageTagsPage* packageTags_;
  QPushButton* FBtnOk;
  QPushButton* FBtnCancel;
};
