#include <QApplication>

#include "app/main_window.h"
#include "app/program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetUpApplication(app);
  Program program;
  program.Window().show();
  return app.exec();
}
