#pragma once
// TFRMABOUT, "About VLM": the product name, the version label L_VERSION, the attribution
// and the credits of the libraries the program is built on.

#include <QDialog>

// The version label's text; the main window's caption ends with it.
inline constexpr char kVersionLabel[] = "v.1.0";

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};
