#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

#include "project/project_file.h"
#include "support/main_window_fixture.h"
#include "support/test_env.h"

namespace {

class ProjectCommandsTest : public MainWindowTest {
 protected:
  Project& Model() { return window->CurrentProject(); }
  bool Open() const { return window->Tabs().isVisible(); }
  // Opens a new project and gives it unsaved changes.
  void ChangedProject(const QString& name) {
    NewProject(Path(name));
    Model().SetGeneral("typed");
    window->SetModifiedMarker("Modified");
  }
  // From now on the project's file cannot be written: a folder stands in its place.
  void BreakProjectFile() {
    ASSERT_TRUE(QFile::remove(window->ProjectFileName()));
    ASSERT_TRUE(QDir().mkpath(window->ProjectFileName()));
  }
  QString Saved(const QString& path) {
    Project read;
    QString error;
    EXPECT_TRUE(ReadProject(read, path, &error)) << error.toStdString();
    return read.Info().General;
  }
  // After Cancel or a failed save at "Save changes?": nothing else asked (the failed save's
  // error shown), and the project as it was.
  void ExpectStoppedWithChangesKept(const QString& file, bool failedSave) {
    EXPECT_EQ(prompts.Questions(), QStringList{"Save changes?"});
    EXPECT_EQ(prompts.History().size(), failedSave ? 2 : 1);
    if (failedSave) {
      EXPECT_EQ(prompts.Errors(),
                QStringList{"ERROR: Vellumar Project file " + file +
                            " can't be created. Is a directory."});
    }
    EXPECT_TRUE(Open());
    EXPECT_TRUE(window->IsModified());
    EXPECT_EQ(Model().Info().General, "typed");
    EXPECT_EQ(window->ProjectFileName(), file);
    EXPECT_EQ(Caption(), file + "* - Vellumar v.1.0");
    EXPECT_TRUE(prompts.Exhausted());
  }
};

TEST_F(ProjectCommandsTest, NewWritesTheProjectAtOnce) {
  window->LiveSettings().Project_dir = Path("projects");
  NewProject(Path("Demo"));
  ASSERT_EQ(prompts.History().size(), 1);
  EXPECT_EQ(prompts.History()[0].request.directory, Path("projects"));
  EXPECT_TRUE(QFileInfo(Path("projects")).isDir()) << "made for the dialog to open in";
  EXPECT_TRUE(QFile::exists(Path("Demo.vlm")));
  EXPECT_EQ(Model().Info().Name, "Demo");
  EXPECT_EQ(Model().Info().Version, "1.0");
  EXPECT_FALSE(Model().Info().Created.isEmpty());
  EXPECT_TRUE(Open());
  EXPECT_FALSE(window->IsModified());
  // The caption names the file as it is: in upper case it would name another one.
  EXPECT_EQ(Caption(), Path("Demo.vlm") + " - Vellumar v.1.0");
  EXPECT_EQ(ReopenCaptions().mid(2), QStringList{Path("Demo.vlm")});

  Model().SetGeneral("kept?");
  NewProject(Path("second"));
  EXPECT_EQ(Model().Info().General, "") << "New empties the project";
}

// A cancelled dialog, and No to replacing the file that will be written (".vlm" appended),
// change nothing; after No the dialog comes back at the name chosen, for another.
TEST_F(ProjectCommandsTest, CancelAndNoToReplacingChangeNothing) {
  NewProject(Path("copy"));
  const QByteArray copy = testenv::ReadBytes(Path("copy.vlm"));
  ChangedProject("work");
  const QString replace =
      QDir::toNativeSeparators(Path("copy.vlm")) + " already exists.\nDo you want to replace it?";

  prompts.CancelFile();
  Trigger("MISaveAs");
  prompts.AnswerFile(Path("copy"));
  prompts.AnswerNo();
  prompts.CancelFile();
  Trigger("MISaveAs");
  EXPECT_EQ(prompts.History().last().request.fileName, Path("copy"));
  for (const bool cancel : {true, false}) {
    prompts.AnswerNo();  // Save changes?
    if (!cancel) {
      prompts.AnswerFile(Path("copy"));
      prompts.AnswerNo();
    }
    prompts.CancelFile();
    Trigger("MINew");
  }
  prompts.AnswerNo();
  prompts.CancelFile();
  Trigger("MIOpen");
  EXPECT_EQ(prompts.Questions(), (QStringList{replace, "Save changes?", "Save changes?", replace,
                                              "Save changes?"}));
  EXPECT_EQ(testenv::ReadBytes(Path("copy.vlm")), copy);
  EXPECT_EQ(window->ProjectFileName(), Path("work.vlm"));
  EXPECT_EQ(Model().Info().Name, "work");
  EXPECT_EQ(Model().Info().General, "typed");
  EXPECT_TRUE(window->IsModified());

  prompts.AnswerFile(Path("copy"));
  prompts.AnswerYes();
  Trigger("MISaveAs");
  EXPECT_EQ(Saved(Path("copy.vlm")), "typed");
  EXPECT_TRUE(prompts.Exhausted());
}

TEST_F(ProjectCommandsTest, SaveChangesYesSavesBeforeEveryAskingCommand) {
  ChangedProject("old");
  prompts.AnswerYes();
  NewProject(Path("new"));
  EXPECT_EQ(Saved(Path("old.vlm")), "typed");
  EXPECT_EQ(Model().Info().Name, "new");

  Model().SetGeneral("typed again");
  window->SetModifiedMarker("Modified");
  prompts.AnswerYes();
  prompts.AnswerFile(Path("old.vlm"));
  Trigger("MIOpen");
  EXPECT_EQ(Saved(Path("new.vlm")), "typed again");
  EXPECT_EQ(Model().Info().General, "typed");
  EXPECT_EQ(prompts.Questions().size(), 2);
}

TEST_F(ProjectCommandsTest, SaveChangesNoGoesOnAndTheMarkerStaysOverTheOpenedProject) {
  ChangedProject("old");
  prompts.AnswerNo();
  prompts.AnswerFile(Path("old.vlm"));
  Trigger("MIOpen");
  EXPECT_EQ(Model().Info().Name, "old");
  EXPECT_EQ(Model().Info().General, "") << "the unsaved text was not written";
  EXPECT_TRUE(window->IsModified());
  EXPECT_EQ(prompts.Questions(), QStringList{"Save changes?"});
}

TEST_F(ProjectCommandsTest, ExitAsksOnceAndClosesAfterSaveOrDontSave) {
  ChangedProject("yes");
  prompts.AnswerYes();
  EXPECT_TRUE(window->close());
  EXPECT_EQ(Saved(Path("yes.vlm")), "typed");
  EXPECT_FALSE(window->IsModified());

  window->show();
  ChangedProject("no");
  prompts.AnswerNo();
  Trigger("MIExit");
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Saved(Path("no.vlm")), "");
  EXPECT_EQ(prompts.Questions().size(), 2);
}

