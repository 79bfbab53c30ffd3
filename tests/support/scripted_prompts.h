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
    QString what;  // "save", "open", "directory", "error", "information", "question"
    QString text;  // title of a dialog, text of a box
    FileRequest request;
    QString selectedFilter;  // the filter a save dialog opened with
  };

  // The next file or directory dialog returns `path`; an empty path cancels it. A save
  // dialog keeps the filter it opened with, unless `filterIndex` (counted from 0 in the
  // request's filters) says the user picked another.
  void AnswerFile(const QString& path, int filterIndex = -1) {
    files_.push_back({path, filterIndex});
  }
  void CancelFile() { files_.push_back({}); }
  void AnswerYes() { answers_.push_back(true); }
  void AnswerNo() { answers_.push_back(false); }

  const QList<Asked>& History() const { return asked_; }
  // The texts of the error boxes shown so far, and of the questions asked.
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

 private:
  struct FileAnswer {
    QString path;
    int filterIndex = -1;
  };
  std::optional<FileAnswer> NextFile(const QString& what, const FileRequest& request);

  std::deque<FileAnswer> files_;
  std::deque<bool> answers_;
  QList<Asked> asked_;
};
