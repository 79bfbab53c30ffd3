#include "settings/options_directories.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/prompts.h"

OptionsDirectoriesPage::OptionsDirectoriesPage(Settings& settings, Prompts& prompts,
                                               QWidget* parent)
    : QWidget(parent), settings_(settings), prompts_(prompts), fields_(settings) {
  setObjectName(QStringLiteral("PanelDirectories"));
  auto* layout = new QVBoxLayout(this);
  AddRow(layout, tr("Project History"), "FEdProjectHistory", &Settings::History_file,
         Browse::HistoryFile, tr("Contains history of opened VLM projects."));
  AddRow(layout, tr("Project Directory"), "FEdProjectDirectory", &Settings::Project_dir,
         Browse::Directory,
         tr("Default directory when opening VLM projects and saving new VLM projects.."));
  AddRow(layout, tr("Database Log History"), "FEdDBLogHistory", &Settings::DBLog_history,
         Browse::LogFile, tr("Contains history of database logs."));
  AddRow(layout, tr("Template Directory"), "FEdTemplateDirectory", &Settings::Template_dir,
         Browse::TemplateDirectory,
         tr("Your own templates for the web page, the web site and the Markdown folder; "
            "empty: the built-in ones."));

  callTimeout_ = new QSpinBox(this);
  callTimeout_->setObjectName(QStringLiteral("FSpnCallTimeout"));
  callTimeout_->setRange(0, kMaxCallTimeout);
  callTimeout_->setSuffix(tr(" seconds"));
  callTimeout_->setSpecialValueText(tr("No limit"));
  connect(callTimeout_, &QSpinBox::valueChanged, this,
          [this](int seconds) { settings_.Call_timeout = seconds; });
  callTimeout_->setToolTip(tr("How long one call to an Oracle database may wait for its "
                              "answer; a lost network then ends in an error."));
  auto* label = new QLabel(tr("Database &Call Timeout"), this);
  label->setBuddy(callTimeout_);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(callTimeout_);
  row->addStretch();
  layout->addLayout(row);
  layout->addStretch();
  ShowSettings();
}

void OptionsDirectoriesPage::ShowSettings() {
  fields_.Show();
  callTimeout_->setValue(settings_.Call_timeout);
}

void OptionsDirectoriesPage::AddRow(QVBoxLayout* layout, const QString& caption,
                                    const char* field, SettingText member, Browse browse,
                                    const QString& explanation) {
  QLineEdit* edit = fields_.Field(field, member, this);
  auto* button = new QToolButton(this);
  button->setObjectName(QString::fromLatin1(field) + QStringLiteral("Browse"));
  button->setText(QStringLiteral("..."));
  connect(button, &QToolButton::clicked, this, [this, edit, browse] { BrowseFor(edit, browse); });

  auto* label = new QLabel(caption, this);
  label->setBuddy(edit);
  auto* row = new QHBoxLayout;
  row->addWidget(edit);
  row->addWidget(button);
  // The explanation wraps rather than being cut where the desktop's font is larger.
  auto* note = new QLabel(explanation, this);
  note->setWordWrap(true);
  QFont italic = note->font();
  italic.setItalic(true);
  note->setFont(italic);

  layout->addWidget(label);
  layout->addLayout(row);
  layout->addWidget(note);
  layout->addSpacing(12);
}

void OptionsDirectoriesPage::BrowseFor(QLineEdit* field, Browse browse) {
  std::optional<QString> chosen;
  const QString current = field->text();
  if (browse == Browse::Directory || browse == Browse::TemplateDirectory) {
    chosen = prompts_.DirectoryName(this,
                                    browse == Browse::Directory
                                        ? tr("Choose Project Directory")
                                        : tr("Choose Template Directory"),
                                    current);
  } else {
    const bool history = browse == Browse::HistoryFile;
    FileRequest request;
    request.title = history ? tr("Choose Project History File")
                            : tr("Choose Database Log History File");
    request.filter = history ? tr("Vellumar Project (*.prh)") : tr("Vellumar Project (*.dbh)");
    request.directory = QFileInfo(current).absolutePath();
    request.fileName = current;
    chosen = prompts_.OpenFileName(this, request);
  }
  if (chosen) field->setText(*chosen);
}
