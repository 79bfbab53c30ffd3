#include "pages/project_page.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "pages/memo_text.h"
#include "pages/modifying_key_filter.h"
#include "project/project.h"

namespace {

// The four header fields show the project and cannot hold the focus.
QLineEdit* ShownField(const char* name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  return field;
}

}  // namespace

ProjectPage::ProjectPage(Project& project, QWidget* parent)
    : QWidget(parent), project_(project) {
  setObjectName(QStringLiteral("PanelGeneral"));
  setFocusPolicy(Qt::StrongFocus);
  FEdName = ShownField("FEdName", this);
  FEdVersion = ShownField("FEdVersion", this);
  FEdCreated = ShownField("FEdCreated", this);
  FEdUpdated = ShownField("FEdUpdated", this);
  FMGeneral = new QPlainTextEdit(this);
  FMGeneral->setObjectName(QStringLiteral("FMGeneral"));
  FMGeneral->setTabChangesFocus(false);

  auto* layout = new QFormLayout(this);
  layout->setLabelAlignment(Qt::AlignLeft);
  layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  layout->addRow(tr("Name"), FEdName);
  layout->addRow(tr("Version"), FEdVersion);
  layout->addRow(tr("Created"), FEdCreated);
  layout->addRow(tr("Updated"), FEdUpdated);
  layout->addRow(tr("General"), FMGeneral);

  (new ModifyingKeyFilter(project_, this))->Watch(FMGeneral);
  connect(&project_, &Project::InfoChanged, this, &ProjectPage::ShowInfo);
  connect(FMGeneral, &QPlainTextEdit::textChanged, this, &ProjectPage::StoreGeneral);
  ShowInfo();
}

void ProjectPage::ShowInfo() {
  const ProjectInfo& info = project_.Info();
  FEdName->setText(info.Name);
  FEdVersion->setText(info.Version);
  FEdCreated->setText(info.Created);
  FEdUpdated->setText(info.Updated);
  // Only a text that differs replaces the editor's, so typing keeps its cursor.
  if (EditorToMemo(FMGeneral->toPlainText()) != info.General)
    FMGeneral->setPlainText(MemoToEditor(info.General));
}

void ProjectPage::StoreGeneral() { project_.SetGeneral(EditorToMemo(FMGeneral->toPlainText())); }
