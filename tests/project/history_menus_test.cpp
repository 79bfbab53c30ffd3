#include <QFile>
#include <QMenu>

#include "project/history_menus.h"
#include "support/main_window_fixture.h"
#include "support/test_env.h"

namespace {

class HistoryMenusTest : public MainWindowTest {
 protected:
  QString HistoryFile() const { return window->LiveSettings().History_file; }
  QStringList Expected(std::initializer_list<QString> newestFirst) const {
    QStringList captions{"&Empty history", "-"};
    for (const QString& p : newestFirst) captions << p;
    return captions;
  }
  void Record(const QString& name) { NewProject(Path(name)); }
};

TEST_F(HistoryMenusTest, ProjectsAreListedNewestFirstInBothMenus) {
  EXPECT_TRUE(ReopenCaptions().isEmpty());
  Record("a");
  Record("b");
  Record("c");
  const QStringList expected =
      Expected({Path("c.vlm"), Path("b.vlm"), Path("a.vlm")});
  EXPECT_EQ(ReopenCaptions(), expected);
  EXPECT_EQ(PopupCaptions(), expected);
  EXPECT_TRUE(Find<QMenu>("MIReopen")->menuAction()->isEnabled());
  const QByteArray file = testenv::ReadBytes(HistoryFile());
  EXPECT_EQ(file, (Path("a.vlm") + "\r\n" + Path("b.vlm") + "\r\n" + Path("c.vlm") + "\r\n")
                      .toLocal8Bit());

  // Reopening, and opening under another case, change neither the file nor the order.
  QAction* b = Items(Find<QMenu>("MIReopen")).at(3);
  ASSERT_EQ(b->data().toString(), Path("b.vlm"));
  b->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(window->ProjectFileName(), Path("b.vlm"));
  EXPECT_EQ(Caption(), Path("b.vlm") + " - Vellumar v.1.0");
  ASSERT_TRUE(QFile::copy(Path("a.vlm"), Path("A.VLM")));
  prompts.AnswerFile(Path("A.VLM"));
  Trigger("MIOpen");
  EXPECT_EQ(window->ProjectFileName(), Path("A.VLM"));
  EXPECT_EQ(ReopenCaptions(), expected);
  EXPECT_EQ(testenv::ReadBytes(HistoryFile()), file);
}

TEST_F(HistoryMenusTest, AnAmpersandInAPathIsShownNotTakenAsAMnemonic) {
  Record("R&D");
  QAction* item = Items(Find<QMenu>("PopupMenu")).at(2);
  EXPECT_EQ(item->text(), Path("R&&D.vlm"));
}

TEST_F(HistoryMenusTest, EmptyHistoryClearsMenusAndFileAndTheNextProjectStartsAgain) {
  Record("a");
  Items(Find<QMenu>("MIReopen")).at(0)->trigger();
  QCoreApplication::processEvents();
  EXPECT_TRUE(ReopenCaptions().isEmpty());
  EXPECT_TRUE(PopupCaptions().isEmpty());
  EXPECT_FALSE(Find<QMenu>("MIReopen")->menuAction()->isEnabled());
  EXPECT_FALSE(QFile::exists(HistoryFile()));
  Record("b");
  EXPECT_EQ(ReopenCaptions(), Expected({Path("b.vlm")}));
  EXPECT_TRUE(QFile::exists(HistoryFile()));
}

TEST_F(HistoryMenusTest, LoadingAnotherHistoryFileKeepsTheItemsAlreadyThere) {
  Record("a");
  testenv::WriteBytes(Path("other.prh"), (Path("x.vlm") + "\r\n" + Path("A.VLM") + "\r\n").toLocal8Bit());
  window->LiveSettings().History_file = Path("other.prh");
  window->History().LoadHistory();
  EXPECT_EQ(ReopenCaptions(), Expected({Path("x.vlm"), Path("a.vlm")}));
  EXPECT_EQ(PopupCaptions(), ReopenCaptions());
}

TEST_F(HistoryMenusTest, HistoryFileErrorsAreShownAndTheCommandGoesOn) {
  testenv::WriteBytes(Path("plain"), "x");
  window->LiveSettings().History_file = Path("plain/sub/history.prh");
  Record("a");
  EXPECT_EQ(prompts.Errors(), QStringList{"ERROR: Project history file " +
                                          Path("plain/sub/history.prh") +
                                          " can't be created. Not a directory."});
  EXPECT_TRUE(window->Tabs().isVisible()) << "the project was created all the same";
  EXPECT_TRUE(ReopenCaptions().isEmpty());

  // A history file that cannot be deleted is reported once.
  QDir(dir.path()).mkpath("folder.prh");
  window->LiveSettings().History_file = Path("folder.prh");
  window->History().EmptyHistory();
  EXPECT_EQ(prompts.Errors().size(), 2);
  EXPECT_TRUE(prompts.Errors().last().contains("can't be deleted"));
}

}  // namespace
