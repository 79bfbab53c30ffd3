#include "app/qt_prompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

// A file dialog starts in the request's directory, on its file name when it has one.
QString StartPath(const FileRequest& request) {
  if (request.fileName.isEmpty()) return request.directory;
  if (QDir::isAbsolutePath(request.fileName) || request.directory.isEmpty())
    return request.fileName;
  return QDir(request.directory).filePath(request.fileName);
}

std::optional<QString> Chosen(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(path);
}

}  // namespace

std::optional<QString> QtPrompts::SaveFileName(QWidget* parent, const FileRequest& request,
                                               QString* selectedFilter) {
  QString filter = selectedFilter ? *selectedFilter : QString();
  const QString path = QFileDialog::getSaveFileName(parent, request.title, StartPath(request),
                                                    request.filter, &filter,
                                                    QFileDialog::DontConfirmOverwrite);
  if (selectedFilter) *selectedFilter = filter;
  return Chosen(path);
}

std::optional<QString> QtPrompts::OpenFileName(QWidget* parent, const FileRequest& request) {
  return Chosen(
      QFileDialog::getOpenFileName(parent, request.title, StartPath(request), request.filter));
}

std::optional<QString> QtPrompts::DirectoryName(QWidget* parent, const QString& title,
                                                const QString& directory) {
  const QString dir = QFileDialog::getExistingDirectory(parent, title, directory);
  if (dir.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(dir);
}

void QtPrompts::Error(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QApplication::applicationName(), text);
}

void QtPrompts::Information(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QApplication::applicationName(), text);
}

bool QtPrompts::Question(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, QApplication::applicationName(), text,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes) == QMessageBox::Yes;
}

SaveAnswer QtPrompts::AskSaveChanges(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                  QMessageBox::NoButton, parent);
  QPushButton* save = box.addButton(QMessageBox::Save);
  save->setText(QStringLiteral("&Save"));
  QPushButton* dontSave = box.addButton(QMessageBox::Discard);
  dontSave->setText(QStringLiteral("Do&n't Save"));
  QPushButton* cancel = box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(save);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == save) return SaveAnswer::Save;
  if (box.clickedButton() == dontSave) return SaveAnswer::DontSave;
  return SaveAnswer::Cancel;
}

std::optional<int> QtPrompts::Choose(QWidget* parent, const QString& text,
                                     const QStringList& choices) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                  QMessageBox::NoButton, parent);
  QList<QAbstractButton*> buttons;
  for (const QString& choice : choices)
    buttons.append(box.addButton(choice, QMessageBox::AcceptRole));
  box.setEscapeButton(box.addButton(QMessageBox::Cancel));
  if (!buttons.isEmpty()) box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
  box.exec();
  const qsizetype chosen = buttons.indexOf(box.clickedButton());
  if (chosen < 0) return std::nullopt;
  return int(chosen);
}

void QtPrompts::OpenWithDesktop(QWidget* parent, const QString& path) {
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
    Error(parent, QStringLiteral("ERROR: The desktop has no application that opens %1.")
                      .arg(QDir::toNativeSeparators(path)));
}
