#pragma once
// Prompts answered from a script, for widget tests. Each question takes the next scripted
// answer of its sort; a question without one fails the test (and is answered "cancel"/"No").
// Everything asked is recorded, in order.

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>

#include "app/prompts.h"

class ScriptedPrompts : public Prompts {
 public:
  struct Asked {
    // "save", "open", "directory", "error", "information", "question" (Yes/No and "Save
    // changes?"), "choice", "desktop" (a document handed to the desktop)
    QString what;
    QString text;  // title of a dialog, text of a box, the path handed to the desktop
    FileRequest request;
    QString selectedFilter;  // the filter a save dialog opened with
    QStringList choices;     // the buttons of a choice, Cancel left out
  };

  // The next file or directory dialog returns `path`; an empty path cancels it. A save
  // dialog keeps the filter it opened with, unless `filterIndex` (counted from 0 in the
  // request's filters) says the user picked another.
  void AnswerFile(const QString& path, int filterIndex = -1) {
    files_.push_back({path, filterIndex});
  }
  void CancelFile() { files_.push_back({}); }
  // Yes and No answer a Yes/No question, and "Save changes?" as Save and Don't Save.
  void AnswerYes() { answers_.push_back({Reply::Yes}); }
  void AnswerNo() { answers_.push_back({Reply::No}); }
  // Cancel answers "Save changes?" or a choice.
  void AnswerCancel() { answers_.push_back({Reply::Cancel}); }
  // A choice's answer: the index of its button.
  void AnswerChoice(int index) { answers_.push_back({Reply::Choice, index}); }

  const QList<Asked>& History() const { return asked_; }
  // The texts of the error boxes shown so far, and of the questions (choices included)
  // asked.
  QStringList Errors() const;
  QStringList Questions() const;
  void Forget() { asked_.clear(); }
  // True when every scripted answer was used.
  bool Exhausted() const { return files_.empty() && answers_.empty(); }

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

 private:
  enum class Reply { Yes, No, Cancel, Choice };
  struct Answer {
    Reply reply;
    int choice = -1;
  };
  // The next scripted answer, which must be one of `allowed`; Cancel when there is none.
  Answer NextAnswer(const QString& text, std::initializer_list<Reply> allowed);

  struct FileAnswer {
    QString path;
    int filterIndex = -1;
  };
  std::optional<FileAnswer> NextFile(const QString& what, const FileRequest& request);

  std::deque<FileAnswer> files_;
  std::deque<Answer> answers_;
  QList<Asked> asked_;
};
