#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "settings/options.h"
#include "support/clipped_labels.h"
#include "support/main_window_fixture.h"
#include "support/test_env.h"

namespace {

class OptionsTest : public MainWindowTest {
 protected:
  // Opens Project > Options, runs `edit` in the shown dialog, then presses `button`.
  void WithOptions(const std::function<void(OptionsDialog&)>& edit, const char* button) {
    QTimer::singleShot(0, window.get(), [this, edit, button] {
      OptionsDialog* dialog = window->Options();
      ASSERT_NE(dialog, nullptr);
      ASSERT_TRUE(dialog->isVisible());
      edit(*dialog);
      dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    });
    Trigger("MIOptions");
  }
  template <class T>
  static T* In(OptionsDialog& dialog, const char* name) {
    auto* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
};

TEST_F(OptionsTest, CancelKeepsTheEditForTheRunWithoutStoringIt) {
  WithOptions([](OptionsDialog& d) { In<QCheckBox>(d, "FCBTables")->click(); }, "FBtnCancel");
  EXPECT_FALSE(window->LiveSettings().Part(DocumentPart::Tables));
  EXPECT_TRUE(window->LiveSettings().Part(DocumentPart::Views));
  EXPECT_TRUE(LoadSettings().Part(DocumentPart::Tables)) << "the next start has Tables again";
  EXPECT_FALSE(OpenSettingsStore()->contains("Document_parts")) << "nothing written";

  // Opened again, the dialog shows the live value.
  WithOptions([](OptionsDialog& d) { EXPECT_FALSE(In<QCheckBox>(d, "FCBTables")->isChecked()); },
              "FBtnCancel");
}

TEST_F(OptionsTest, OkStoresEveryValueAnEmptyTagIncluded) {
  WithOptions(
      [](OptionsDialog& d) {
        d.TabControl()->setCurrentIndex(2);
        EXPECT_TRUE(In<QCheckBox>(d, "FCBDocComments")->isChecked()) << "on by default";
        In<QLineEdit>(d, "FEdFunctionOpen")->clear();
        // The two pages of tags have fields of the same names; each edits its own value.
        d.findChild<QWidget*>("PanelProcTags")->findChild<QLineEdit*>("FEdSpot")->setText("|");
        d.findChild<QWidget*>("PanelPackageTags")->findChild<QLineEdit*>("FEdSpot")->setText(";");
        for (const char* box : {"FCBContent", "FCBProject", "FCBTables", "FCBViews",
                                "FCBProceduresAndFunctions", "FCBPackages", "FCBSequences",
                                "FCBRolesAndPrivileges", "FCBDocComments"})
          In<QCheckBox>(d, box)->setChecked(false);
        In<QComboBox>(d, "FCmbDiagrams")->setCurrentIndex(0);
        In<QSpinBox>(d, "FSpnCallTimeout")->setValue(0);
      },
      "FBtnOk");
  EXPECT_EQ(window->LiveSettings().Function_opentag, "") << "the run goes on with it";
  EXPECT_EQ(window->LiveSettings().Function_spot, "|");
  EXPECT_EQ(window->LiveSettings().Package_function_spot, ";");
  auto store = OpenSettingsStore();
  EXPECT_EQ(store->value("Function_opentag").toString(), "");
  EXPECT_EQ(store->value("Function_spot").toString(), "|");
  EXPECT_EQ(store->value("Document_parts").toString(), "FFFFFFFF");
  EXPECT_EQ(store->value("Diagrams").toString(), "none");
  EXPECT_EQ(store->value("Documentation_comments").toString(), "F");
  EXPECT_EQ(store->value("Call_timeout").toString(), "0");
  EXPECT_EQ(store->value("Package_function_closetag").toString(), "</FD>");
  EXPECT_EQ(LoadSettings().Function_opentag, "<FD>") << "the default returns at the next start";

  // The dialog reopens on the page last shown, showing the live values.
  WithOptions(
      [](OptionsDialog& d) {
        EXPECT_EQ(d.TabControl()->currentIndex(), 2);
        EXPECT_EQ(In<QComboBox>(d, "FCmbDiagrams")->currentIndex(), 0);
        EXPECT_FALSE(In<QCheckBox>(d, "FCBDocComments")->isChecked());
        EXPECT_EQ(In<QSpinBox>(d, "FSpnCallTimeout")->value(), 0);
      },
      "FBtnCancel");
}

// Every text of every page shows whole.
TEST_F(OptionsTest, NoPageCutsAText) {
  WithOptions(
      [](OptionsDialog& d) {
        for (int i = 0; i < d.TabControl()->count(); ++i) {
          d.TabControl()->setCurrentIndex(i);
          QCoreApplication::processEvents();
          EXPECT_EQ(ClippedLabels(d.TabControl()->widget(i)).join(" | ").toStdString(), "") << i;
        }
      },
      "FBtnCancel");
}

TEST_F(OptionsTest, BrowsingForAHistoryFileAndOkRebuildTheReopenMenus) {
  testenv::WriteBytes(Path("team.prh"), (Path("shared.vlm") + "\r\n").toLocal8Bit());
  prompts.CancelFile();  // a cancelled browse keeps the field as it was
  prompts.AnswerFile(Path("team.prh"));
  WithOptions(
      [](OptionsDialog& d) {
        In<QToolButton>(d, "FEdProjectHistoryBrowse")->click();
        EXPECT_EQ(In<QLineEdit>(d, "FEdProjectHistory")->text(), DefaultSettings().History_file);
        In<QToolButton>(d, "FEdProjectHistoryBrowse")->click();
      },
      "FBtnOk");
  ASSERT_EQ(prompts.History().size(), 2);
  EXPECT_EQ(prompts.History()[0].text, "Choose Project History File");
  EXPECT_EQ(prompts.History()[0].request.filter, "Vellumar Project (*.prh)");
  EXPECT_EQ(window->LiveSettings().History_file, Path("team.prh"));
  EXPECT_EQ(ReopenCaptions(), (QStringList{"&Empty history", "-", Path("shared.vlm")}));
  EXPECT_EQ(PopupCaptions(), ReopenCaptions());

  prompts.AnswerFile(Path("projects"));
  WithOptions(
      [](OptionsDialog& d) { In<QToolButton>(d, "FEdProjectDirectoryBrowse")->click(); },
      "FBtnCancel");
  EXPECT_EQ(prompts.History().back().what, "directory");
  EXPECT_EQ(prompts.History().back().text, "Choose Project Directory");
  EXPECT_EQ(window->LiveSettings().Project_dir, Path("projects"));
}

TEST_F(OptionsTest, AStoreThatCannotBeWrittenIsReportedAndTheMenusStay) {
  const QString file = OpenSettingsStore()->fileName();
  QFile::remove(file);
  ASSERT_TRUE(QDir().mkpath(file));
  testenv::WriteBytes(Path("team.prh"), (Path("shared.vlm") + "\r\n").toLocal8Bit());
  WithOptions([this](OptionsDialog& d) { In<QLineEdit>(d, "FEdProjectHistory")->setText(Path("team.prh")); },
              "FBtnOk");
  QDir(file).removeRecursively();
  ASSERT_EQ(prompts.Errors().size(), 1);
  EXPECT_TRUE(prompts.Errors()[0].startsWith("ERROR: Settings file " + file));
  EXPECT_TRUE(ReopenCaptions().isEmpty());
  EXPECT_EQ(window->LiveSettings().History_file, Path("team.prh"));
}

}  // namespace
