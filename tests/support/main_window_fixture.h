#pragma once
// A shown main window answering through scripted prompts, with a clean settings store and
// history, and a temporary directory for project files.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QWindow>
#include <memory>

#include "app/main_window.h"
#include "pages/tab_window.h"
#include "settings/settings.h"
#include "support/scripted_prompts.h"

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenSettingsStore()->clear();
    QFile::remove(DefaultSettings().History_file);
    window = std::make_unique<MainWindow>(prompts);
    window->show();
  }
  void TearDown() override {
    // What a test left open is closed without questions.
    window->CurrentProject().SetModified(false);
    window.reset();
  }

  QString Path(const QString& name) const { return QDir(dir.path()).filePath(name); }
  QAction* Action(const char* name) const {
    auto* action = window->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(action, nullptr) << name;
    return action;
  }
  template <class T>
  T* Find(const char* name) const {
    auto* widget = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  // Triggers a menu item and runs what it queued.
  void Trigger(const char* name) {
    Action(name)->trigger();
    QCoreApplication::processEvents();
  }
  // The caption as the title bar shows it (the modified mark in place).
  QString Caption() const { return window->windowHandle()->title(); }
  QString Panel(int i) const {
    return Find<QLabel>(i == 0 ? "StatusPanel0" : "StatusPanel1")->text();
  }
  // A menu's items, as it shows them (it is filled when it is about to show).
  static QList<QAction*> Items(QMenu* menu) {
    emit menu->aboutToShow();
    return menu->actions();
  }
  // The captions of a history menu, the separator as "-".
  static QStringList Captions(QMenu* menu) {
    QStringList captions;
    for (const QAction* a : Items(menu))
      captions << (a->isSeparator() ? QStringLiteral("-")
                                    : (a->data().isValid() ? a->data().toString() : a->text()));
    return captions;
  }
  QStringList ReopenCaptions() const { return Captions(Find<QMenu>("MIReopen")); }
  QStringList PopupCaptions() const { return Captions(Find<QMenu>("PopupMenu")); }

  // New through the File menu, answering the dialog with `path`.
  void NewProject(const QString& path) {
    prompts.AnswerFile(path);
    Trigger("MINew");
  }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<MainWindow> window;
};
