// The sections that need no dictionary: title block, contents heading, General, Sequences,
// Roles and the heading patterns.
#include <gtest/gtest.h>

#include "build_fixture.h"
#include "docbuild/general_sections.h"
#include "docbuild/list_sections.h"

namespace {

const QString kCreated = "Created 1.2.2024 10:00:00";
const QString kUpdated = "Updated 3.4.2024 11:30:00";

class SectionsTest : public ::testing::Test, public BuildFixture {
 protected:
  void SetUp() override { SetInfo("Shop", "1.0", "First\r\nSecond"); }
};

TEST_F(SectionsTest, HtmlTitleBlockWithItsHead) {
  BuildContext html = Context(true);
  WriteHeader(html);
  EXPECT_EQ(doc.TempMemoHeader,
            QStringList({"<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                         "charset=windows-1252\"><TITLE>Shop</TITLE></HEAD>"
                         "<BODY BGCOLOR=\"#FAFAFA\">",
                         "<H3>", "Vellumar", "</H3>", "Name Shop", "<BR>", "Version 1.0", "<BR>",
                         kCreated, "<BR>", kUpdated, "<hr>"}));
}

TEST_F(SectionsTest, GeneralSectionWithAndWithoutContents) {
  int n = 1;
  BuildContext html = Context(true);
  WriteGeneralSection(html, n);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(doc.TempMemo, QStringList({"<H3>", "<A NAME=\"1\">", "1 General", "</A>", "</H3>",
                                       "<P>", "First</P><P>\nSecond", "</P>", "<HR>"}));
  EXPECT_EQ(doc.TempMemoHeader,
            QStringList({"<P><B><A HREF=\"#1\">", "1 General", "</A></B></P>"}));

  doc.Clear();
  settings.SetPart(DocumentPart::Content, false);
  project.SetGeneral("");
  WriteGeneralSection(html, n);
  EXPECT_EQ(doc.TempMemo,
            QStringList({"<H3>", "2 General", "</H3>", "<P>", "", "</P>", "<HR>"}));
  EXPECT_TRUE(doc.TempMemoHeader.isEmpty());

  doc.Clear();
  BuildContext text = Context(false);
  WriteGeneralSection(text, n);
  EXPECT_EQ(doc.TempMemo, QStringList({"3 General", "", "", ""}));
}

TEST_F(SectionsTest, EscapesProjectTextsInHtmlOnly) {
  SetInfo("R&D <new>", "\"2\"", "a < b\r\nc & d");
  int n = 1;
  BuildContext html = Context(true);
  WriteHeader(html);
  WriteGeneralSection(html, n);
  EXPECT_TRUE(doc.TempMemoHeader[0].contains("<TITLE>R&amp;D &lt;new&gt;</TITLE>"));
  EXPECT_EQ(doc.TempMemoHeader[4], "Name R&amp;D &lt;new&gt;");
  EXPECT_EQ(doc.TempMemoHeader[6], "Version &quot;2&quot;");
  EXPECT_EQ(doc.TempMemo[6], "a &lt; b</P><P>\nc &amp; d");
  doc.Clear();
  BuildContext text = Context(false);
  WriteHeader(text);
  EXPECT_EQ(doc.TempMemoHeader[2], "Name R&D <new>");
}

TEST_F(SectionsTest, ObjectHeadingPattern) {
  BuildContext html = Context(true);
  WriteObjectHeading(html, 2, 3, "A<B");
  EXPECT_EQ(doc.TempMemo,
            QStringList({"<H4>", "<A NAME=\"2.3\">", "2.3 A&lt;B", "</A>", "</H4>"}));
  EXPECT_EQ(doc.TempMemoHeader,
            QStringList({"&nbsp;&nbsp;&nbsp;&nbsp;<I><A HREF=\"#2.3\">", "2.3 A&lt;B",
                         "</A></I><BR>"}));
  doc.Clear();
  settings.SetPart(DocumentPart::Content, false);
  BuildContext text = Context(false);
  WriteObjectHeading(text, 2, 3, "A<B");
  CloseContentsGroup(text);
  EXPECT_EQ(doc.TempMemo, QStringList({"2.3 A<B", ""}));
  EXPECT_TRUE(doc.TempMemoHeader.isEmpty());
}

TEST_F(SectionsTest, EmptySequencesAndRolesSections) {
  int n = 1;
  BuildContext html = Context(true);
  WriteSequencesSection(html, n);
  WriteRolesSection(html, n);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(doc.TempMemo,
            QStringList({"<H3>", "<A NAME=\"1\">", "1 Sequences", "</A>", "</H3>", "<HR>",  //
                         "<H3>", "<A NAME=\"2\">", "2 Roles and privileges", "</A>", "</H3>"}));
  EXPECT_EQ(doc.TempMemoHeader,
            QStringList({"<P><B><A HREF=\"#1\">", "1 Sequences", "</A></B></P>",
                         "<P><B><A HREF=\"#2\">", "2 Roles and privileges", "</A></B></P>"}));
  doc.Clear();
  project.SetSectionDescription(ObjectKind::Roles, " \r\n\t\r\n");  // blank: nothing written
  BuildContext text = Context(false);
  WriteSequencesSection(text, n);
  WriteRolesSection(text, n);
  EXPECT_EQ(doc.TempMemo, QStringList({"3 Sequences", "", "", "4 Roles and privileges", ""}));
}

TEST_F(SectionsTest, SequencesWithEntriesInAdditionOrder) {
  project.SetSectionDescription(ObjectKind::Sequences, "  Keys\r\nof <orders>");
  for (const char* name : {"ZETA_SEQ", "ALPHA_SEQ", "MID_SEQ"}) {
    project.AppendEntry(ObjectKind::Sequences, {"DEMO", name, "SHOP", "pw", ""});
  }
  project.SetDescription(ObjectKind::Sequences, 1, "a & b");
  int n = 7;
  BuildContext text = Context(false);
  WriteSequencesSection(text, n);
  EXPECT_EQ(doc.TempMemo,
            QStringList({"7 Sequences", "", "  Keys\r\nof <orders>", "",
                         PadText("Name", 30) + PadText("Description", 30),
                         PadText("ZETA_SEQ", 30) + QString(30, u' '),
                         PadText("ALPHA_SEQ", 30) + PadText("a & b", 30),
                         PadText("MID_SEQ", 30) + QString(30, u' '), ""}));
  EXPECT_EQ(progress.position, 3);
  EXPECT_EQ(progress.infoTexts,
            QStringList({"Building sequence: \r\nZETA_SEQ", "Building sequence: \r\nALPHA_SEQ",
                         "Building sequence: \r\nMID_SEQ"}));

  doc.Clear();
  project.AppendEntry(ObjectKind::Roles, {"DEMO", "CLERK", "SHOP", "pw", "reads"});
  BuildContext html = Context(true);
  WriteRolesSection(html, n);
  EXPECT_EQ(doc.TempMemo.mid(5),
            HtmlTable({300, 0}, {{"Name", "Description"}, {"CLERK", "reads"}}) << "<HR>");
  EXPECT_EQ(progress.infoTexts.last(), "Building role: \r\nCLERK");
}

}  // namespace
