#include "app/program.h"

#include <QApplication>

#include "app/main_window.h"
#include "app/program_icon.h"
#include "app/qt_prompts.h"

void SetUpApplication(QApplication& app) {
  app.setApplicationName(QStringLiteral("VLM"));
  app.setWindowIcon(ProgramIcon());
}

Program::Program(Prompts* prompts) {
  if (!prompts) {
    ownPrompts_ = std::make_unique<QtPrompts>();
    prompts = ownPrompts_.get();
  }
  window_ = std::make_unique<MainWindow>(*prompts);
}

Program::~Program() = default;
