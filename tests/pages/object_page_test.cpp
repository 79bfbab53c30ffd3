#include "pages/object_page.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "db/database.h"
#include "dictionary_fixture.h"
#include "pages/memo_box.h"
#include "pages/object_page_model.h"
#include "support/scripted_prompts.h"

namespace {

QStringList Texts(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
  return texts;
}

void Select(QListWidget* list, const QStringList& texts) {
  list->clearSelection();
  for (const QString& text : texts) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    found.first()->setSelected(true);
  }
}

class ObjectPageTest : public fixture::DictionaryTest {
 protected:
  std::unique_ptr<ObjectPage> Page(ObjectKind kind) {
    auto page = std::make_unique<ObjectPage>(project, db, prompts, kind, Describer(kind));
    page->resize(576, 369);
    page->show();
    return page;
  }
  // What the tab change does once connected.
  static void Visit(ObjectPage& page) {
    page.FillAvailableList();
    page.UpdatePageButtons();
  }
  static QList<bool> Buttons(const ObjectPage& page) {
    return {page.FlatButton1->isEnabled(), page.FlatButton2->isEnabled(),
            page.FlatButton3->isEnabled(), page.FlatButton4->isEnabled()};
  }
  QStringList Descriptions(ObjectKind kind) const {
    QStringList texts;
    for (const ObjectEntry& e : project.Entries(kind)) texts << e.Description().toString();
    return texts;
  }

  ScriptedPrompts prompts;
};

// The buttons act only while connected and on lines there are; what they change marks the
// project, an Add with nothing selected does not.
TEST_F(ObjectPageTest, ButtonsNeedAConnectionAndLinesToActOn) {
  auto page = Page(ObjectKind::Sequences);
  Visit(*page);
  EXPECT_EQ(Buttons(*page), QList<bool>({false, false, false, false}));
  Connect("ORCL");
  Visit(*page);
  EXPECT_EQ(Buttons(*page), QList<bool>({true, true, false, false}));
  page->FlatButton1->click();
  EXPECT_FALSE(project.IsModified());
  page->FlatButton2->click();
  EXPECT_TRUE(project.IsModified());
  EXPECT_EQ(Texts(page->FlatListBox2), QStringList({"ORCL.EMP_SEQ"}));
  EXPECT_EQ(Buttons(*page), QList<bool>({false, false, true, true}));

  project.SetModified(false);
  page->FlatButton4->click();
  EXPECT_TRUE(project.IsModified());
  EXPECT_EQ(Texts(page->FlatListBox1), QStringList({"EMP_SEQ"}));
  db.Disconnect();
  page->UpdatePageButtons();  // the lines stay until the next visit
  EXPECT_EQ(Buttons(*page), QList<bool>({false, false, false, false}));

  // Removed while disconnected, an entry is offered to no connection.
  ObjectPageModel model(project, db, ObjectKind::Sequences, {});
  Connect("ORCL");
  model.FillAvailableList();
  model.AddAllEntries();
  db.Disconnect();
  model.RemoveAllEntries();
  EXPECT_TRUE(model.AvailableList().isEmpty());
}

// Each kind lists its own objects of the dictionary, and an added object starts with what
// the dictionary says of it: a table its comment, a package its tagged text, under the tags
// in force at the moment.
TEST_F(ObjectPageTest, EachKindListsItsObjectsAndDescribesWhatIsAdded) {
  Connect("ORCL");
  const struct {
    ObjectKind kind;
    QStringList available, descriptions;
  } kinds[] = {
      {ObjectKind::Tables, {"bonus", "DEPT", "EMP"}, {"", "", "Employees of the company"}},
      {ObjectKind::Views, {"EMP_V"}, {""}},
      {ObjectKind::ProceduresAndFunctions, {"GET_SAL (FUNCTION)", "RAISE_SAL (PROCEDURE)"},
       {"", ""}},
      {ObjectKind::Packages, {"PAY_PKG"}, {"first part second part"}},
      {ObjectKind::Sequences, {"EMP_SEQ"}, {""}},
      {ObjectKind::Roles, {"CLERK", "HR", "PARTNER"}, {"", "", ""}}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(static_cast<int>(k.kind));
    auto page = Page(k.kind);
    Visit(*page);
    EXPECT_EQ(Texts(page->FlatListBox1), k.available);
    page->FlatButton2->click();
    EXPECT_EQ(Descriptions(k.kind), k.descriptions);
  }
  settings.Package_opentag = "<PKG>";
  auto packages = Page(ObjectKind::Packages);
  prompts.AnswerYes();
  packages->FlatButton4->click();
  packages->FlatButton2->click();
  EXPECT_EQ(Descriptions(ObjectKind::Packages), QStringList{""});
}

