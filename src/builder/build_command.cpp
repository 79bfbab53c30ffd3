#include "builder/build_command.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTabWidget>

#include "app/prompts.h"
#include "builder/build_runner.h"
#include "builder/new_version_dialog.h"
#include "builder/progress_dialog.h"
#include "classic/build_context.h"
#include "db/database.h"
#include "modern/output_folder.h"
#include "pages/project_window.h"
#include "pages/tab_window.h"
#include "project/project.h"
#include "settings/settings.h"

const QString BuildCommand::kHtmlFilter = QStringLiteral("Vellumar (*.htm)");
const QString BuildCommand::kTextFilter = QStringLiteral("Vellumar (*.txt)");
const QString BuildCommand::kModernFilter = QStringLiteral("Web page (*.html)");
const QString BuildCommand::kMarkdownFilter = QStringLiteral("Markdown (*.md)");
// The dialog lists a site's index.html, which names its folder: so an existing site can be
// chosen again. A filter without a pattern would list nothing in it.
const QString BuildCommand::kSiteFilter = QStringLiteral("Web site (folder) (index.html)");

namespace {

// The progress window, with its OK (and Open), is where the user goes on from a question or
// an error box the build ended with: Escape or Enter there closes it.
void BringBack(QWidget* progress) {
  progress->raise();
  progress->activateWindow();
}

// How the save dialog's file types are named in a sentence, in the dialog and on a button.
QString TypeNoun(OutputFormat format) {
  switch (format) {
    case OutputFormat::Html: return BuildCommand::tr("the HTML document");
    case OutputFormat::Text: return BuildCommand::tr("the text document");
    case OutputFormat::ModernHtml: return BuildCommand::tr("the web page");
    case OutputFormat::Markdown: return BuildCommand::tr("the Markdown folder");
    case OutputFormat::Site: return BuildCommand::tr("the web site");
  }
  return {};
}

QString FilterOf(OutputFormat format) {
  switch (format) {
    case OutputFormat::Html: return BuildCommand::kHtmlFilter;
    case OutputFormat::Text: return BuildCommand::kTextFilter;
    case OutputFormat::ModernHtml: return BuildCommand::kModernFilter;
    case OutputFormat::Markdown: return BuildCommand::kMarkdownFilter;
    case OutputFormat::Site: return BuildCommand::kSiteFilter;
  }
  return {};
}

QString TypeButton(OutputFormat format) {
  switch (format) {
    case OutputFormat::Html: return BuildCommand::tr("&HTML document");
    case OutputFormat::Text: return BuildCommand::tr("&Text document");
    case OutputFormat::ModernHtml: return BuildCommand::tr("&Web page");
    case OutputFormat::Markdown: return BuildCommand::tr("&Markdown folder");
    case OutputFormat::Site: return BuildCommand::tr("Web &site");
  }
  return {};
}

}  // namespace

void ShowConnectionAfterBuild(ProjectWindow& window, const Database& db, bool wasConnected,
                              bool restored) {
  if (wasConnected && restored)
    window.SetConnectionStatus(db.UserName() + QStringLiteral("@") + db.ServerName());
  else if (!db.Connected())
    window.SetConnectionStatus(QString());
}

BuildCommand::BuildCommand(ProjectWindow& window, Database& db, Prompts& prompts)
    : QObject(&window), window_(window), db_(db), prompts_(prompts),
      selectedFilter_(kHtmlFilter) {}

