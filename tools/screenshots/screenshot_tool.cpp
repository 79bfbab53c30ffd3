// Saves PNG pictures of the main window with the sample project open (and modified, with
// the "Save changes?" question), the File and Edit menus, the button bar, the login dialog,
// the six object tabs logged on to the sample dictionary, a line too long for its list with
// its tool tip, the main window enlarged, the progress and version dialogs of builds of the
// sample project (an HTML document, a web page after the question which type was meant, a
// Markdown folder built again after its question), the coverage window, the Options dialog
// on each of its pages, the capture dialog, About and the help window, into the folder given as the only argument.
//
// Run under a window manager, the pictures of dialogs and of the enlarged main window are
// taken from the screen with their frames and captions.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <deque>
#include <utility>

#include "app/about_dialog.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/qt_prompts.h"
#include "builder/new_version_dialog.h"
#include "builder/progress_dialog.h"
#include "capture/capture_dialog.h"
#include "coverage/coverage_window.h"
#include "db/database.h"
#include "db/login_dialog.h"
#include "pages/object_page.h"
#include "pages/object_tabs.h"
#include "pages/tab_window.h"
#include "project/history_menus.h"
#include "settings/options.h"

namespace {

QDir g_out;

void Settle(QWidget* widget) {
  widget->show();
  (void)QTest::qWaitForWindowExposed(widget);
  QTest::qWait(150);
}

bool SavePixmap(const QPixmap& picture, const QString& name) {
  const QString path = g_out.filePath(name + QStringLiteral(".png"));
  const bool ok = picture.save(path);
  QTextStream(stdout) << (ok ? "saved " : "FAILED ") << path << Qt::endl;
  return ok;
}

bool Save(QWidget* widget, const QString& name) { return SavePixmap(widget->grab(), name); }

// The part of the screen that `area` covers: a window with its frame and caption, and any
// tool tip or pop-up over it.
bool SaveScreen(const QRect& area, const QString& name) {
  return SavePixmap(QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(),
                                                                 area.width(), area.height()),
                    name);
}

bool SaveFramed(QWidget* window, const QString& name) {
  return SaveScreen(window->frameGeometry(), name);
}

// The login dialog with a connection history, then each object tab logged on as HR to the
// sample database DEMO, its first project line selected.
bool SaveLoginAndObjectTabs(Program& program) {
  MainWindow& window = program.Window();
  const QString history = window.LiveSettings().DBLog_history;
  QDir().mkpath(QFileInfo(history).absolutePath());
  QFile file(history);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write("[PREVIOUS]\r\nDEMO;HR;\r\nSALES;SALES;\r\nDEMO;PAYROLL;\r\n[LAST]\r\nDEMO;HR;\r\n");
  file.close();

  LoginDialog* login = program.Objects().Login();
  login->SetHistoryFile(history);
  window.CenterOver(login);
  Settle(login);
  login->FEPassword->setText(QStringLiteral("hr"));
  bool ok = Save(login, QStringLiteral("login"));
  login->FBtnOk->click();
  if (!program.Data().Connected()) return false;
  window.SetConnectionStatus(program.Data().UserName() + QStringLiteral("@") +
                             program.Data().ServerName());

  const char* names[] = {"page_tables",   "page_views",     "page_procs",
                         "page_packages", "page_sequences", "page_roles"};
  for (ObjectKind kind : kAllObjectKinds) {
    window.Tabs().TabControl()->setCurrentIndex(static_cast<int>(kind) + 1);
    ObjectPage* page = program.Objects().Page(kind);
    if (page->FlatListBox2->count() > 0) page->FlatListBox2->setCurrentRow(0);
    if (page->FlatListBox1->count() > 0) page->FlatListBox1->setCurrentRow(0);
    QTest::qWait(100);
    ok &= Save(&window, QString::fromLatin1(names[static_cast<int>(kind)]));
  }
  // Nothing selected: the description box is off, grey and empty.
  window.Tabs().TabControl()->setCurrentIndex(1);
  program.Objects().Page(ObjectKind::Tables)->SwitchDescriptionOff();
  QTest::qWait(100);
  ok &= Save(&window, QStringLiteral("page_tables_nothing_selected"));
  window.Tabs().TabControl()->setCurrentIndex(0);
  return ok;
}