TEST_F(ObjectPageTest, AnObjectOfOneDatabaseIsOfferedOnAnotherAndGetsASecondLine) {
  auto page = Page(ObjectKind::Tables);
  Connect("ORCL");
  Visit(*page);
  Select(page->FlatListBox1, {"EMP"});
  page->FlatButton1->click();
  EXPECT_EQ(Texts(page->FlatListBox1), QStringList({"bonus", "DEPT"}));
  Visit(*page);
  EXPECT_EQ(Texts(page->FlatListBox1), QStringList({"bonus", "DEPT"}));

  Connect("TEST", "HR", "hr");  // another database and another user
  Visit(*page);
  EXPECT_EQ(Texts(page->FlatListBox1), QStringList({"JOBS", "STAFF"}));
  Connect("test");
  Visit(*page);
  Select(page->FlatListBox1, {"EMP"});
  page->FlatButton1->click();
  EXPECT_EQ(Texts(page->FlatListBox2), QStringList({"ORCL.EMP", "TEST.EMP"}));

  // Back on ORCL as HR: removing SCOTT's ORCL.EMP does not offer it to HR.
  Connect("ORCL", "HR", "hr");
  Visit(*page);
  Select(page->FlatListBox2, {"ORCL.EMP"});
  prompts.AnswerYes();  // its description goes
  page->FlatButton3->click();
  EXPECT_EQ(Texts(page->FlatListBox1), QStringList({"JOBS", "STAFF"}));
  EXPECT_EQ(Texts(page->FlatListBox2), QStringList({"TEST.EMP"}));
  // Nor is HR's own ORCL.JOBS offered back to HR logged on with another password.
  Select(page->FlatListBox1, {"JOBS"});
  page->FlatButton1->click();
  Connect("ORCL", "HR", "another");
  Visit(*page);
  Select(page->FlatListBox2, {"ORCL.JOBS"});
  prompts.AnswerYes();
  page->FlatButton3->click();
  EXPECT_EQ(Texts(page->FlatListBox1), QStringList({"STAFF"}));
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ObjectPageTest, EachLineShowsAndTakesItsOwnDescriptionAndTakesItAlongWhenRemoved) {
  auto page = Page(ObjectKind::Tables);
  Connect("ORCL");
  Visit(*page);
  Select(page->FlatListBox1, {"EMP"});
  page->FlatButton1->click();
  Select(page->FlatListBox1, {"bonus", "DEPT"});
  page->FlatButton1->click();
  ASSERT_EQ(Texts(page->FlatListBox2), QStringList({"ORCL.bonus", "ORCL.DEPT", "ORCL.EMP"}));

  Select(page->FlatListBox2, {"ORCL.EMP"});
  EXPECT_TRUE(page->FlatMemo->isEnabled());
  EXPECT_EQ(page->FlatMemo->toPlainText(), "Employees of the company");
  Select(page->FlatListBox2, {"ORCL.bonus"});
  EXPECT_EQ(page->FlatMemo->toPlainText(), "");

  project.SetModified(false);
  page->FlatMemo->setFocus();
  QTest::keyClicks(page->FlatMemo, "Bonus");
  QTest::keyClick(page->FlatMemo, Qt::Key_Return);
  QTest::keyClicks(page->FlatMemo, "plan");
  EXPECT_TRUE(project.IsModified());
  const auto& entries = project.Entries(ObjectKind::Tables);
  EXPECT_EQ(entries[1].Description().toString(), "Bonus\r\nplan");  // kept with CR LF, as the file holds it

  Select(page->FlatListBox2, {"ORCL.EMP"});
  EXPECT_EQ(page->FlatMemo->toPlainText(), "Employees of the company");

  // Removed, once asked, the line takes its description along: no line is selected and
  // the box, off and empty, changes no entry. No keeps it.
  prompts.AnswerNo();
  page->FlatButton3->click();
  EXPECT_EQ(prompts.Questions(), QStringList{"Remove the entry? Its description will be lost."});
  EXPECT_EQ(Texts(page->FlatListBox2), QStringList({"ORCL.bonus", "ORCL.DEPT", "ORCL.EMP"}));
  prompts.AnswerYes();
  page->FlatButton3->click();
  EXPECT_EQ(Texts(page->FlatListBox2), QStringList({"ORCL.bonus", "ORCL.DEPT"}));
  EXPECT_TRUE(page->FlatListBox2->selectedItems().isEmpty());
  EXPECT_FALSE(page->FlatMemo->isEnabled());
  EXPECT_EQ(page->FlatMemo->toPlainText(), "");
  QTest::keyClicks(page->FlatMemo, "lost");
  EXPECT_EQ(entries[0].Description().toString(), "Bonus\r\nplan");
  EXPECT_TRUE(entries[1].Description().isEmpty());
  EXPECT_EQ(Texts(page->FlatListBox1), QStringList({"EMP"}));
}

