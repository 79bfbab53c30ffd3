// The sections that need no dictionary (title block, General, Sequences, Roles), each
// written in HTML and in text.
#include <gtest/gtest.h>

#include <functional>

#include "classic/general_sections.h"
#include "classic/list_sections.h"
#include "support/build_fixture.h"

namespace {

const QString kCreated = "Created 1.2.2024 10:00:00";
const QString kUpdated = "Updated 3.4.2024 11:30:00";
const QString kHead =
    "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
    "charset=windows-1252\"><TITLE>%1</TITLE></HEAD><BODY BGCOLOR=\"#FAFAFA\">";

// What one writer puts into the body and into the contents, in HTML and in text.
struct SectionPair {
  const char* what;
  std::function<void(BuildFixture&)> setup;
  std::function<void(BuildContext&, int&)> write;
  QStringList html, htmlContents, text, textContents;
};

void HeaderAndGeneral(BuildContext& ctx, int& n) {
  WriteHeader(ctx);
  WriteGeneralSection(ctx, n);
}
void SequencesAndRoles(BuildContext& ctx, int& n) {
  WriteSequencesSection(ctx, n);
  WriteRolesSection(ctx, n);
}

TEST(Sections, HtmlAndTextOfEachSection) {
  const SectionPair pairs[] = {
      {"General with contents", [](BuildFixture&) {}, WriteGeneralSection,
       {"<H3>", "<A NAME=\"1\">", "1 General", "</A>", "</H3>", "<P>", "First</P><P>\nSecond",
        "</P>", "<HR>"},
       {"<P><B><A HREF=\"#1\">", "1 General", "</A></B></P>"},
       {"1 General", "", "First\r\nSecond", ""},
       {"1 General"}},
      {"project texts escaped in HTML only",
       [](BuildFixture& f) {
         f.settings.SetPart(DocumentPart::Content, false);
         f.SetInfo("R&D <new>", "\"2\"", "a < b\r\nc & d");
       },
       HeaderAndGeneral,
       {"<H3>", "1 General", "</H3>", "<P>", "a &lt; b</P><P>\nc &amp; d", "</P>", "<HR>"},
       {kHead.arg(QStringLiteral("R&amp;D &lt;new&gt;")), "<H3>", "Vellumar", "</H3>",
        "Name R&amp;D &lt;new&gt;", "<BR>", "Version &quot;2&quot;", "<BR>", kCreated, "<BR>",
        kUpdated, "<hr>"},
       {"1 General", "", "a < b\r\nc & d", ""},
       {"Vellumar", "", "Name R&D <new>", "Version \"2\"", kCreated, kUpdated, ""}},
      {"Sequences and Roles without entries, Roles' text blank",
       [](BuildFixture& f) {
         f.project.SetSectionDescription(ObjectKind::Roles, " \r\n\t\r\n");
       },
       SequencesAndRoles,
       {"<H3>", "<A NAME=\"1\">", "1 Sequences", "</A>", "</H3>", "<HR>",  //
        "<H3>", "<A NAME=\"2\">", "2 Roles and privileges", "</A>", "</H3>"},
       {"<P><B><A HREF=\"#1\">", "1 Sequences", "</A></B></P>", "<P><B><A HREF=\"#2\">",
        "2 Roles and privileges", "</A></B></P>"},
       {"1 Sequences", "", "", "2 Roles and privileges", ""},
       {"1 Sequences", "2 Roles and privileges"}},
      {"Sequences in the order they were added, and a role",
       [](BuildFixture& f) {
         f.settings.SetPart(DocumentPart::Content, false);
         f.project.SetSectionDescription(ObjectKind::Sequences, "  Keys\r\nof <orders>");
         for (const char* name : {"ZETA_SEQ", "ALPHA_SEQ", "MID_SEQ"})
           f.project.AppendEntry(ObjectKind::Sequences, {{"DEMO", "SHOP", "pw"}, name, ""});
         f.project.SetDescription(ObjectKind::Sequences, 1, "a & b");
         f.project.AppendEntry(ObjectKind::Roles, {{"DEMO", "SHOP", "pw"}, "CLERK", "reads"});
       },
       SequencesAndRoles,
       QStringList{"<H3>", "1 Sequences", "</H3>", "<P>", "  Keys</P><P>\nof &lt;orders&gt;",
                   "</P>"} +
           HtmlTable({300, 0}, {{"Name", "Description"}, {"ZETA_SEQ", ""},
                                {"ALPHA_SEQ", "a &amp; b"}, {"MID_SEQ", ""}}) +
           QStringList{"<HR>", "<H3>", "2 Roles and privileges", "</H3>"} +
           HtmlTable({300, 0}, {{"Name", "Description"}, {"CLERK", "reads"}}) +
           QStringList{"<HR>"},
       {},
       {"1 Sequences", "", "  Keys\r\nof <orders>", "",
        PadText("Name", 30) + PadText("Description", 30),
        PadText("ZETA_SEQ", 30) + QString(30, u' '),
        PadText("ALPHA_SEQ", 30) + PadText("a & b", 30),
        PadText("MID_SEQ", 30) + QString(30, u' '), "", "2 Roles and privileges", "", "",
        PadText("Name", 30) + PadText("Description", 30),
        PadText("CLERK", 30) + PadText("reads", 30), ""},
       {}},
  };
  for (const SectionPair& p : pairs) {
    for (const bool html : {true, false}) {
      BuildFixture f;
      f.SetInfo("Shop", "1.0", "First\r\nSecond");
      p.setup(f);
      BuildContext ctx = f.Context(html);
      int n = 1;
      p.write(ctx, n);
      EXPECT_EQ(f.doc.TempMemo, html ? p.html : p.text) << p.what << (html ? " (HTML)" : "");
      EXPECT_EQ(f.doc.TempMemoHeader, html ? p.htmlContents : p.textContents)
          << p.what << (html ? " (HTML)" : "");
    }
  }
}

}  // namespace
