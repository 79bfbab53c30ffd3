#pragma once
// The prompts as the user sees them: Qt's file dialogs and message boxes, titled with the
// application title.

#include "app/prompts.h"

class QtPrompts : public Prompts {
 public:
  std::optional<QString> SaveFileName(QWidget* parent, const FileRequest& request,
                                      QString* selectedFilter = nullptr) override;
  std::optional<QString> OpenFileName(QWidget* parent, const FileRequest& request) override;
  std::optional<QString> DirectoryName(QWidget* parent, const QString& title,
                                       const QString& directory) override;
  void Error(QWidget* parent, const QString& text) override;
  void Information(QWidget* parent, const QString& text) override;
  bool Question(QWidget* parent, const QString& text) override;
  SaveAnswer AskSaveChanges(QWidget* parent, const QString& text) override;
  std::optional<int> Choose(QWidget* parent, const QString& text,
                            const QStringList& choices) override;
  void OpenWithDesktop(QWidget* parent, const QString& path) override;
};
