#pragma once
// Keeps every modal dialog of the program from being minimised. Qt asks the window manager
// for dialogs without a minimise button, but some window managers offer one all the same;
// a minimised modal dialog would leave the main window refusing input with nothing to
// click. So a modal dialog that is minimised comes straight back.

#include <QObject>

class ModalDialogsStayUp : public QObject {
  Q_OBJECT
 public:
  // Watches every window of the application while it exists.
  explicit ModalDialogsStayUp(QObject* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
