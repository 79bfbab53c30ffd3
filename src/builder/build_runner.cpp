#include "builder/build_runner.h"

#include <optional>

#include "db/database.h"
#include <QFileInfo>

#include "builder/document_changes.h"
#include "classic/build_context.h"
#include "classic/document_file.h"
#include "classic/general_sections.h"
#include "classic/list_sections.h"
#include "classic/packages_section.h"
#include "classic/procedures_section.h"
#include "classic/tables_section.h"
#include "classic/views_section.h"
#include "diagrams/diagrams.h"
#include "model/document_model.h"
#include "model/document_model_builder.h"
#include "modern/markdown.h"
#include "modern/modern_html.h"
#include "modern/object_stream.h"
#include "modern/output_folder.h"
#include "modern/site.h"
#include "modern/templates.h"
#include "project/project.h"
#include "settings/settings.h"
#include "text/ansi.h"
#include "text/file_replacement.h"
#include "text/input_file.h"

namespace {

// The header pass reports nothing: the body pass reports every step.
class NoProgress : public BuildProgress {
 public:
  void SetInfoText(const QString&) override {}
  void StepProgress(int) override {}
  void SetProgress(int) override {}
  void SetProgressMax(int) override {}
};

void WriteDocument(BuildContext& ctx) {
  const Settings& settings = ctx.settings;
  int SectionNumber = 1;
  WriteHeader(ctx);
  if (settings.Part(DocumentPart::Content)) WriteContentHeading(ctx);
  if (settings.Part(DocumentPart::Project)) WriteGeneralSection(ctx, SectionNumber);
  if (settings.Part(DocumentPart::Tables)) WriteTablesSection(ctx, SectionNumber);
  if (settings.Part(DocumentPart::Views)) WriteViewsSection(ctx, SectionNumber);
  if (settings.Part(DocumentPart::ProceduresAndFunctions)) {
    WriteProceduresSection(ctx, SectionNumber);
  }
  if (settings.Part(DocumentPart::Packages)) WritePackagesSection(ctx, SectionNumber);
  if (settings.Part(DocumentPart::Sequences)) WriteSequencesSection(ctx, SectionNumber);
  if (settings.Part(DocumentPart::Roles)) WriteRolesSection(ctx, SectionNumber);
  if (settings.Part(DocumentPart::Content) && ctx.HtmlOutput) {
    ctx.doc.TempMemoHeader.append(QStringLiteral("<HR>"));
  }
  WriteDocumentEnd(ctx);
}

// Writes the web page, as it is rendered, through a replacement of the file, as the
// classic documents are written. False with the system's reason in *error.
bool WritePage(const QString& path, const DocumentModel& model, const TemplateSet& templates,
               const DiagramSource& diagrams, const ObjectStream& objects, QString* error) {
  FileReplacement file(path);
  if (file.Begin()) {
    // A failed write shows in Commit.
    RenderModernHtml(
        model, templates, diagrams,
        [&file](std::string_view piece) {
          return file.File().write(piece.data(), qint64(piece.size())) == qint64(piece.size());
        },
        &objects);
    if (file.Commit() == FileReplacement::Outcome::New) return true;
  }
  *error = file.Error();
  return false;
}

// The modern build: the user's templates checked first (a bad template costs no dictionary
// work), then the model, which keeps only the objects' index while the objects wait in a
// temporary file, then the templates (the built-in ones always parse) and the overviews.
// Each object is read back, drawn, rendered and written in turn, so a large document is
// never held at once, and a failure on the way (a layout, the temporary file) leaves the
// old document as it was. The parsed templates, megabytes, are not held while the
// dictionary is read.
void BuildModern(BuildResult& result, const Project& project, const Settings& settings,
                 Database& db, BuildProgress& progress, OutputFormat format,
                 const MayReplaceUsersFiles& mayReplace) {
  const TemplateFormat templateFormat =
      format == OutputFormat::Markdown ? TemplateFormat::Markdown : TemplateFormat::ModernHtml;
  QString reason;
  if (IsFolderFormat(format) && !RecoverOutputFolder(result.outputPath, &reason)) {
    result.failure = BuildResult::Failure::Save;
    result.error = "ERROR: " + reason;
    return;
  }
  const auto load = [&](TemplateSet& templates) {
    if (templates.Load(templateFormat, settings.Template_dir, &reason)) return true;
    result.failure = BuildResult::Failure::Template;
    result.error = "ERROR: " + reason;
    return false;
  };
  if (!settings.Template_dir.isEmpty()) {
    TemplateSet checked;
    if (!load(checked)) return;
  }
  if (!settings.Changes_since.isEmpty() && !CanCompareWith(settings.Changes_since, &reason)) {
    result.failure = BuildResult::Failure::Changes;
    result.error = "ERROR: " + reason;
    return;
  }
  ObjectStream objects(format == OutputFormat::Site);
  if (!objects.Open(&reason)) {
    result.failure = BuildResult::Failure::Save;
    result.error = inputfile::WithReason(
        QStringLiteral("ERROR: Can't create a temporary file for the objects."), reason);
    return;
  }
  DocumentModel model =
      BuildDocumentModel(project, settings, db, progress, ModelScope::Document, &objects);
  if (!objects.Error().isEmpty()) {
    result.failure = BuildResult::Failure::Save;
    result.error = inputfile::WithReason(
        QStringLiteral("ERROR: Can't write the objects' temporary file."), objects.Error());
    return;
  }
  if (!settings.Changes_since.isEmpty() &&
      !AddChangesSince(model, settings, settings.Changes_since, &reason)) {
    result.failure = BuildResult::Failure::Changes;
    result.error = "ERROR: " + reason;
    return;
  }
  TemplateSet templates;
  if (!load(templates)) return;
  // A Markdown drawing lies beside its page, in its owner's folder, and links from there;
  // a site's drawing links a sequence to the page of its list that holds its row.
  std::optional<FileLayout> layout;
  if (format == OutputFormat::Markdown) layout.emplace(MarkdownLayout(model));
  const ListPages lists(model);
  DiagramPainter diagrams(model, settings.Diagrams,
                          format == OutputFormat::Markdown ? MarkdownLinks(*layout)
                          : format == OutputFormat::Site   ? Links(lists)
                                                           : Links(LinkStyle::Page),
                          progress);
  const auto diagramFailed = [&](const QString& why) {
    result.failure = BuildResult::Failure::Diagram;
    result.error = "ERROR: " + why;
  };
  if (!diagrams.DrawOverviews(&reason)) return diagramFailed(reason);
  try {
    if (format == OutputFormat::ModernHtml) {
      if (!WritePage(result.outputPath, model, templates, diagrams, objects, &reason)) {
        result.failure = BuildResult::Failure::Save;
        result.error = inputfile::WithReason(
            QStringLiteral("ERROR: Can't create a file %1.").arg(result.outputPath), reason);
      }
      return;
    }
    const auto produce = [&](const PutFile& put) {
      return format == OutputFormat::Site
                 ? RenderSite(model, templates, diagrams, put, &objects)
                 : RenderMarkdown(model, templates, diagrams, put, &objects, &*layout);
    };
    switch (WriteOutputFolder(result.outputPath, produce, mayReplace, &reason)) {
      case FolderOutcome::Written:
        return;
      case FolderOutcome::UsersFiles:
        result.failure = BuildResult::Failure::UsersFiles;
        result.error = "ERROR: " + reason;
        return;
      case FolderOutcome::Failed:
        result.failure = BuildResult::Failure::Save;
        result.error = inputfile::WithReason(
            QStringLiteral("ERROR: Can't write the folder %1.").arg(result.outputPath), reason);
        return;
    }
  } catch (const TemplateOverflow& e) {
    result.failure = BuildResult::Failure::Template;
    result.error = "ERROR: " + e.Message();
  } catch (const DiagramFailure& failure) {
    diagramFailed(failure.reason);
  } catch (const SpillFailure& failure) {
    result.failure = BuildResult::Failure::Save;
    result.error = inputfile::WithReason(
        QStringLiteral("ERROR: Can't read back the objects' temporary file."), failure.reason);
  }
}

}  // namespace

