#include "project/project.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

TEST(ProjectModel, ChangesAreAnnouncedOnlyWhenSomethingChanges) {
  Project p;
  QSignalSpy info(&p, &Project::InfoChanged);
  QSignalSpy entries(&p, &Project::EntriesChanged);
  QSignalSpy modified(&p, &Project::ModifiedChanged);

  p.SetName("demo");
  p.SetName("demo");
  EXPECT_EQ(info.count(), 1);

  const int row = p.AppendEntry(ObjectKind::Views, {"orcl", "V1", "u", "p", ""});
  p.SetDescription(ObjectKind::Views, row, "text");
  p.SetDescription(ObjectKind::Views, row, "text");
  p.RemoveEntry(ObjectKind::Views, 5);  // no such row
  ASSERT_EQ(entries.count(), 2);
  EXPECT_EQ(entries.at(0).at(0).value<ObjectKind>(), ObjectKind::Views);

  p.SetModified(true);
  p.SetModified(true);
  EXPECT_EQ(modified.count(), 1);
}

TEST(ProjectModel, KeepsOrderOfAdditionAndListsUpperCaseServer) {
  Project p;
  p.AppendEntry(ObjectKind::Tables, {"orcl", "EMP", "u", "p", ""});
  p.AppendEntry(ObjectKind::Tables, {"dev", "DEPT", "u", "p", ""});
  p.AppendEntry(ObjectKind::Tables, {"orcl", "BONUS", "u", "p", ""});
  p.RemoveEntry(ObjectKind::Tables, 0);
  ASSERT_EQ(p.Entries(ObjectKind::Tables).size(), 2);
  EXPECT_EQ(p.Entries(ObjectKind::Tables)[0].ObjectName, "DEPT");
  EXPECT_EQ(ProjectListLine(p.Entries(ObjectKind::Tables)[1]), QString::fromUtf8("ORCL.BONUS"));
  EXPECT_EQ(ProjectListLine({QString::fromUtf8("dbä"), "x", "", "", ""}),
            QString::fromUtf8("DBÄ.x"));
}

TEST(ProjectModel, ClearProjectEmptiesContentsButNotTheMarker) {
  Project p;
  p.SetName("demo");
  p.AppendEntry(ObjectKind::Packages, {"orcl", "PKG", "u", "p", "d"});
  p.SetSectionDescription(ObjectKind::Sequences, "s");
  p.SetModified(true);
  QSignalSpy entries(&p, &Project::EntriesChanged);
  p.ClearProject();
  EXPECT_EQ(p.Info().Name, "");
  EXPECT_TRUE(p.Entries(ObjectKind::Packages).isEmpty());
  EXPECT_EQ(p.SectionDescription(ObjectKind::Sequences), "");
  EXPECT_EQ(entries.count(), kObjectKindCount);
  EXPECT_TRUE(p.IsModified());
}

}  // namespace
