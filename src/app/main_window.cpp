#include "app/main_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/about_dialog.h"
#include "app/help_window.h"
#include "app/modal_guard.h"
#include "app/program_icon.h"
#include "app/prompts.h"
#include "pages/tab_window.h"
#include "project/history_menus.h"
#include "settings/options.h"
#include "text/ansi.h"

namespace {

QAction* NamedAction(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {}) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  return action;
}

// A button bar picture, exactly 20 by 20: a picture that the style has only in a smaller
// size is scaled up, so that every caption stands on the same line.
QIcon ButtonPicture(const QStyle* style, QStyle::StandardPixmap which) {
  const QSize size(20, 20);
  return QIcon(style->standardIcon(which).pixmap(size).scaled(size, Qt::KeepAspectRatio,
                                                              Qt::SmoothTransformation));
}

QMenu* NamedMenu(QMenuBar* bar, const char* name, const QString& caption) {
  QMenu* menu = bar->addMenu(caption);
  menu->setObjectName(QString::fromLatin1(name));
  return menu;
}
}  // namespace

MainWindow::MainWindow(Prompts& prompts, QWidget* parent)
    : ProjectWindow(prompts, parent) {
  setObjectName(QStringLiteral("FRMMAIN"));
  setWindowTitle(QStringLiteral("Vellumar"));
  setWindowIcon(ProgramIcon());
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  // The menus and the button bar are fixed; no pop-up offers to hide them.
  setContextMenuPolicy(Qt::PreventContextMenu);
  new ModalDialogsStayUp(this);

  CreateMenus();
  CreateButtonBar();
  CreateStatusBar();

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(2, 2, 2, 2);
  tabWindow_ = new TabWindow(project_, client);
  tabWindow_->hide();
  layout->addWidget(tabWindow_);
  setCentralWidget(client);

  history_ = std::make_unique<HistoryMenus>(MIReopen, PopupMenu, settings_, prompts_, this);
  commands_ = std::make_unique<ProjectCommands>(project_, settings_, prompts_, *history_,
                                                static_cast<ProjectShell&>(*this));
  connect(history_.get(), &HistoryMenus::ReopenRequested, this,
          [this](const QString& path) { commands_->ReopenProject(path); });
  connect(&project_, &Project::ModifiedChanged, this, &MainWindow::ShowModifiedState);

  // Opens at 610 by 513 and may be enlarged: the lists and text boxes grow with it.
  resize(610, 513);
  setMinimumSize(610, 513);
}

MainWindow::~MainWindow() {
  // The windows that show the project and the settings go before the project and the
  // settings themselves, which are members and would be destroyed first.
  delete help_;
  delete options_;
  delete about_;
  delete tabWindow_;
}