// Cancel at "Save changes?", or a save that fails after it, stops the command; nothing is
// lost, Exit included.
TEST_F(ProjectCommandsTest, CancelOrAFailedSaveStopsEveryAskingCommand) {
  ChangedProject("p");
  const std::pair<const char*, std::function<void()>> commands[] = {
      {"New", [this] { Trigger("MINew"); }},
      {"Open", [this] { Trigger("MIOpen"); }},
      {"Reopen", [this] { window->Commands().ReopenProject(Path("q.vlm")); }},
      {"Close", [this] { Trigger("MIClose"); }},
      {"Exit", [this] { EXPECT_FALSE(window->close()); }}};
  for (const bool failedSave : {false, true}) {
    if (failedSave) BreakProjectFile();
    for (const auto& [name, command] : commands) {
      SCOPED_TRACE(std::string(name) + (failedSave ? ", failed save" : ", Cancel"));
      prompts.Forget();
      if (failedSave)
        prompts.AnswerYes();
      else
        prompts.AnswerCancel();
      command();
      ExpectStoppedWithChangesKept(Path("p.vlm"), failedSave);
    }
  }
  EXPECT_TRUE(window->isVisible());
}

TEST_F(ProjectCommandsTest, FileThatCannotBeReadLeavesNoHalfReadProject) {
  ChangedProject("good");
  testenv::WriteBytes(Path("bad.vlm"), "not a project\r\n");
  prompts.AnswerNo();
  prompts.AnswerFile(Path("bad.vlm"));
  Trigger("MIOpen");
  EXPECT_EQ(prompts.Errors(),
            QStringList{"ERROR: Vellumar Project file " + Path("bad.vlm") +
                        " can't be opened. It is damaged, or it is not a Vellumar project."});
  EXPECT_FALSE(Open());
  EXPECT_FALSE(window->IsModified());
  EXPECT_EQ(Caption(), "Vellumar v.1.0");
  EXPECT_EQ(Model().Info().Name, "good") << "nothing of the bad file was taken";
  EXPECT_TRUE(ReopenCaptions().contains(Path("bad.vlm"))) << "recorded before reading";

  // A history entry whose file is gone fails the same way.
  window->Commands().ReopenProject(Path("gone.vlm"));
  EXPECT_EQ(prompts.Errors().size(), 2);
  EXPECT_FALSE(Open());
}