// A view whose name is too long for the project list, and the tool tip that shows it whole
// while the mouse rests on it; then the main window enlarged, the lists grown with it.
bool SaveLongNameAndEnlargedWindow(Program& program) {
  MainWindow& window = program.Window();
  const QString name = QStringLiteral("EMPLOYEES_WITH_THEIR_DEPARTMENTS_JOBS_AND_LOCATIONS_V");
  window.CurrentProject().AppendEntry(ObjectKind::Views, {{"DEMO", "HR", "hr"}, name, ""});
  window.Tabs().TabControl()->setCurrentIndex(static_cast<int>(ObjectKind::Views) + 1);
  QListWidget* list = program.Objects().Page(ObjectKind::Views)->FlatListBox2;
  const auto found = list->findItems(QStringLiteral("DEMO.") + name, Qt::MatchExactly);
  if (found.size() != 1) return false;
  list->setCurrentItem(found.first());
  QTest::qWait(100);
  const QPoint at = list->visualItemRect(found.first()).center();
  QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
  QApplication::sendEvent(list->viewport(), &help);
  QTest::qWait(300);
  bool ok = SaveScreen(window.frameGeometry(), QStringLiteral("tooltip_long_name"));

  // The tip goes a moment after it is told to, and would stand over the enlarged window.
  QToolTip::hideText();
  QTest::qWait(400);
  window.resize(960, 680);
  QTest::qWait(300);
  ok &= SaveFramed(&window, QStringLiteral("main_window_enlarged"));
  window.resize(610, 513);
  window.Tabs().TabControl()->setCurrentIndex(0);
  QTest::qWait(100);
  return ok;
}

// The next message box that is shown, with its frame, then the press of its button
// captioned `button`.
void AnswerNextBox(const QString& name, const QString& button, bool* ok) {
  auto* watch = new QTimer;
  watch->setInterval(20);
  QObject::connect(watch, &QTimer::timeout, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    watch->stop();
    watch->deleteLater();
    Settle(box);
    *ok &= SaveFramed(box, name);
    for (QAbstractButton* b : box->buttons())
      if (b->text() == button) b->click();
  });
  watch->start();
}

// Project > Build, then the progress dialog as the build leaves it.
bool BuildAndSaveProgress(MainWindow& window, const QString& name) {
  const auto before = window.findChildren<ProgressDialog*>();
  window.findChild<QAction*>(QStringLiteral("MIBuildproject"))->trigger();
  for (ProgressDialog* progress : window.findChildren<ProgressDialog*>()) {
    if (before.contains(progress)) continue;
    Settle(progress);
    const bool ok = Save(progress, name);
    progress->close();
    return ok;
  }
  return false;
}

// Builds of the sample project: the version dialog while it asks, the progress dialog as
// each build leaves it (naming the file or folder written) and as it looks while a build
// runs, the question which type a name with another type's extension meant, and the one
// before a Markdown folder is built again.
bool SaveBuildDialogs(MainWindow& window) {
  bool ok = true;
  bool versionShown = false;
  QTimer versionWatch;
  versionWatch.setInterval(20);
  QObject::connect(&versionWatch, &QTimer::timeout, [&] {
    auto* version = qobject_cast<NewVersionDialog*>(QApplication::activeModalWidget());
    if (!version) return;
    if (!versionShown) {
      Settle(version);
      ok &= SaveFramed(version, QStringLiteral("build_version"));
      versionShown = true;
    }
    version->accept();
  });
  versionWatch.start();
  ok &= BuildAndSaveProgress(window, QStringLiteral("build_progress"));
  AnswerNextBox(QStringLiteral("build_which_type"), QStringLiteral("&Web page"), &ok);
  ok &= BuildAndSaveProgress(window, QStringLiteral("build_progress_web_page"));
  ok &= BuildAndSaveProgress(window, QStringLiteral("build_progress_markdown"));
  AnswerNextBox(QStringLiteral("build_markdown_again"), QStringLiteral("&Replace"), &ok);
  ok &= BuildAndSaveProgress(window, QStringLiteral("build_progress_markdown"));
  versionWatch.stop();

  // The dialog as a build shows it while it runs: the first table of the sample written.
  auto* running = new ProgressDialog(&window);
  running->SetProgressMax(29);
  running->SetInfoText(QStringLiteral("Building table: \r\nEMPLOYEES"));
  running->StepProgress(1);
  Settle(running);
  ok &= Save(running, QStringLiteral("build_progress_running"));
  running->Finish(QString(), false);
  running->close();
  return ok;
}

