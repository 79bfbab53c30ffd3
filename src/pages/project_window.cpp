#include "pages/project_window.h"

#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "text/ansi.h"

ProjectWindow::ProjectWindow(Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts) {}

void ProjectWindow::SetConnectionStatus(const QString& text) {
  QString shown = ansi::UpperCase(text);
  if (shown.isEmpty()) shown = QStringLiteral("Not connected");
  statusPanel0_->setText(shown);
  statusPanel0_->setFixedWidth(statusPanel0_->fontMetrics().horizontalAdvance(shown) + 6);
}

void ProjectWindow::SetModifiedMarker(const QString& text) {
  project_.SetModified(ansi::SameText(text, kModifiedMarker));
}

void ProjectWindow::PlaceOnScreen(QWidget* window) const {
  CenterOver(window);
  const QScreen* shown = screen();
  if (!shown) return;
  const QRect area = shown->availableGeometry();
  window->resize(window->size().boundedTo(area.size()));
  const QSize size = window->frameGeometry().size();
  window->move(std::max(area.left(), std::min(window->x(), area.right() + 1 - size.width())),
               std::max(area.top(), std::min(window->y(), area.bottom() + 1 - size.height())));
}

void ProjectWindow::CenterOver(QWidget* dialog) const {
  const QRect outer = frameGeometry();
  const QSize size = dialog->frameGeometry().size();
  const int left = outer.left() + static_cast<int>(std::lround((outer.width() - size.width()) / 2.0));
  const int top = outer.top() + static_cast<int>(std::lround((outer.height() - size.height()) / 2.0));
  dialog->move(left, top);
}
