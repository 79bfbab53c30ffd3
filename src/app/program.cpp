#include "app/program.h"

#include <QApplication>
#include <QFont>

#include "app/main_window.h"
#include "app/program_icon.h"
#include "app/prompts.h"
#include "app/qt_prompts.h"
#include "builder/build_command.h"
#include "builder/coverage_command.h"
#include "capture/capture_dialog.h"
#include "db/database.h"
#include "pages/object_tabs.h"

void SetUpApplication(QApplication& app) {
  app.setApplicationName(QStringLiteral("VLM"));
  // Desktops match the windows to the installed desktop entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.vellumar.Vellumar"));
  app.setWindowIcon(ProgramIcon());
  // The windows are laid out for a small 8 point font, like the rest of the desktop's
  // dialogs of this kind; the fixed-size main window and Options dialog need it.
  QFont font = QApplication::font();
  font.setPointSize(8);
  QApplication::setFont(font);
}

Program::Program(Prompts* prompts) {
  if (!prompts) {
    ownPrompts_ = std::make_unique<QtPrompts>();
    prompts = ownPrompts_.get();
  }
  database_ = std::make_unique<Database>();
  window_ = std::make_unique<MainWindow>(*prompts);
  MainWindow* window = window_.get();
  // Errors come mostly while a modal dialog (the login) is up: their box goes over it.
  database_->SetErrorHandler([window, prompts](const QString& message) {
    QWidget* modal = QApplication::activeModalWidget();
    prompts->Error(modal ? modal : window, QStringLiteral("ERROR: ") + message);
  });
  Database* database = database_.get();
  QObject::connect(window, &MainWindow::DisconnectRequested, window, [database] {
    if (database->Connected()) database->Disconnect();
  });
  objectTabs_ = new ObjectTabs(*window_, *database_);
  auto* build = new BuildCommand(*window, *database_, *prompts);  // owned by the window
  QObject::connect(window, &MainWindow::BuildRequested, build,
                   &BuildCommand::MIBuildprojectClick);
  auto* coverage = new CoverageCommand(*window, *database_);  // owned by the window
  QObject::connect(window, &MainWindow::CoverageRequested, coverage,
                   &CoverageCommand::MICoverageClick);
  QObject::connect(window, &MainWindow::CaptureRequested, window, [window, database, prompts] {
    CaptureDialog dialog(*prompts, window->LiveSettings().Project_dir, database->ServerName(),
                         database->UserName(), window);
    window->CenterOver(&dialog);
    dialog.exec();
  });
}

Program::~Program() = default;