// Project > Coverage on the sample project, then its rows narrowed to the parameters that
// need a word and sorted by the share documented.
bool SaveCoverage(MainWindow& window) {
  window.findChild<QAction*>(QStringLiteral("MICoverage"))->trigger();
  auto* coverage = window.findChild<CoverageWindow*>(QStringLiteral("FRMCOVERAGE"));
  if (!coverage) return false;
  Settle(coverage);
  bool ok = SaveFramed(coverage, QStringLiteral("coverage"));
  coverage->Filter()->setText(QStringLiteral("described"));
  coverage->Table()->sortByColumn(CoverageWindow::DocumentedColumn, Qt::AscendingOrder);
  QTest::qWait(100);
  ok &= SaveFramed(coverage, QStringLiteral("coverage_filtered"));

  // A column heading's tool tip, then a double click on a table's row: its entry on the
  // Tables tab, ready to describe.
  QTableView* table = coverage->Table();
  QHeaderView* header = table->horizontalHeader();
  const QPoint heading(header->sectionViewportPosition(CoverageWindow::DocumentedColumn) + 20,
                       header->height() / 2);
  QHelpEvent tip(QEvent::ToolTip, heading, header->viewport()->mapToGlobal(heading));
  QApplication::sendEvent(header->viewport(), &tip);
  QTest::qWait(300);
  ok &= SaveFramed(coverage, QStringLiteral("coverage_heading_tip"));
  QToolTip::hideText();
  QTest::qWait(400);
  coverage->Filter()->setText(QStringLiteral("JOB_HISTORY_NOTES"));
  const QModelIndex row = table->model()->index(0, CoverageWindow::ObjectColumn);
  const QPoint at = table->visualRect(row).center();
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
  QTest::qWait(200);
  ok &= SaveFramed(&window, QStringLiteral("coverage_to_entry"));
  coverage->close();
  window.Tabs().TabControl()->setCurrentIndex(0);
  return ok;
}

// Qt's dialogs, except that the build's save dialog answers with the next of the given files
// and types (an empty type: the one the dialog opens with).
class BuildPrompts : public QtPrompts {
 public:
  void Answer(const QString& path, const QString& filter = {}) {
    answers_.push_back({path, filter});
  }
  std::optional<QString> SaveFileName(QWidget* parent, const FileRequest& request,
                                      QString* selectedFilter) override {
    if (request.title != QLatin1String("Building Vellumar") || answers_.empty())
      return QtPrompts::SaveFileName(parent, request, selectedFilter);
    const auto [path, filter] = answers_.front();
    answers_.pop_front();
    if (selectedFilter && !filter.isEmpty()) *selectedFilter = filter;
    return path;
  }

 private:
  std::deque<std::pair<QString, QString>> answers_;
};

