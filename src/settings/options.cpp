#include "settings/options.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/compact_tabs.h"
#include "settings/options_directories.h"
#include "settings/options_document.h"
#include "settings/options_packagetags.h"
#include "settings/options_proctags.h"

OptionsDialog::OptionsDialog(Settings& settings, Prompts& prompts, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("FRMOPTIONS"));
  setWindowTitle(tr("Project Options"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  FlatTabControl = new QTabWidget(this);
  FlatTabControl->setObjectName(QStringLiteral("FlatTabControl"));
  MakeTabsCompact(FlatTabControl);
  directories_ = new OptionsDirectoriesPage(settings, prompts);
  document_ = new OptionsDocumentPage(settings, prompts);
  procTags_ = new OptionsProcTagsPage(settings);
  packageTags_ = new OptionsPackageTagsPage(settings);
  FlatTabControl->addTab(directories_, tr("&Directories/Conditionals"));
  FlatTabControl->addTab(document_, tr("D&ocument"));
  FlatTabControl->addTab(procTags_, tr("&Procedures and function tags"));
  FlatTabControl->addTab(packageTags_, tr("P&ackage tags"));

  FBtnOk = new QPushButton(tr("OK"), this);
  FBtnOk->setObjectName(QStringLiteral("FBtnOk"));
  FBtnOk->setDefault(true);
  FBtnCancel = new QPushButton(tr("Cancel"), this);
  FBtnCancel->setObjectName(QStringLiteral("FBtnCancel"));
  connect(FBtnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(FBtnCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(FBtnOk);
  buttons->addWidget(FBtnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FlatTabControl);
  layout->addLayout(buttons);
  // The designed size, or more where the desktop's font needs it: no text is cut.
  setFixedSize(minimumSizeHint().expandedTo(QSize(529, 470)));
}

void OptionsDialog::ShowSettings() {
  directories_->ShowSettings();
  document_->ShowSettings();
  procTags_->ShowSettings();
  packageTags_->ShowSettings();
}

void OptionsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FlatTabControl->tabBar()->setFocus();
}