void MainWindow::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu"));

  // Beside the captions, the keys desktop programs use for these commands.
  QMenu* file = NamedMenu(bar, "MIFile", tr("&File"));
  MINew = NamedAction(file, "MINew", tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
  file->addSeparator();
  MIOpen = NamedAction(file, "MIOpen", tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
  MIReopen = file->addMenu(tr("&Reopen"));
  MIReopen->setObjectName(QStringLiteral("MIReopen"));
  MIReopen->menuAction()->setObjectName(QStringLiteral("MIReopenItem"));
  file->addSeparator();
  MISave = NamedAction(file, "MISave", tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
  MISaveAs = NamedAction(file, "MISaveAs", tr("Save &As..."),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  MIClose = NamedAction(file, "MIClose", tr("&Close"), QKeySequence(Qt::CTRL | Qt::Key_W));
  file->addSeparator();
  MICapture = NamedAction(file, "MICapture", tr("Capture &dictionary..."));
  file->addSeparator();
  MIExit = NamedAction(file, "MIExit", tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q));

  // Undo, Redo and Select All act on the focused text box with the platform's keys.
  QMenu* edit = NamedMenu(bar, "MIEdit", tr("&Edit"));
  MIUndo = NamedAction(edit, "MIUndo", tr("&Undo"), QKeySequence(QKeySequence::Undo));
  MIRedo = NamedAction(edit, "MIRedo", tr("&Redo"), QKeySequence(QKeySequence::Redo));
  edit->addSeparator();
  MICut = NamedAction(edit, "MICut", tr("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X));
  MICopy = NamedAction(edit, "MICopy", tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
  MIPaste = NamedAction(edit, "MIPaste", tr("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
  edit->addSeparator();
  MISelectAll = NamedAction(edit, "MISelectAll", tr("Select &All"),
                            QKeySequence(QKeySequence::SelectAll));

  QMenu* view = NamedMenu(bar, "MIView", tr("&View"));
  MIToolbar = NamedAction(view, "MIToolbar", tr("&Toolbar"));
  MIToolbar->setCheckable(true);
  MIToolbar->setChecked(true);

  QMenu* project = NamedMenu(bar, "MIProject", tr("&Project"));
  MIBuildproject = NamedAction(project, "MIBuildproject", tr("&Build"), QKeySequence(Qt::Key_F9));
  MICoverage = NamedAction(project, "MICoverage", tr("&Coverage"));
  project->addSeparator();
  MIOptions = NamedAction(project, "MIOptions", tr("&Options..."));

  QMenu* help = NamedMenu(bar, "MIHelp", tr("&Help"));
  MIContents = NamedAction(help, "MIContents", tr("&Contents"), QKeySequence(Qt::Key_F1));
  help->addSeparator();
  MIAbout = NamedAction(help, "MIAbout", tr("&About..."));

  PopupMenu = new QMenu(this);
  PopupMenu->setObjectName(QStringLiteral("PopupMenu"));

  QStyle* st = style();
  MINew->setIcon(st->standardIcon(QStyle::SP_FileIcon));
  MIOpen->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
  MISave->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
  MIContents->setIcon(st->standardIcon(QStyle::SP_DialogHelpButton));

  connect(MINew, &QAction::triggered, this, [this] { commands_->NewProject(); });
  connect(MIOpen, &QAction::triggered, this, [this] { commands_->OpenProject(); });
  connect(MISave, &QAction::triggered, this, [this] { commands_->SaveProject(); });
  connect(MISaveAs, &QAction::triggered, this, [this] { commands_->SaveProjectAs(); });
  connect(MIClose, &QAction::triggered, this, [this] { commands_->CloseProject(); });
  connect(MIExit, &QAction::triggered, this, &QWidget::close);
  const std::pair<QAction*, const char*> edits[] = {{MIUndo, "undo"},   {MIRedo, "redo"},
                                                    {MICut, "cut"},     {MICopy, "copy"},
                                                    {MIPaste, "paste"}, {MISelectAll, "selectAll"}};
  for (const auto& [action, slot] : edits)
    connect(action, &QAction::triggered, this, [this, slot] { EditInFocus(slot); });
  connect(edit, &QMenu::aboutToShow, this, &MainWindow::ShowEditItemsForFocus);
  connect(edit, &QMenu::aboutToHide, this, &MainWindow::EnableEditItems);
  connect(MIToolbar, &QAction::toggled, this, [this](bool on) { ToolBar2->setVisible(on); });
  connect(MIBuildproject, &QAction::triggered, this, &MainWindow::BuildRequested);
  connect(MICoverage, &QAction::triggered, this, &MainWindow::CoverageRequested);
  connect(MICapture, &QAction::triggered, this, &MainWindow::CaptureRequested);
  connect(MIOptions, &QAction::triggered, this, &MainWindow::ShowOptions);
  connect(MIContents, &QAction::triggered, this, &MainWindow::ShowHelpContents);
  connect(MIAbout, &QAction::triggered, this, &MainWindow::ShowAbout);
}

void MainWindow::CreateButtonBar() {
  ToolBar2 = addToolBar(tr("Buttons"));
  ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
  ToolBar2->setMovable(false);
  ToolBar2->setFloatable(false);
  ToolBar2->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

  auto addButton = [this](const char* name, const QString& caption, QStyle::StandardPixmap icon) {
    auto* button = new QToolButton(ToolBar2);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setIcon(ButtonPicture(style(), icon));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    button->setMinimumSize(45, 41);
    ToolBar2->addWidget(button);
    return button;
  };
  QToolButton* newButton = addButton("ToolButton6", tr("New"), QStyle::SP_FileIcon);
  QToolButton* openButton = addButton("ToolButton7", tr("Open"), QStyle::SP_DialogOpenButton);
  openButton->setPopupMode(QToolButton::MenuButtonPopup);
  openButton->setMenu(PopupMenu);
  openButton->setMinimumWidth(57);
  ToolButton8 = addButton("ToolButton8", tr("Save"), QStyle::SP_DialogSaveButton);
  ToolBar2->addSeparator()->setObjectName(QStringLiteral("ToolButton9"));
  ToolButton10 = addButton("ToolButton10", tr("Login"), QStyle::SP_DriveNetIcon);
  QToolButton* helpButton = addButton("ToolButton11", tr("Help"), QStyle::SP_DialogHelpButton);
  ToolButton8->setEnabled(false);
  ToolButton10->setEnabled(false);

  connect(newButton, &QToolButton::clicked, this, [this] { commands_->NewProject(); });
  connect(openButton, &QToolButton::clicked, this, [this] { commands_->OpenProject(); });
  connect(ToolButton8, &QToolButton::clicked, this, [this] { commands_->SaveProject(); });
  connect(ToolButton10, &QToolButton::clicked, this, &MainWindow::LoginRequested);
  connect(helpButton, &QToolButton::clicked, this, &MainWindow::ShowHelpContents);
}

void MainWindow::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  bar->setSizeGripEnabled(false);
  statusPanel0_ = new QLabel(bar);
  statusPanel0_->setObjectName(QStringLiteral("StatusPanel0"));
  statusPanel1_ = new QLabel(bar);
  statusPanel1_->setObjectName(QStringLiteral("StatusPanel1"));
  bar->addWidget(statusPanel0_);
  bar->addWidget(statusPanel1_, 1);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void MainWindow::FormShow() {
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  SetProjectOpen(false);
  settings_ = LoadSettings();
  MIReopen->menuAction()->setEnabled(false);
  history_->LoadHistory();
  UpdateCaption(QString());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Cancel at "Save changes?", or a save that the user asked for and that failed, keeps the
  // program open: the changes would be lost otherwise.
  if (!commands_->AskSaveChanges()) {
    event->ignore();
    return;
  }
  SetProjectOpen(false);
  if (help_) help_->close();
  event->accept();
}

void MainWindow::SetProjectOpen(bool open) {
  if (open) {
    tabWindow_->show();
    tabWindow_->ShowOpenedProject();
    SetConnectionStatus(QString());
  } else {
    tabWindow_->hide();
    statusPanel0_->clear();
    statusPanel0_->setFixedWidth(0);
    project_.SetModified(false);
    ShowModifiedState(false);
  }
  projectOpen_ = open;
  for (QAction* action : {MIClose, MISave, MISaveAs, MIBuildproject, MICoverage})
    action->setEnabled(open);
  EnableEditItems();
  ToolButton8->setEnabled(open);
  ToolButton10->setEnabled(open);
  emit DisconnectRequested();
}

bool MainWindow::IsModified() const {
  return ansi::SameText(statusPanel1_->text(), kModifiedMarker);
}

void MainWindow::ShowModifiedState(bool modified) {
  statusPanel1_->setText(modified ? kModifiedMarker : QString());
  // The caption's "[*]" shows it too, as the desktop marks a modified document.
  setWindowModified(modified);
}

void MainWindow::UpdateCaption(const QString& fileName) {
  const QString product = QStringLiteral("Vellumar ") + QString::fromLatin1(kVersionLabel);
  if (fileName.isEmpty())
    setWindowTitle(product);
  else
    // The path as it is: on this system another case names another file. A "[*]" of the
    // path's own is doubled, so that only the mark after it stands for the modified state.
    setWindowTitle(QDir::toNativeSeparators(fileName).replace(QStringLiteral("[*]"),
                                                               QStringLiteral("[*][*]")) +
                   QStringLiteral("[*] - ") + product);
}

void MainWindow::EditInFocus(const char* slot) {
  // Through the field's own slot, with its clipboard and undo handling. A key sent to the
  // field instead would come back to this item's shortcut wherever the field does not take
  // the key (a list, a tab bar), and so on without end.
  QWidget* focus = QApplication::focusWidget();
  if (!focus) return;
  if (auto* list = qobject_cast<QAbstractItemView*>(focus); list && qstrcmp(slot, "copy") == 0) {
    // As the key copies in a list: the current line's text.
    const QVariant text = list->currentIndex().data(Qt::DisplayRole);
    if (text.canConvert<QString>()) QApplication::clipboard()->setText(text.toString());
    return;
  }
  if (focus->metaObject()->indexOfSlot(QByteArray(slot) + "()") >= 0)
    QMetaObject::invokeMethod(focus, slot);
}

void MainWindow::ShowEditItemsForFocus() {
  if (!projectOpen_) return;
  bool undo = false, redo = false, selected = false, editable = false, filled = false;
  QWidget* focus = QApplication::focusWidget();
  if (auto* line = qobject_cast<QLineEdit*>(focus)) {
    undo = line->isUndoAvailable();
    redo = line->isRedoAvailable();
    // A password's text is never cut or copied.
    selected = line->hasSelectedText() && line->echoMode() == QLineEdit::Normal;
    editable = !line->isReadOnly();
    filled = !line->text().isEmpty();
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(focus)) {
    undo = box->document()->isUndoAvailable();
    redo = box->document()->isRedoAvailable();
    selected = box->textCursor().hasSelection();
    editable = !box->isReadOnly();
    filled = !box->document()->isEmpty();
  } else if (auto* list = qobject_cast<QAbstractItemView*>(focus)) {
    selected = list->currentIndex().isValid();  // Copy takes the current line
  }
  const bool pasteable = editable && !QApplication::clipboard()->text().isEmpty();
  MIUndo->setEnabled(undo && editable);
  MIRedo->setEnabled(redo && editable);
  MICut->setEnabled(selected && editable);
  MICopy->setEnabled(selected);
  MIPaste->setEnabled(pasteable);
  MISelectAll->setEnabled(filled);
}

void MainWindow::EnableEditItems() {
  for (QAction* action : {MIUndo, MIRedo, MICut, MICopy, MIPaste, MISelectAll})
    action->setEnabled(projectOpen_);
}

void MainWindow::ShowHelpContents() {
  if (!help_) help_ = new HelpWindow(this);
  if (!help_->isVisible()) PlaceOnScreen(help_);
  help_->ShowContents();
}

void MainWindow::ShowAbout() {
  if (!about_) about_ = new AboutDialog(this);
  about_->adjustSize();
  CenterOver(about_);
  about_->exec();
}

void MainWindow::ShowOptions() {
  if (!options_) options_ = new OptionsDialog(settings_, prompts_, this);
  options_->ShowSettings();
  CenterOver(options_);
  if (options_->exec() != QDialog::Accepted) return;
  QString error;
  if (!SaveSettings(settings_, &error)) {
    prompts_.Error(this, error);
    return;
  }
  history_->LoadHistory();
}
