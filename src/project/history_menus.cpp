#include "project/history_menus.h"

#include <QMenu>
#include <QSet>
#include <algorithm>

#include "app/prompts.h"
#include "project/project_history.h"
#include "settings/settings.h"
#include "text/ansi.h"

namespace {
const QString kEmptyCaption = QStringLiteral("&Empty history");
const QString kSeparatorCaption = QStringLiteral("-");
}  // namespace

HistoryMenus::HistoryMenus(QMenu* reopen, QMenu* popup, const Settings& settings,
                           Prompts& prompts, QWidget* dialogParent)
    : QObject(reopen),
      reopen_(reopen),
      popup_(popup),
      settings_(settings),
      prompts_(prompts),
      dialogParent_(dialogParent) {
  for (QMenu* menu : {reopen_, popup_})
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillIfStale(menu); });
}

bool HistoryMenus::AddHistoryItem(const QString& caption, ItemKind kind) {
  for (const QString& c : captions_)
    if (ansi::SameText(c, caption)) return false;
  if (kind == ItemKind::Project)
    captions_.insert(std::min<qsizetype>(2, captions_.size()), caption);
  else
    captions_.append(caption);
  Rebuild();
  return true;
}

void HistoryMenus::LoadHistory() {
  const ProjectHistory history(settings_.History_file);
  if (!history.Exists()) return;
  QStringList paths;
  QString error;
  if (!history.LoadHistory(&paths, &error)) {
    prompts_.Error(dialogParent_, error);
    return;
  }
  SetReopenEnabled(true);
  AddHistoryItem(kEmptyCaption, ItemKind::EmptyHistory);
  AddHistoryItem(kSeparatorCaption, ItemKind::Separator);
  // As if each path were added in turn, each going right after the separator, but in one
  // pass and with one rebuild of the menus: a long history must not slow the start.
  QSet<QString> known;
  for (const QString& c : captions_) known.insert(ansi::UpperCase(c));
  QStringList fresh;
  for (const QString& path : paths)
    if (!known.contains(ansi::UpperCase(path))) {
      known.insert(ansi::UpperCase(path));
      fresh.append(path);
    }
  std::reverse(fresh.begin(), fresh.end());
  const qsizetype at = std::min<qsizetype>(2, captions_.size());
  captions_ = captions_.mid(0, at) + fresh + captions_.mid(at);
  Rebuild();
}

void HistoryMenus::AddToHistory(const QString& path) {
  const ProjectHistory history(settings_.History_file);
  bool added = false;
  QString error;
  if (!history.AddToHistory(path, &added, &error)) {
    prompts_.Error(dialogParent_, error);
    return;
  }
  SetReopenEnabled(true);
  AddHistoryItem(kEmptyCaption, ItemKind::EmptyHistory);
  AddHistoryItem(kSeparatorCaption, ItemKind::Separator);
  AddHistoryItem(path, ItemKind::Project);
}

void HistoryMenus::EmptyHistory() {
  captions_.clear();
  Rebuild();
  SetReopenEnabled(false);
  QString error;
  if (!ProjectHistory(settings_.History_file).EmptyHistory(&error))
    prompts_.Error(dialogParent_, error);
}

void HistoryMenus::RebuildMenu(QMenu* menu) {
  menu->clear();
  for (int i = 0; i < captions_.size(); ++i) {
    const QString& caption = captions_[i];
    if (i == 1 && caption == kSeparatorCaption) {
      menu->addSeparator();
    } else if (i == 0 && caption == kEmptyCaption) {
      connect(menu->addAction(caption), &QAction::triggered, this, &HistoryMenus::EmptyHistory,
              Qt::QueuedConnection);
    } else {
      // A path is shown as it is: an "&" in it is not a mnemonic.
      QString shown = caption;
      shown.replace(u'&', QStringLiteral("&&"));
      QAction* action = menu->addAction(shown);
      action->setData(caption);
      connect(action, &QAction::triggered, this,
              [this, caption] { emit ReopenRequested(caption); }, Qt::QueuedConnection);
    }
  }
}

void HistoryMenus::Rebuild() { stale_ = {reopen_, popup_}; }

void HistoryMenus::FillIfStale(QMenu* menu) {
  if (stale_.remove(menu)) RebuildMenu(menu);
}

void HistoryMenus::SetReopenEnabled(bool on) { reopen_->menuAction()->setEnabled(on); }
