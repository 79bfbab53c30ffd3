#include "app/qt_prompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

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