// Lines that read the same address their own entries, wherever sorting puts them.
TEST_F(ObjectPageTest, LinesThatReadTheSameStillAddressTheirOwnEntries) {
  project.AppendEntry(ObjectKind::Tables, {{"ORCL", "HR", "hr"}, "EMP", "first"});
  project.AppendEntry(ObjectKind::Tables, {{"orcl", "SCOTT", "tiger"}, "EMP", "second"});
  project.AppendEntry(ObjectKind::Tables, {{"ORCL", "SCOTT", "tiger"}, "DEPT", "dept"});
  auto page = Page(ObjectKind::Tables);
  Connect("ORCL");
  Visit(*page);
  ASSERT_EQ(Texts(page->FlatListBox2), QStringList({"ORCL.DEPT", "ORCL.EMP", "ORCL.EMP"}));
  page->FlatListBox2->setCurrentRow(2);
  EXPECT_EQ(page->FlatMemo->toPlainText(), "second");
  prompts.AnswerYes();
  page->FlatButton3->click();
  EXPECT_EQ(Descriptions(ObjectKind::Tables), QStringList({"first", "dept"}));
}

// Remove takes every selected line. Remove all asks first only when a description would go
// with the lines, and No removes nothing.
TEST_F(ObjectPageTest, RemoveTakesTheSelectedLinesAndRemoveAllAsksBeforeDescriptionsGo) {
  Connect("ORCL");
  auto procs = Page(ObjectKind::ProceduresAndFunctions);
  Visit(*procs);
  procs->FlatButton2->click();
  Select(procs->FlatListBox2, {"ORCL.GET_SAL (FUNCTION)", "ORCL.RAISE_SAL (PROCEDURE)"});
  procs->FlatButton3->click();
  EXPECT_EQ(procs->FlatListBox2->count(), 0);
  EXPECT_EQ(procs->FlatListBox1->count(), 2);
  procs->FlatButton2->click();
  procs->FlatButton4->click();  // nothing described: not asked
  EXPECT_EQ(procs->FlatListBox2->count(), 0);

  auto tables = Page(ObjectKind::Tables);
  Visit(*tables);
  tables->FlatButton2->click();  // EMP comes with its comment as description
  project.SetModified(false);
  prompts.AnswerNo();
  tables->FlatButton4->click();
  EXPECT_EQ(prompts.Questions(),
            QStringList{"Remove all 3 entries? Their descriptions will be lost."});
  EXPECT_EQ(tables->FlatListBox2->count(), 3);
  EXPECT_FALSE(project.IsModified());
  prompts.AnswerYes();
  tables->FlatButton4->click();
  EXPECT_EQ(tables->FlatListBox2->count(), 0);
  EXPECT_TRUE(project.IsModified());
}

TEST_F(ObjectPageTest, SectionTextIsTheProjects) {
  project.SetSectionDescription(ObjectKind::Roles, "Who may read what");
  auto page = Page(ObjectKind::Roles);
  ASSERT_NE(page->FMDescription, nullptr);
  EXPECT_EQ(page->FMDescription->toPlainText(), "Who may read what");
  page->FMDescription->moveCursor(QTextCursor::End);
  QTest::keyClicks(page->FMDescription, ".");
  EXPECT_EQ(project.SectionDescription(ObjectKind::Roles), "Who may read what.");
  EXPECT_TRUE(project.IsModified());
  ProjectContents read;
  read.rolesDescription = "Grants";
  read.entries[static_cast<int>(ObjectKind::Roles)] = {{{"ORCL", "SCOTT", "tiger"}, "HR", ""}};
  project.ReplaceContents(read);
  EXPECT_EQ(page->FMDescription->toPlainText(), "Grants");
  EXPECT_EQ(Texts(page->FlatListBox2), QStringList({"ORCL.HR"}));
}

TEST_F(ObjectPageTest, ADatabaseErrorIsShownOnceAndThePageStaysUsable) {
  // Every second table's comment fails: what went in before stays in, each error is shown
  // by the connection's handler only, and the page goes on working.
  int calls = 0;
  ObjectPage page(project, db, prompts, ObjectKind::Tables, [&](const QString&) -> QString {
    if (++calls % 2 == 0) db.Fail("ORA-03113: end-of-file on communication channel");
    return {};
  });
  Connect("ORCL");
  Visit(page);
  calls = 1;  // the first description fails: an Add that adds nothing changes nothing
  Select(page.FlatListBox1, {"EMP"});
  page.FlatButton1->click();
  EXPECT_FALSE(project.IsModified());
  errors.clear();
  Select(page.FlatListBox1, {"bonus", "DEPT", "EMP"});
  page.FlatButton1->click();
  EXPECT_EQ(errors, QStringList({"ORA-03113: end-of-file on communication channel"}));
  EXPECT_EQ(Texts(page.FlatListBox2), QStringList({"ORCL.bonus"}));
  EXPECT_EQ(Texts(page.FlatListBox1), QStringList({"DEPT", "EMP"}));
  EXPECT_TRUE(project.IsModified());
  EXPECT_TRUE(page.FlatButton1->isEnabled());
  page.FlatButton2->click();  // Add all: DEPT goes in, EMP fails again
  EXPECT_EQ(Texts(page.FlatListBox2), QStringList({"ORCL.bonus", "ORCL.DEPT"}));
  EXPECT_EQ(Texts(page.FlatListBox1), QStringList({"EMP"}));
  EXPECT_EQ(errors.size(), 2);
}

}  // namespace
