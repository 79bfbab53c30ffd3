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
  asked_.append({what, request.title, request, QString()});
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
                                                     QString* selectedFilter) {
  const QStringList filters = request.filter.split(QStringLiteral(";;"));
  const QString opened =
      selectedFilter && !selectedFilter->isEmpty() ? *selectedFilter : filters.value(0);
  const auto answer = NextFile(QStringLiteral("save"), request);
  asked_.last().selectedFilter = opened;
  if (!answer) return std::nullopt;
  if (selectedFilter)
    *selectedFilter = answer->filterIndex >= 0 ? filters.value(answer->filterIndex) : opened;
  return answer->path;
}

std::optional<QString> ScriptedPrompts::OpenFileName(QWidget*, const FileRequest& request) {
  const auto answer = NextFile(QStringLiteral("open"), request);
  if (!answer) return std::nullopt;
  return answer->path;
}

std::optional<QString> ScriptedPrompts::DirectoryName(QWidget*, const QString& title,
                                                      const QString& directory) {
  const auto answer = NextFile(QStringLiteral("directory"), {title, directory, QString(), QString()});
  if (!answer) return std::nullopt;
  return answer->path;
}

void ScriptedPrompts::Error(QWidget*, const QString& text) {
  asked_.append({QStringLiteral("error"), text, {}, QString()});
}

void ScriptedPrompts::Information(QWidget*, const QString& text) {
  asked_.append({QStringLiteral("information"), text, {}, QString()});
}

bool ScriptedPrompts::Question(QWidget*, const QString& text) {
  asked_.append({QStringLiteral("question"), text, {}, QString()});
  if (answers_.empty()) {
    ADD_FAILURE() << "unscripted question: " << text.toStdString();
    return false;
  }
  const bool yes = answers_.front();
  answers_.pop_front();
  return yes;
}
