#pragma once
// The project history as menus. File > Reopen (MIReopen) and the Open button's drop-down
// (PopupMenu) always hold the same items in the same order: "&Empty history", a separator,
// then the recorded projects, newest first. The file behind them is the one the live
// settings name (History_file) at the moment of each operation.

#include <QObject>
#include <QSet>
#include <QStringList>

class Prompts;
class QMenu;
class QWidget;
struct Settings;

class HistoryMenus : public QObject {
  Q_OBJECT
 public:
  enum class ItemKind { EmptyHistory, Separator, Project };

  HistoryMenus(QMenu* reopen, QMenu* popup, const Settings& settings, Prompts& prompts,
               QWidget* dialogParent);

  // Adds an item to both menus unless one with the same caption (without regard to case) is
  // there; projects go right after the separator, the others at the end.
  bool AddHistoryItem(const QString& caption, ItemKind kind);

  // Adds the history file's entries that the menus lack; the items already there stay.
  void LoadHistory();
  // Records a project that was created, opened or saved under a new name.
  void AddToHistory(const QString& path);
  // Empties both menus, disables Reopen and deletes the history file.
  void EmptyHistory();

  // The captions in menu order ("-" for the separator).
  const QStringList& Captions() const { return captions_; }

 signals:
  void ReopenRequested(const QString& path);

 private:
  void RebuildMenu(QMenu* menu);
  // The menus are filled when they are about to show: a menu takes time in proportion to its
  // items for each item added, so a long history filled at start would slow every start.
  void Rebuild();
  void FillIfStale(QMenu* menu);
  void SetReopenEnabled(bool on);

  QMenu* reopen_;
  QMenu* popup_;
  const Settings& settings_;
  Prompts& prompts_;
  QWidget* dialogParent_;
  QStringList captions_;
  QSet<QMenu*> stale_;
};
