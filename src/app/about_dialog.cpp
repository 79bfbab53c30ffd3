#include "app/about_dialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/program_icon.h"

namespace {

QFrame* Rule(QWidget* parent) {
  auto* rule = new QFrame(parent);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  return rule;
}

QLabel* Line(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FRMABOUT"));
  setWindowTitle(tr("About VLM"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  auto* icon = new QLabel(this);
  icon->setPixmap(ProgramPixmap(32));
  icon->setFixedSize(32, 32);

  QFont heading = font();
  heading.setBold(true);
  heading.setPointSize(12);
  auto* product = new QLabel(QStringLiteral("Vellumar"), this);
  product->setObjectName(QStringLiteral("L_PRODUCT"));
  product->setFont(heading);
  auto* version = new QLabel(QString::fromLatin1(kVersionLabel), this);
  version->setObjectName(QStringLiteral("L_VERSION"));
  version->setFont(heading);

  auto* title = new QHBoxLayout;
  title->addWidget(icon);
  title->addSpacing(10);
  title->addWidget(product);
  title->addWidget(version);
  title->addStretch();

  auto* FBtnOk = new QPushButton(tr("OK"), this);
  FBtnOk->setObjectName(QStringLiteral("FBtnOk"));
  FBtnOk->setDefault(true);
  connect(FBtnOk, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(FBtnOk);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(title);
  layout->addWidget(Line(tr("Reference documentation for Oracle schemas."), this));
  layout->addWidget(Rule(this));
  // What the program ships with and runs on, each with its licence.
  layout->addWidget(Line(tr("User interface: Qt 6, under the GNU LGPL version 3."), this));
  layout->addWidget(Line(tr("Dictionary snapshots: SQLite, in the public domain."), this));
  layout->addWidget(
      Line(tr("Diagram layout: Graphviz, under the Eclipse Public License 1.0."), this));
  layout->addWidget(
      Line(tr("Document templates: Mustache for C++, under the Boost Software License 1.0."),
           this));
  layout->addWidget(Line(tr("Memory allocation: mimalloc, under the MIT License."), this));
  layout->addWidget(Rule(this));
  layout->addWidget(Line(tr("See credits and contact info from help file."), this));
  layout->addStretch();
  layout->addLayout(buttons);
  // The designed size, or more where the desktop's font needs it.
  setFixedSize(sizeHint().expandedTo(QSize(385, 243)));
}