// The project modified by a typed word: the caption's mark, and the question before it
// would be closed.
bool SaveModifiedProject(MainWindow& window) {
  auto* general = window.findChild<QPlainTextEdit*>(QStringLiteral("FMGeneral"));
  if (!general) return false;
  const QString before = window.CurrentProject().Info().General;
  general->setFocus();
  general->moveCursor(QTextCursor::End);
  QTest::keyClicks(general, QStringLiteral(" More."));
  QTest::qWait(100);
  bool ok = SaveFramed(&window, QStringLiteral("main_window_modified"));
  AnswerNextBox(QStringLiteral("save_changes"), QStringLiteral("Cancel"), &ok);
  window.findChild<QAction*>(QStringLiteral("MIClose"))->trigger();
  ok &= window.Tabs().isVisible();  // Cancel kept the project open
  window.CurrentProject().SetGeneral(before);
  window.CurrentProject().SetModified(false);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetUpApplication(app);
  if (argc != 2) {
    QTextStream(stderr) << "usage: vellumar_screenshots OUTPUT_DIR" << Qt::endl;
    return 2;
  }
  g_out = QDir(QString::fromLocal8Bit(argv[1]));
  g_out.mkpath(QStringLiteral("."));

  // The sample project, copied so that nothing in the source tree is touched.
  const QString project = g_out.filePath(QStringLiteral("demo.vlm"));
  QFile::remove(project);
  QFile::copy(QStringLiteral(VELLUMAR_SOURCE_DIR "/data/sample/demo.vlm"), project);

  // The builds write new documents, so no question about replacing one is asked; the
  // Markdown folder is built twice, to show the question before a folder is written again.
  for (const char* name : {"demo.htm", "sample.htm.html"})
    QFile::remove(g_out.filePath(QString::fromLatin1(name)));
  QDir(g_out.filePath(QStringLiteral("markdown"))).removeRecursively();
  BuildPrompts buildPrompts;
  buildPrompts.Answer(g_out.filePath(QStringLiteral("demo.htm")));
  buildPrompts.Answer(g_out.filePath(QStringLiteral("sample.htm")), QStringLiteral("Web page (*.html)"));
  for (int i = 0; i < 2; ++i)
    buildPrompts.Answer(g_out.filePath(QStringLiteral("markdown.md")), QStringLiteral("Markdown (*.md)"));
  Program program(&buildPrompts);
  MainWindow& window = program.Window();
  Settle(&window);
  bool ok = Save(&window, QStringLiteral("main_window_empty"));

  window.Commands().ReopenProject(project);
  window.History().AddToHistory(project);
  QTest::qWait(100);
  ok &= Save(&window, QStringLiteral("main_window_project"));
  ok &= Save(window.findChild<QToolBar*>(QStringLiteral("ToolBar2")), QStringLiteral("toolbar"));
  ok &= SaveModifiedProject(window);
  ok &= SaveLoginAndObjectTabs(program);
  ok &= SaveLongNameAndEnlargedWindow(program);
  ok &= SaveBuildDialogs(window);
  ok &= SaveCoverage(window);

  auto* file = window.findChild<QMenu*>(QStringLiteral("MIFile"));
  file->popup(window.mapToGlobal(QPoint(10, 30)));
  Settle(file);
  ok &= Save(file, QStringLiteral("file_menu"));
  file->hide();
  auto* edit = window.findChild<QMenu*>(QStringLiteral("MIEdit"));
  edit->popup(window.mapToGlobal(QPoint(50, 30)));
  Settle(edit);
  ok &= Save(edit, QStringLiteral("edit_menu"));
  edit->hide();

  QtPrompts prompts;
  OptionsDialog options(window.LiveSettings(), prompts, &window);
  options.ShowSettings();
  window.CenterOver(&options);
  Settle(&options);
  const char* pages[] = {"options_directories", "options_document", "options_proctags",
                         "options_packagetags"};
  for (int i = 0; i < 4; ++i) {
    options.TabControl()->setCurrentIndex(i);
    QTest::qWait(100);
    ok &= Save(&options, QString::fromLatin1(pages[i]));
  }
  options.hide();

  CaptureDialog capture(prompts, window.LiveSettings().Project_dir, QStringLiteral("ORCL"),
                        QStringLiteral("HR"), &window);
  capture.findChild<QLineEdit*>(QStringLiteral("FEdOwners"))->setText(QStringLiteral("HR, PAYROLL"));
  window.CenterOver(&capture);
  Settle(&capture);
  ok &= SaveFramed(&capture, QStringLiteral("capture_dialog"));
  capture.hide();

  AboutDialog about(&window);
  window.CenterOver(&about);
  Settle(&about);
  ok &= Save(&about, QStringLiteral("about"));
  about.hide();

  window.ShowHelpContents();
  Settle(window.Help());
  ok &= Save(window.Help(), QStringLiteral("help"));

  window.CurrentProject().SetModified(false);
  return ok ? 0 : 1;
}
