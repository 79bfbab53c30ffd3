#pragma once
// Every modal question the program puts to the user: file and directory dialogs, error and
// information boxes, questions; and the hand-over of a written document to the desktop.
// Commands go through this interface only, so the program shows real dialogs and the tests
// answer from a script.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// What a file dialog is opened with. `filter` is in Qt's form, "Vellumar Project (*.vlm)";
// several filters are separated by ";;".
struct FileRequest {
  QString title;
  QString directory;
  QString fileName;
  QString filter;
};

// A request for a dialog that starts in `directory`, made first when it does not exist yet
// (the project directory, before anything was saved in it), so the dialog opens there.
FileRequest RequestIn(const QString& directory, const QString& title, const QString& fileName,
                      const QString& filter);

// The answers to "Save changes?".
enum class SaveAnswer { Save, DontSave, Cancel };

class Prompts {
 public:
  virtual ~Prompts() = default;

  // The chosen path, or nothing when the dialog was cancelled. A save dialog does not ask
  // about an existing file: the command appends its extension and asks MayReplace about the
  // file it will write. *selectedFilter (when given) is the filter the dialog opens with
  // (empty: the first) and receives the filter in force when it closes.
  virtual std::optional<QString> SaveFileName(QWidget* parent, const FileRequest& request,
                                              QString* selectedFilter = nullptr) = 0;
  virtual std::optional<QString> OpenFileName(QWidget* parent, const FileRequest& request) = 0;
  virtual std::optional<QString> DirectoryName(QWidget* parent, const QString& title,
                                               const QString& directory) = 0;

  // A failure the program foresaw ("ERROR: ..."): error icon, OK button.
  virtual void Error(QWidget* parent, const QString& text) = 0;
  // An input check: information icon, OK button.
  virtual void Information(QWidget* parent, const QString& text) = 0;
  // A question with the buttons Yes and No; true for Yes.
  virtual bool Question(QWidget* parent, const QString& text) = 0;
  // "Save changes?" with the buttons Save, Don't Save and Cancel. Escape and the box's close
  // button answer Cancel, so no key throws the changes away.
  virtual SaveAnswer AskSaveChanges(QWidget* parent, const QString& text) = 0;
  // A question answered by one of `choices` (button captions) or Cancel: the index of the
  // choice, nothing for Cancel, Escape or the box's close button.
  virtual std::optional<int> Choose(QWidget* parent, const QString& text,
                                    const QStringList& choices) = 0;

  // Opens a written document (a file or a folder) in the desktop's application for it.
  virtual void OpenWithDesktop(QWidget* parent, const QString& path) = 0;

  // True when `path` does not exist or the user agrees to replace it.
  bool MayReplace(QWidget* parent, const QString& path);
};
