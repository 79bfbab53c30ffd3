#pragma once
// The help window: the user's help pages, shipped with the program (HelpDirectory()), in a
// browser with Back, Forward and Contents.

#include <QWidget>

class QTextBrowser;

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows the contents page and brings the window to the front.
  void ShowContents();
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};
