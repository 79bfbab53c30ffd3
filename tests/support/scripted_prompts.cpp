#include "support/scripted_prompts.h"

#include <gtest/gtest.h>

#include <algorithm>

QStringList ScriptedPrompts::Errors() const {
  QStringList texts;
  for (const Asked& a : asked_)
    if (a.what == QLatin1String("error")) texts << a.text;
  return texts;
}

QStringList ScriptedPrompts::Questions() const {
  QStringList texts;
  for (const Asked& a : asked_)
    if (a.what == QLatin1String("question") || a.what == QLatin1String("choice"))
      texts << a.text;
  return texts;
}

std::optional<ScriptedPrompts::FileAnswer> ScriptedPrompts::NextFile(
    const QString& what, const FileRequest& request) {
  asked_.append({what, request.title, request, QString(), {}});
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
  asked_.append({QStringLiteral("error"), text, {}, QString(), {}});
}

void ScriptedPrompts::Information(QWidget*, const QString& text) {
  asked_.append({QStringLiteral("information"), text, {}, QString(), {}});
}

ScriptedPrompts::Answer ScriptedPrompts::NextAnswer(const QString& text,
                                                    std::initializer_list<Reply> allowed) {
  if (answers_.empty()) {
    ADD_FAILURE() << "unscripted question: " << text.toStdString();
    return {Reply::Cancel};
  }
  const Answer answer = answers_.front();
  answers_.pop_front();
  if (std::find(allowed.begin(), allowed.end(), answer.reply) == allowed.end()) {
    ADD_FAILURE() << "scripted answer does not fit the question: " << text.toStdString();
    return {Reply::Cancel};
  }
  return answer;
}

bool ScriptedPrompts::Question(QWidget*, const QString& text) {
  asked_.append({QStringLiteral("question"), text, {}, QString(), {}});
  return NextAnswer(text, {Reply::Yes, Reply::No}).reply == Reply::Yes;
}

SaveAnswer ScriptedPrompts::AskSaveChanges(QWidget*, const QString& text) {
  asked_.append({QStringLiteral("question"), text, {}, QString(), {}});
  switch (NextAnswer(text, {Reply::Yes, Reply::No, Reply::Cancel}).reply) {
    case Reply::Yes: return SaveAnswer::Save;
    case Reply::No: return SaveAnswer::DontSave;
    default: return SaveAnswer::Cancel;
  }
}

std::optional<int> ScriptedPrompts::Choose(QWidget*, const QString& text,
                                           const QStringList& choices) {
  asked_.append({QStringLiteral("choice"), text, {}, QString(), choices});
  const Answer answer = NextAnswer(text, {Reply::Choice, Reply::Cancel});
  if (answer.reply == Reply::Cancel) return std::nullopt;
  EXPECT_TRUE(answer.choice >= 0 && answer.choice < choices.size()) << text.toStdString();
  return answer.choice;
}

void ScriptedPrompts::OpenWithDesktop(QWidget*, const QString& path) {
  asked_.append({QStringLiteral("desktop"), path, {}, QString(), {}});
}
