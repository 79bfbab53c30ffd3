#include "pages/project_page.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "pages/memo_box.h"
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
  FEdName = ShownField("FEdName", this);
  FEdVersion = ShownField("FEdVersion", this);
  FEdCreated = ShownField("FEdCreated", this);
  FEdUpdated = ShownField("FEdUpdated", this);
  FMGeneral = new MemoBox(this);
  FMGeneral->setObjectName(QStringLiteral("FMGeneral"));

  auto* layout = new QFormLayout(this);
  layout->setLabelAlignment(Qt::AlignLeft);
  layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  layout->addRow(tr("Name"), FEdName);
  layout->addRow(tr("Version"), FEdVersion);
  layout->addRow(tr("Created"), FEdCreated);
  layout->addRow(tr("Updated"), FEdUpdated);
  layout->addRow(tr("General"), FMGeneral);

  connect(&project_, &Project::InfoChanged, this, &ProjectPage::ShowInfo);
  connect(FMGeneral, &MemoBox::TextEdited, this, &ProjectPage::StoreGeneral);
  ShowInfo();
}

void ProjectPage::ShowInfo() {
  const ProjectInfo& info = project_.Info();
  FEdName->setText(info.Name);
  FEdVersion->setText(info.Version);
  FEdCreated->setText(info.Created);
  FEdUpdated->setText(info.Updated);
  // Only a text that differs replaces the editor's, so typing keeps its cursor.
  if (FMGeneral->Text() != info.General) FMGeneral->ShowText(info.General);
}

void ProjectPage::StoreGeneral(const QString& text) {
  project_.SetGeneral(text);
  project_.SetModified(true);
}