bool IsModernFormat(OutputFormat format) {
  return format == OutputFormat::ModernHtml || IsFolderFormat(format);
}

bool IsFolderFormat(OutputFormat format) {
  return format == OutputFormat::Markdown || format == OutputFormat::Site;
}

namespace {

// A folder format's first page, which names its folder when it is chosen.
QString FolderIndex(OutputFormat format) {
  return format == OutputFormat::Site ? QStringLiteral("index.html") : QStringLiteral("README.md");
}

}  // namespace

QString OutputFileName(const QString& chosen, OutputFormat format) {
  if (IsFolderFormat(format)) {
    const QFileInfo file(chosen);
    if (file.fileName().compare(FolderIndex(format), Qt::CaseInsensitive) == 0)
      return file.path();
    const QString extension =
        format == OutputFormat::Site ? QStringLiteral(".html") : QStringLiteral(".md");
    return chosen.endsWith(extension, Qt::CaseInsensitive) ? chosen.chopped(extension.size())
                                                           : chosen;
  }
  const QString extension = format == OutputFormat::Text         ? QStringLiteral(".txt")
                            : format == OutputFormat::ModernHtml ? QStringLiteral(".html")
                                                                 : QStringLiteral(".htm");
  if (ansi::UpperCase(chosen).contains(ansi::UpperCase(extension))) return chosen;
  return chosen + extension;
}

