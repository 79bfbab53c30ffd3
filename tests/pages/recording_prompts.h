#pragma once
// Prompts that answer no dialog and record every message box, in order, as
// "error: <text>" or "information: <text>".

#include <QStringList>

#include "app/prompts.h"

class RecordingPrompts : public Prompts {
 public:
  QStringList shown;

  std::optional<QString> SaveFileName(QWidget*, const FileRequest&, QString*) override {
    return std::nullopt;
  }
  std::optional<QString> OpenFileName(QWidget*, const FileRequest&) override {
    return std::nullopt;
  }
  std::optional<QString> DirectoryName(QWidget*, const QString&, const QString&) override {
    return std::nullopt;
  }
  void Error(QWidget*, const QString& text) override { shown << "error: " + text; }
  void Information(QWidget*, const QString& text) override { shown << "information: " + text; }
  bool Question(QWidget*, const QString&) override { return false; }
};
