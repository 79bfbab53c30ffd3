#include "settings/options_proctags.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

OptionsProcTagsPage::OptionsProcTagsPage(Settings& settings, QWidget* parent)
    : QWidget(parent), fields_(settings) {
  setObjectName(QStringLiteral("PanelProcTags"));

  auto* left = new QVBoxLayout;
  left->addWidget(TagLegend(this));
  left->addStretch();
  left->addWidget(TagNote(this));

  auto* sample = new QVBoxLayout;
  sample->setSpacing(2);
  auto line = [&](int indent, std::initializer_list<TemplatePiece> pieces) {
    AddTemplateLine(sample, fields_, this, indent, pieces);
  };
  line(0, {Declaration(tr("Function or Procedure Whatever (..."))});
  line(0, {Sample(QStringLiteral("/*"))});
  line(0, {Sample(tr("Author:"))});
  line(1, {Sample(tr("Name / Company"))});
  line(0, {Sample(tr("Date:"))});
  line(1, {Sample(tr("dd.mm.yyyy"))});
  line(0, {Tag("FEdFunctionOpen", &Settings::Function_opentag)});
  line(0, {Tag("FEdDescription", &Settings::Function_description), Sample(QStringLiteral(":"))});
  line(1, {Sample(tr("Here you descripe your function or procedure."))});
  line(0, {Tag("FEdParameters", &Settings::Function_parameters), Sample(QStringLiteral(":"))});
  line(1, {Sample(tr("Parameter")), Tag("FEdSpot", &Settings::Function_spot, true),
           Sample(tr("Parameter type")), Tag("FEdColon", &Settings::Function_colon, true)});
  line(1, {Sample(tr("Description of the parameter.")),
           Tag("FEdSemiColon", &Settings::Function_semicolon, true)});
  line(0, {Tag("FEdReturnValue", &Settings::Function_returnvalue),
           Sample(tr("(return type):"))});
  line(1, {Sample(tr("Here you descripe the return value."))});
  line(0, {Tag("FEdFunctionClose", &Settings::Function_closetag)});
  line(0, {Sample(QStringLiteral("*/"))});
  sample->addStretch();

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addSpacing(12);
  layout->addLayout(sample, 1);
}
