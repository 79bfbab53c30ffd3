#include "settings/options_packagetags.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

OptionsPackageTagsPage::OptionsPackageTagsPage(Settings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings), fields_(settings) {
  setObjectName(QStringLiteral("PanelPackageTags"));

  auto* left = new QVBoxLayout;
  left->setSpacing(2);
  left->addWidget(TagLegend(this));
  left->addSpacing(10);
  auto pkg = [&](int indent, std::initializer_list<TemplatePiece> pieces) {
    AddTemplateLine(left, fields_, this, indent, pieces);
  };
  pkg(0, {Declaration(tr("Package Whatever Is"))});
  pkg(0, {Sample(QStringLiteral("/*"))});
  pkg(0, {Sample(tr("Author:"))});
  pkg(1, {Sample(tr("Name / Company"))});
  pkg(0, {Sample(tr("Date:"))});
  pkg(1, {Sample(tr("dd.mm.yyyy"))});
  pkg(0, {Tag("FEdPackageOpen", &Settings::Package_opentag)});
  pkg(0, {Tag("FEdDescription1", &Settings::Package_description), Sample(QStringLiteral(":"))});
  pkg(1, {Sample(tr("Here you descripe your package."))});
  pkg(0, {Tag("FEdPackageClose", &Settings::Package_closetag)});
  pkg(0, {Sample(QStringLiteral("*/"))});
  pkg(0, {Declaration(QStringLiteral("..."))});
  left->addStretch();
  left->addWidget(TagNote(this));
  FCBDocComments = new QCheckBox(tr("Read documentation comments"), this);
  FCBDocComments->setObjectName(QStringLiteral("FCBDocComments"));
  FCBDocComments->setToolTip(
      tr("Web page, Markdown and coverage also read Javadoc blocks and the comments written "
         "around declarations; the tags win where both describe a member."));
  connect(FCBDocComments, &QCheckBox::toggled, this,
          [this](bool on) { settings_.Documentation_comments = on; });
  FCBDocComments->setChecked(settings_.Documentation_comments);
  left->addWidget(FCBDocComments);

  auto* right = new QVBoxLayout;
  right->setSpacing(2);
  auto member = [&](int indent, std::initializer_list<TemplatePiece> pieces) {
    AddTemplateLine(right, fields_, this, indent, pieces);
  };
  member(0, {Sample(QStringLiteral("/*"))});
  member(0, {Sample(tr("Author:"))});
  member(1, {Sample(tr("Name / Company"))});
  member(0, {Sample(tr("Date:"))});
  member(1, {Sample(tr("dd.mm.yyyy"))});
  member(0, {Tag("FEdPackageProcOpen", &Settings::Package_function_opentag)});
  member(0, {Tag("FEdFunction", &Settings::Package_function), Sample(tr("or"))});
  member(0, {Tag("FEdProcedure", &Settings::Package_procedure), Sample(tr("Whatever"))});
  member(0, {Tag("FEdDescription2", &Settings::Package_function_description),
             Sample(QStringLiteral(":"))});
  member(1, {Sample(tr("Here you descripe your function or procedure."))});
  member(0, {Tag("FEdParameters", &Settings::Package_function_parameters),
             Sample(QStringLiteral(":"))});
  member(1, {Sample(tr("Parameter")), Tag("FEdSpot", &Settings::Package_function_spot, true),
             Sample(tr("Parameter type")),
             Tag("FEdColon", &Settings::Package_function_colon, true)});
  member(1, {Sample(tr("Description of the parameter.")),
             Tag("FEdSemiColon", &Settings::Package_function_semicolon, true)});
  member(0, {Tag("FEdReturnValue", &Settings::Package_function_returnvalue),
             Sample(tr("(return type):"))});
  member(1, {Sample(tr("Here you descripe the return value."))});
  member(0, {Tag("FEdPackageProcClose", &Settings::Package_function_closetag)});
  member(0, {Sample(QStringLiteral("*/"))});
  member(0, {Declaration(tr("Function or Procedure Whatever (..."))});
  right->addStretch();

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addSpacing(8);
  layout->addLayout(right, 1);
}

void OptionsPackageTagsPage::ShowSettings() {
  fields_.Show();
  FCBDocComments->setChecked(settings_.Documentation_comments);
}