TEST_F(ProjectCommandsTest, SaveAsMovesTheProjectToTheNewFile) {
  ChangedProject("first");
  prompts.AnswerFile(Path("second"));
  Trigger("MISaveAs");
  EXPECT_EQ(prompts.History().back().text, "Save as");
  EXPECT_EQ(prompts.History().back().request.fileName, Path("first.vlm"));
  EXPECT_EQ(window->ProjectFileName(), Path("second.vlm"));
  EXPECT_EQ(Model().Info().Name, "second");
  EXPECT_EQ(Model().Info().Version, "1.0");
  EXPECT_EQ(Saved(Path("second.vlm")), "typed");
  EXPECT_FALSE(window->IsModified());
  EXPECT_EQ(ReopenCaptions().mid(2), (QStringList{Path("second.vlm"), Path("first.vlm")}));
}

// A save killed half-way leaves its complete copy beside the file: opening the file offers
// it, and the next save puts the project in place and takes the copy away.
TEST_F(ProjectCommandsTest, AnInterruptedSaveOffersItsCompleteCopy) {
  NewProject(Path("p"));
  Model().SetGeneral("in the file");
  ASSERT_TRUE(window->Commands().SaveProject());
  const QString created = Model().Info().Created;
  Project copy;
  copy.SetGeneral("in the copy");
  QString error;
  ASSERT_TRUE(WriteProject(copy, Path("p.vlm.vellumar-save"), &error));
  const QString question = "The last save of " + Path("p.vlm") +
                           " was interrupted; its complete copy is " + Path("p.vlm.vellumar-save") +
                           ".\nOpen the copy?";
  for (const bool yes : {false, true}) {
    prompts.Forget();
    yes ? prompts.AnswerYes() : prompts.AnswerNo();
    window->Commands().ReopenProject(Path("p.vlm"));
    EXPECT_EQ(prompts.Questions(), QStringList{question});
    EXPECT_EQ(Model().Info().General, yes ? "in the copy" : "in the file");
    EXPECT_EQ(window->IsModified(), yes) << "the copy is not in place until it is saved";
    EXPECT_EQ(Model().Info().Created, created);
    EXPECT_EQ(window->ProjectFileName(), Path("p.vlm"));
  }
  ASSERT_TRUE(window->Commands().SaveProject());
  EXPECT_EQ(Saved(Path("p.vlm")), "in the copy");
  EXPECT_FALSE(QFile::exists(Path("p.vlm.vellumar-save")));
}

// A file that cannot be written: Save As keeps the project open and marked, New leaves none.
TEST_F(ProjectCommandsTest, WhatCannotBeWrittenKeepsTheProjectOrLeavesNone) {
  ChangedProject("first");
  prompts.AnswerFile(Path("missing/second"));
  Trigger("MISaveAs");
  EXPECT_EQ(prompts.Errors().size(), 1);
  EXPECT_TRUE(Open());
  EXPECT_TRUE(window->IsModified());
  EXPECT_EQ(window->ProjectFileName(), Path("first.vlm"));
  EXPECT_EQ(Model().Info().Name, "first");

  prompts.AnswerNo();
  NewProject(Path("missing/dir/demo"));
  EXPECT_EQ(prompts.Errors().last(), "ERROR: Vellumar Project file " +
                                         Path("missing/dir/demo.vlm") +
                                         " can't be created. No such file or directory.");
  EXPECT_FALSE(Open());
  EXPECT_EQ(Caption(), "Vellumar v.1.0");
  EXPECT_EQ(ReopenCaptions().mid(2), QStringList{Path("first.vlm")});
}

}  // namespace