std::optional<OutputFormat> FormatOfExtension(const QString& chosen, OutputFormat format) {
  if (!IsModernFormat(format)) return std::nullopt;
  // The site's own first page names its folder.
  if (format == OutputFormat::Site &&
      QFileInfo(chosen).fileName().compare(FolderIndex(format), Qt::CaseInsensitive) == 0)
    return std::nullopt;
  static const std::pair<const char*, OutputFormat> kExtensions[] = {
      {".htm", OutputFormat::Html},
      {".txt", OutputFormat::Text},
      {".html", OutputFormat::ModernHtml},
      {".md", OutputFormat::Markdown},
  };
  for (const auto& [extension, named] : kExtensions)
    if (named != format && chosen.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
      return named;
  return std::nullopt;
}

BuildResult BuildDocument(const Project& project, const Settings& settings, Database& db,
                          BuildProgress& progress, const QString& chosenPath,
                          OutputFormat format, const MayReplaceUsersFiles& mayReplace) {
  BuildResult result;
  UserConnection userConnection(db);
  result.progressMax = ProgressMaximum(project, settings);
  progress.SetProgressMax(result.progressMax);
  result.outputPath = OutputFileName(chosenPath, format);
  if (IsModernFormat(format)) {
    try {
      BuildModern(result, project, settings, db, progress, format, mayReplace);
    } catch (const DatabaseError& e) {
      result.failure = BuildResult::Failure::Database;
      result.error = "ERROR: " + e.Message();
    }
    result.connectionRestored = userConnection.Restore();
    return result;
  }
  const bool html = format == OutputFormat::Html;

  DocumentFile file(result.outputPath, html);
  // The header (title block and contents) comes from the project and the settings alone: a
  // first pass writes it, without the dictionary, so that the sections go to the file
  // straight after it, never to a file of their own to be copied.
  {
    Document header;
    header.file = &file;
    header.headerPass = true;
    NoProgress none;
    BuildContext ctx{header, project, settings, db, none, html};
    WriteDocument(ctx);
    header.Flush();
  }
  Document doc;
  doc.file = &file;
  BuildContext ctx{doc, project, settings, db, progress, html};
  try {
    WriteDocument(ctx);
  } catch (const DatabaseError& e) {
    result.failure = BuildResult::Failure::Database;
    result.error = "ERROR: " + e.Message();
    result.connectionRestored = userConnection.Restore();
    return result;
  }
  doc.Flush();

  QString reason;
  if (file.Save(&reason)) {
    result.replacedCharacters = file.Replaced();
  } else {
    result.failure = BuildResult::Failure::Save;
    result.error = inputfile::WithReason(
        QStringLiteral("ERROR: Can't create a file %1.").arg(result.outputPath), reason);
  }
  result.connectionRestored = userConnection.Restore();
  return result;
}
