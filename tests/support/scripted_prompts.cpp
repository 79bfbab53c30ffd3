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

std::optional<ScriptedPrompts::FileAnswer> ScriptedPrompts::NextFile(
    const QString& what, const FileRequest& request) {
  asked_.append({what, request.title, request});
  if (files_.empty()) {
    ADD_FAILURE() << "unscripted " << what.toStdString() << " dialog: "
                  << request.title.toStdString();
    return std::nullopt;
  }
  const FileAnswer answer = files_.front();
  files_.pop_front();
  if (answer.path.isEmpty()) return std::nullopt;
  return answer;
}

std::optional<QString> ScriptedPrompts::SaveFileName(QWidget*, const FileRequest& request,
                                                     QString* chosenFilter) {
  const auto answer = NextFile(QStringLiteral("save"), request);
  if (!answer) return std::nullopt;
  if (chosenFilter) {
    const QStringList filters = request.filter.split(QStringLiteral(";;"));
    if (answer->filterIndex >= 0)
      *chosenFilter = filters.value(answer->filterIndex);
    else
      *chosenFilter = request.selectedFilter.isEmpty() ? filters.value(0) : request.selectedFilter;
  }
  return answer->path;
}

std::optional<QString> ScriptedPrompts::OpenFileName(QWidget*, const FileRequest& request) {
  const auto answer = NextFile(QStringLiteral("open"), request);
  if (!answer) return std::nullopt;
  return answer->path;
}

std::optional<QString> ScriptedPrompts::DirectoryName(QWidget*, const QString& title,
                                                      const QString& directory) {
  const auto answer = NextFile(QStringLiteral("directory"), {title, directory, {}, {}, {}});
  if (!answer) return std::nullopt;
  return answer->path;
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
