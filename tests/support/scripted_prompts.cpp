#include "support/scripted_prompts.h"

#include <gtest/gtest.h>

QStringList ScriptedPrompts::Errors() const {
  QStringList texts;
  for (const Asked& a : asked_)
    if (a.what == QLatin1String("error")) texts << a.text;
  return texts;
}

QStringList ScriptedPrompts::Questions() const {
  QStringList texts;
  for (const Asked& a : asked_)
    if (a.what == QLatin1String("question")) texts << a.text;
  return texts;
}

std::optional<QString> ScriptedPrompts::NextFile(const QString& what,
                                                 const FileRequest& request) {
  asked_.append({what, request.title, request});
  if (files_.empty()) {
    ADD_FAILURE() << "unscripted " << what.toStdString() << " dialog: "
                  << request.title.toStdString();
    return std::nullopt;
  }
  const QString path = files_.front();
  files_.pop_front();
  if (path.isEmpty()) return std::nullopt;
  return path;
}

std::optional<QString> ScriptedPrompts::SaveFileName(QWidget*, const FileRequest& request,
                                                     QString* chosenFilter) {
  if (chosenFilter) *chosenFilter = request.filter.section(QStringLiteral(";;"), 0, 0);
  return NextFile(QStringLiteral("save"), request);
}

std::optional<QString> ScriptedPrompts::OpenFileName(QWidget*, const FileRequest& request) {
  return NextFile(QStringLiteral("open"), request);
}

std::optional<QString> ScriptedPrompts::DirectoryName(QWidget*, const QString& title,
                                                      const QString& directory) {
  return NextFile(QStringLiteral("directory"), {title, directory, QString(), QString()});
}

void ScriptedPrompts::Error(QWidget*, const QString& text) {
  asked_.append({QStringLiteral("error"), text, {}});
}

void ScriptedPrompts::Information(QWidget*, const QString& text) {
  asked_.append({QStringLiteral("information"), text, {}});
}

bool ScriptedPrompts::Question(QWidget*, const QString& text) {
  asked_.append({QStringLiteral("question"), text, {}});
  if (answers_.empty()) {
    ADD_FAILURE() << "unscripted question: " << text.toStdString();
    return false;
  }
  const bool yes = answers_.front();
  answers_.pop_front();
  return yes;
}