void BuildCommand::MIBuildprojectClick() {
  // F9 pressed again while the pending events are processed must not start a build inside
  // this one.
  if (running_) return;
  const QScopedValueRollback<bool> running(running_, true);
  const Settings& settings = window_.LiveSettings();
  const FileRequest request = RequestIn(
      settings.Project_dir, QStringLiteral("Building Vellumar"), QString(),
      QStringList{kHtmlFilter, kTextFilter, kModernFilter, kMarkdownFilter, kSiteFilter}.join(
          QStringLiteral(";;")));
  QString filter = selectedFilter_;
  const auto chosen = prompts_.SaveFileName(&window_, request, &filter);
  if (!chosen) return;
  if (!filter.isEmpty()) selectedFilter_ = filter;
  OutputFormat format = selectedFilter_ == kTextFilter       ? OutputFormat::Text
                        : selectedFilter_ == kModernFilter   ? OutputFormat::ModernHtml
                        : selectedFilter_ == kMarkdownFilter ? OutputFormat::Markdown
                        : selectedFilter_ == kSiteFilter     ? OutputFormat::Site
                                                             : OutputFormat::Html;
  if (const auto named = FormatOfExtension(*chosen, format)) {
    const auto answer = prompts_.Choose(
        &window_,
        tr("Write %1 to %2, or %3 %4?")
            .arg(TypeNoun(format), QFileInfo(OutputFileName(*chosen, format)).fileName(),
                 TypeNoun(*named), QFileInfo(OutputFileName(*chosen, *named)).fileName()),
        {TypeButton(format), TypeButton(*named)});
    if (!answer) return;
    // The type meant is the one the dialog opens with next time.
    if (*answer == 1) {
      format = *named;
      selectedFilter_ = FilterOf(format);
    }
  }
  Project& project = window_.CurrentProject();
  if (format == OutputFormat::ModernHtml) {
    const int objects = ProgressMaximum(project, settings) - 1;  // of the parts shown
    if (objects > kSiteAdvice) {
      const auto answer = prompts_.Choose(
          &window_,
          tr("This project documents %1 objects: as one web page it takes a browser long to "
             "open. A web site, a folder with a page per object, opens at once. Build which?")
              .arg(objects),
          {TypeButton(OutputFormat::Site), TypeButton(OutputFormat::ModernHtml)});
      if (!answer) return;
      if (*answer == 0) {
        format = OutputFormat::Site;
        selectedFilter_ = kSiteFilter;
      }
    }
  }
  const QString output = OutputFileName(*chosen, format);
  if (!MayWrite(output, format)) return;

  const bool wasConnected = db_.Connected();
  auto* progress = new ProgressDialog(&window_);
  window_.CenterOver(progress);
  window_.Tabs().TabControl()->setCurrentIndex(0);
  // The one chance for the dialog and the Project tab to paint: the build does not return
  // to the event loop until it has ended.
  QCoreApplication::processEvents();

  db_.SetSnapshotDirectories({settings.Project_dir, SampleDictionaryDirectory()});
  db_.SetCallTimeout(settings.Call_timeout);
  // Files of the user's in a folder are replaced only when the user says so.
  const auto mayReplace = [this](const QStringList& names) {
    return prompts_.Question(
        &window_, tr("The folder holds files that no earlier build wrote:\n%1\nReplace them?")
                      .arg(names.join(u'\n')));
  };
  const BuildResult result =
      BuildDocument(project, settings, db_, *progress, *chosen, format, mayReplace);

  ShowConnectionAfterBuild(window_, db_, wasConnected, result.connectionRestored);

  if (result.failure == BuildResult::Failure::UsersFiles) {
    // The user chose to keep their files: nothing to report but that nothing was written.
    progress->Finish(tr("Nothing was written; your files stay."), false);
    BringBack(progress);
    return;
  }
  if (!result.ok()) {
    progress->Finish(tr("Build failed."), false);
    // A database error was shown by the connection's handler when it happened.
    if (result.failure != BuildResult::Failure::Database) prompts_.Error(&window_, result.error);
    BringBack(progress);
    return;
  }

  QString done = tr("Document is built.");
  if (result.replacedCharacters > 0)
    done += tr("\n%n character(s) outside Windows-1252 written as \"?\".", nullptr,
               result.replacedCharacters);
  progress->Finish(done, true);
  // A web site is opened at its first page, in the browser; a Markdown folder as a folder.
  const QString opened = format == OutputFormat::Site
                             ? QDir(result.outputPath).filePath(QStringLiteral("index.html"))
                             : result.outputPath;
  progress->ShowOutput(opened, format == OutputFormat::Markdown);
  connect(progress, &ProgressDialog::OpenRequested, this,
          [this, progress, path = opened] { prompts_.OpenWithDesktop(progress, path); });

  if (!version_) version_ = new NewVersionDialog(&window_);
  project.SetVersion(version_->AskVersion(project.Info().Version));
  window_.SetModifiedMarker(QStringLiteral("Modified"));
  BringBack(progress);
}

bool BuildCommand::MayWrite(const QString& output, OutputFormat format) {
  if (!IsFolderFormat(format)) return prompts_.MayReplace(&window_, output);
  // A folder is not replaced whole: only what earlier builds wrote there is, and where none
  // did there is nothing to ask yet (a file of the user's that the document would replace
  // is asked about by name once the files are made).
  if (!QFileInfo(output).isDir() || !QFileInfo::exists(QDir(output).filePath(kManifestName)))
    return true;
  return prompts_
      .Choose(&window_,
              tr("Files that Vellumar wrote in %1 will be replaced; your own files stay.")
                  .arg(QDir::toNativeSeparators(output)),
              {tr("&Replace")})
      .has_value();
}
