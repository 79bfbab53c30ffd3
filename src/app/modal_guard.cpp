#include "app/modal_guard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

ModalDialogsStayUp::ModalDialogsStayUp(QObject* parent) : QObject(parent) {
  QCoreApplication::instance()->installEventFilter(this);
}

bool ModalDialogsStayUp::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    auto* window = qobject_cast<QWidget*>(watched);
    if (window && window->isWindow() && window->isModal() && window->isMinimized()) {
      // After the window manager has finished minimising it.
      QTimer::singleShot(0, window, [window] {
        window->showNormal();
        window->raise();
        window->activateWindow();
      });
    }
  }
  return QObject::eventFilter(watched, event);
}
