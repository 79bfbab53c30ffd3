#include "settings/options_document.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/prompts.h"

namespace {
struct PartRow {
  const char* name;
  const char* caption;
  const char* explanation;
};
const std::array<PartRow, kDocumentPartCount> kRows = {{
    {"FCBContent", "Content", "Contains content of selected parts."},
    {"FCBProject", "Project", "Contains projects name, version, date and general text."},
    {"FCBTables", "Tables",
     "Contains synonym, description, columns, primary keys, foreign keys and indexes."},
    {"FCBViews", "Views", "Contains description and creation script."},
    {"FCBProceduresAndFunctions", "Procedures and functions",
     "Contains description, parameters and return value."},
    {"FCBPackages", "Packages", "Contains descriptions, parameters and return value."},
    {"FCBSequences", "Sequences", "Contains descriptions and names."},
    {"FCBRolesAndPrivileges", "Roles and privileges", "Contains descriptions, names and types."},
}};
}  // namespace

OptionsDocumentPage::OptionsDocumentPage(Settings& settings, Prompts& prompts, QWidget* parent)
    : QWidget(parent), settings_(settings), prompts_(prompts) {
  setObjectName(QStringLiteral("PanelDocument"));
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(1);
  auto* heading = new QLabel(tr("Parts of the document to be build"), this);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  layout->addWidget(heading);
  layout->addSpacing(6);
  for (int i = 0; i < kDocumentPartCount; ++i) {
    auto* box = new QCheckBox(tr(kRows[i].caption), this);
    box->setObjectName(QString::fromLatin1(kRows[i].name));
    connect(box, &QCheckBox::toggled, this, [this, i](bool on) { settings_.Document_parts[i] = on; });
    auto* note = new QLabel(tr(kRows[i].explanation), this);
    QFont italic = note->font();
    italic.setItalic(true);
    note->setFont(italic);
    note->setIndent(20);
    layout->addWidget(box);
    layout->addWidget(note);
    layout->addSpacing(4);
    boxes_[i] = box;
  }
  layout->addSpacing(6);
  auto* diagramsLabel =
      new QLabel(tr("&Relationship diagrams (web page, web site and Markdown)"), this);
  diagramsLabel->setFont(bold);
  diagrams_ = new QComboBox(this);
  diagrams_->setObjectName(QStringLiteral("FCmbDiagrams"));
  diagrams_->addItems({tr("None"), tr("Each table with its neighbours"),
                       tr("Each table with its neighbours, and an overview of each owner")});
  diagrams_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  diagramsLabel->setBuddy(diagrams_);
  connect(diagrams_, &QComboBox::currentIndexChanged, this,
          [this](int i) { settings_.Diagrams = DiagramChoice(i); });
  layout->addWidget(diagramsLabel);
  layout->addSpacing(3);
  layout->addWidget(diagrams_, 0, Qt::AlignLeft);
  layout->addSpacing(8);
  auto* sinceLabel = new QLabel(tr("C&hanges since (web page, web site and Markdown)"), this);
  sinceLabel->setFont(bold);
  FEdChangesSince = new QLineEdit(this);
  FEdChangesSince->setObjectName(QStringLiteral("FEdChangesSince"));
  FEdChangesSince->setPlaceholderText(tr("an older dictionary snapshot (*.sqlite); empty: none"));
  sinceLabel->setBuddy(FEdChangesSince);
  connect(FEdChangesSince, &QLineEdit::textChanged, this,
          [this](const QString& text) { settings_.Changes_since = text; });
  auto* browse = new QToolButton(this);
  browse->setObjectName(QStringLiteral("FBtnChangesSince"));
  browse->setText(QStringLiteral("..."));
  connect(browse, &QToolButton::clicked, this, &OptionsDocumentPage::FBtnChangesSinceClick);
  auto* since = new QHBoxLayout;
  since->addWidget(FEdChangesSince);
  since->addWidget(browse);
  layout->addWidget(sinceLabel);
  layout->addSpacing(3);
  layout->addLayout(since);
  layout->addStretch();
  ShowSettings();
}

void OptionsDocumentPage::ShowSettings() {
  for (int i = 0; i < kDocumentPartCount; ++i) boxes_[i]->setChecked(settings_.Document_parts[i]);
  diagrams_->setCurrentIndex(int(settings_.Diagrams));
  FEdChangesSince->setText(settings_.Changes_since);
}

void OptionsDocumentPage::FBtnChangesSinceClick() {
  const QString current = FEdChangesSince->text();
  const auto chosen = prompts_.OpenFileName(
      this, {tr("Choose the Older Dictionary Snapshot"),
             current.isEmpty() ? settings_.Project_dir : QFileInfo(current).absolutePath(),
             current, tr("Dictionary snapshot (*.sqlite)")});
  if (chosen) FEdChangesSince->setText(*chosen);
}
