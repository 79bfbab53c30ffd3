// The modern formats rendered from a model: escaping of every value, anchors, links and the
// Markdown folder as one change.
#include <gtest/gtest.h>
#include <kainjow/mustache.hpp>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <functional>

#include "diagrams/diagrams.h"
#include "model/document_model.h"
#include "model/list_pages.h"
#include "model/object_spill.h"
#include "model/what_uses_what.h"
#include "modern/document_view.h"
#include "modern/markdown.h"
#include "modern/modern_html.h"
#include "modern/output_folder.h"
#include "modern/search_index.h"
#include "modern/site.h"
#include "modern/templates.h"
#include "support/build_fixture.h"
#include "support/child_process.h"
#include "support/test_env.h"

namespace {

// Markup, a script, a Markdown link and an image, table pipes, a code fence, a math span and
// a line break: what no value may bring into either format.
const QString kHostile =
    QStringLiteral("<script>alert(1)</script>&amp;\"'|[x](javascript:y)![i](z)`*_#$1$\n```");

ObjectKey HostileKey(const QString& name) { return {kHostile, kHostile, name}; }

// A model in which every text field holds the hostile text.
DocumentModel HostileModel() {
  DocumentModel m;
  m.name = m.version = m.created = m.updated = m.general = kHostile;
  m.sections = {SectionKind::General, SectionKind::Tables,   SectionKind::Views,
                SectionKind::Units,   SectionKind::Packages, SectionKind::Sequences,
                SectionKind::Roles};
  TableObject t;
  t.key = HostileKey(kHostile);
  t.anchor = t.key.Anchor();
  t.description = kHostile;
  t.dictionaryComment = kHostile + kHostile;
  t.synonyms = {{kHostile, kHostile}};
  t.columns = {{kHostile, kHostile, false, kHostile, kHostile}, {"OPTIONAL", "DATE", true, {}, {}}};
  ModelConstraint fk{kHostile, ConstraintKind::Foreign, {kHostile}, {}, t.key, {kHostile}, t.anchor};
  ModelConstraint check{kHostile, ConstraintKind::Check, {kHostile}, kHostile, {}, {}, {}};
  t.constraints = {fk, check};
  t.indexes = {{kHostile, true, {{kHostile, true}}}};
  t.referencedBy = {{t.key, t.anchor, kHostile, {kHostile}}};
  m.tables = {t};

  ViewObject v;
  v.key = HostileKey(QStringLiteral("V"));
  v.anchor = v.key.Anchor();
  v.description = v.dictionaryComment = kHostile;
  v.columns = t.columns;
  v.text = kHostile;
  m.views = {v};

  const CommentBlock block{kHostile, {kHostile}, {{kHostile, kHostile, kHostile}}, kHostile,
                           {kHostile}};
  // The block and the signature name different parameters: the one not described and the
  // one that no longer exists are both shown.
  // A documentation comment with every part, a link to nothing among them.
  plsql::DocComment doc;
  doc.description = {{plsql::TextBlock::Paragraph, {kHostile + "{@link nowhere " + kHostile + "}"}},
                     {plsql::TextBlock::Bullets, {kHostile}},
                     {plsql::TextBlock::Preformatted, {kHostile}}};
  doc.parameters = {{kHostile, kHostile}};
  doc.throws = {{kHostile, kHostile}};
  doc.returns = doc.deprecation = doc.since = kHostile;
  doc.deprecated = true;
  doc.see = doc.authors = doc.examples = {kHostile};
  Signature signature{kHostile, {{kHostile + u'2', kHostile, kHostile, kHostile, {}}}, kHostile, {},
                      doc, kHostile};
  UnitObject u;
  u.key = HostileKey(QStringLiteral("U"));
  u.anchor = u.key.Anchor();
  u.type = kHostile;
  u.blocks = {block};
  u.signatures = {signature};
  u.source = {kHostile, kHostile};
  // It draws its keys from the sequence, which the web site lists on a page of its own.
  u.dependencies.uses = {{HostileKey(QStringLiteral("S")), QStringLiteral("SEQUENCE"),
                          HostileKey(QStringLiteral("S")).Anchor(), {}}};
  m.units = {u};

  PackageObject p;
  p.key = HostileKey(QStringLiteral("P"));
  p.anchor = p.key.Anchor();
  p.description = kHostile;
  p.members = {{kHostile, p.anchor + u'.' + AnchorPart(kHostile), kHostile, {block}, {signature}}};
  p.textBlocks = {block};
  p.source = {kHostile};
  p.doc = doc;
  p.declarations = {{kHostile, kHostile, kHostile, doc}};
  m.packages = {p};

  m.sequencesText = m.rolesText = kHostile;
  m.sequences = {{HostileKey(QStringLiteral("S")), HostileKey(QStringLiteral("S")).Anchor(),
                  kHostile, true, {}}};
  m.sequences[0].dependencies.usedBy = {{u.key, u.type, u.anchor, {}}};
  m.roles = {{{kHostile, {}, kHostile}, ObjectKey{kHostile, {}, kHostile}.Anchor(), kHostile, true, {}}};
  return m;
}

TemplateSet Templates(TemplateFormat format, const QString& dir = {}) {
  TemplateSet set;
  QString error;
  EXPECT_TRUE(set.Load(format, dir, &error)) << error.toStdString();
  return set;
}

TEST(Anchors, FollowTheKeyAndNeverMeet) {
  EXPECT_EQ((ObjectKey{"DEMO", "HR", "EMPLOYEES"}.Anchor()), "demo.hr.employees");
  EXPECT_EQ(AnchorPart("SYS$X_1"), "sys$x_1");
  EXPECT_EQ(AnchorPart("Emp"), "e-6d--70-");
  EXPECT_EQ(AnchorPart("A.B"), "a-2e-b");
  // Parts that differ only where a plain mapping would fold them together stay apart.
  const QStringList parts{"EMP", "Emp", "emp", "E-6D-", "A.B", "A-2E-B", "", "Ä", "a b"};
  QSet<QString> anchors;
  for (const QString& p : parts) {
    const QString a = AnchorPart(p);
    EXPECT_TRUE(QRegularExpression("^[a-z0-9_$-]*$").match(a).hasMatch()) << a.toStdString();
    anchors.insert(a);
  }
  EXPECT_EQ(anchors.size(), parts.size());
}

// The hostile table references itself, so it has a diagram and its owner an overview.
Diagrams Drawn(const DocumentModel& model, const Links& links) {
  RecordingProgress progress;
  Diagrams diagrams;
  QString error;
  EXPECT_TRUE(DrawDiagrams(model, DiagramChoice::All, links, progress, &diagrams, &error))
      << error.toStdString();
  return diagrams;
}

// Two owners with a table of the same name, and more than one object an owner: the contents
// list each owner's own objects under it; a name finds the first object of that name,
// OWNER.NAME the owner's, PACKAGE.MEMBER the member; what an object uses links the very
// object it names.
TEST(ModernHtml, ContentsAndLinksFindEachObjectByItsNames) {
  DocumentModel m;
  m.sections = {SectionKind::Tables, SectionKind::Packages};
  for (const auto& [owner, name] : {std::pair("HR", "EMP"), {"HR", "DEPT"}, {"SALES", "EMP"}}) {
    TableObject t;
    t.key = {"DEMO", owner, name};
    t.anchor = t.key.Anchor();
    t.found = true;
    m.tables.append(t);
  }
  PackageObject p;
  p.key = {"DEMO", "HR", "PAY"};
  p.anchor = p.key.Anchor();
  p.members = {{"RUN", p.anchor + ".run", "PROCEDURE", {}, {}}};
  m.packages.append(p);

  const std::string page =
      RenderModernHtml(m, Templates(TemplateFormat::ModernHtml), Diagrams{});
  const std::size_t nav = page.find("<ul class=\"nav-sections\">");
  const std::string contents = page.substr(nav, page.find("</nav>") - nav);
  static const QRegularExpression entry(R"re(nav-owner">([^<]*)|<a href="#([^"]*)">)re");
  QStringList listed;
  for (auto it = entry.globalMatch(QString::fromStdString(contents)); it.hasNext();) {
    const QRegularExpressionMatch e = it.next();
    listed.append(e.captured(1).isEmpty() ? e.captured(2) : e.captured(1));
  }
  EXPECT_EQ(listed, QStringList({"DEMO.HR", "demo.hr.emp", "demo.hr.dept", "DEMO.SALES",
                                 "demo.sales.emp", "DEMO.HR", "demo.hr.pay", "demo.hr.pay.run"}));

  const DocumentView view(m, LinkStyle::Page);
  EXPECT_EQ(view.DocHref("emp", nullptr), "#demo.hr.emp");
  EXPECT_EQ(view.DocHref("Sales.Emp", nullptr), "#demo.sales.emp");
  EXPECT_EQ(view.DocHref("hr.pay#run()", nullptr), "#demo.hr.pay.run");
  EXPECT_EQ(view.DocHref("pay.run", nullptr), "#demo.hr.pay.run");
  EXPECT_EQ(view.DocHref("nowhere", nullptr), "");

  const DependencyAnchors anchors(m, TriggerAnchors());
  ModelDependencies d;
  d.uses = {{{"DEMO", "SALES", "EMP"}, "TABLE", {}, {}}, {{"DEMO", "HR", "PAY"}, "PACKAGE", {}, {}},
            {{"DEMO", "HR", "GONE"}, "TABLE", {}, {}}};
  anchors.Link(d);
  EXPECT_EQ(d.uses[0].anchor, "demo.sales.emp");
  EXPECT_EQ(d.uses[1].anchor, "demo.hr.pay");
  EXPECT_EQ(d.uses[2].anchor, "");
}

// No value adds markup. Every link lands on an anchor of the page, exactly the NOT NULL
// columns say so, and the last argument of a signature has no comma after it.
TEST(ModernHtml, NoValueAddsMarkup) {
  const DocumentModel model = HostileModel();
  const QString page = QString::fromStdString(RenderModernHtml(
      model, Templates(TemplateFormat::ModernHtml), Drawn(model, LinkStyle::Page)));
  QSet<QString> ids;
  for (auto it = QRegularExpression(R"re( id="([^"]*)")re").globalMatch(page); it.hasNext();)
    ids.insert(it.next().captured(1));
  static const QRegularExpression href(R"re(href="([^"]*)")re");
  int links = 0;
  for (auto it = href.globalMatch(page); it.hasNext(); ++links) {
    const QString target = it.next().captured(1);
    EXPECT_TRUE(target.startsWith(u'#') && ids.contains(target.mid(1))) << target.toStdString();
  }
  EXPECT_GT(links, 10);
  EXPECT_EQ(page.count("<td class=\"null\">not null</td>"), 2);
  EXPECT_EQ(page.count("OPTIONAL</td><td class=\"type\">DATE</td><td class=\"null\"></td>"), 2);
  EXPECT_FALSE(page.contains(",\n)"));
  ASSERT_EQ(page.count("<svg"), 3) << "the table's, the unit's and the owner's overview";
  EXPECT_FALSE(page.contains("\"'|"));
  EXPECT_TRUE(page.contains("&lt;script&gt;alert(1)&lt;/script&gt;&amp;amp;&quot;&apos;|"));
  EXPECT_EQ(page.count("<script>"), 1) << "a value's script is escaped";
  EXPECT_TRUE(page.contains("<span class=\"arg undescribed\">"));
  EXPECT_TRUE(page.contains("<tr class=\"stale\">"));
  EXPECT_TRUE(page.contains(
      QRegularExpression(R"(<dt>Documented</dt><dd>\d+\.\d% \(\d+ of \d+ items\)</dd>)")));
}

// A control character in a name (which no page may hold) is U+FFFD; markup is escaped, and
// tabs and line breaks of source text stay.
TEST(ModernHtml, ControlCharactersBecomeTheReplacementCharacter) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string("a\0b", 3), "a\uFFFDb"}, {"\x1b]0;title\x07", "\uFFFD]0;title\uFFFD"},
      {"\x7f \u0085 \uFFFE \uFFFF", "\uFFFD \uFFFD \uFFFD \uFFFD"},
      {"<a href='x'>&\"", "&lt;a href=&apos;x&apos;&gt;&amp;&quot;"},
      {"line\r\n\tcode \u00e9\u0100", "line\r\n\tcode \u00e9\u0100"},
  };
  for (const auto& [text, escaped] : cases) EXPECT_EQ(EscapeModernHtml(text), escaped) << text;

  DocumentModel model = HostileModel();
  model.tables[0].description = QStringLiteral("clears\x1b[2J the screen");
  const std::string page =
      RenderModernHtml(model, Templates(TemplateFormat::ModernHtml), Diagrams{});
  EXPECT_EQ(std::count_if(page.begin(), page.end(),
                          [](char c) { return c >= 0 && c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }),
            0) << "no control character, neither a value's nor one of the page's own marks";
  EXPECT_NE(page.find("clears\uFFFD[2J the screen"), std::string::npos);
}

// A site's pages by name, and the ids of each page's elements.
struct SitePages {
  QMap<QString, QString> text;
  QMap<QString, QSet<QString>> ids;
};

SitePages Pages(const QList<OutputFile>& files) {
  SitePages site;
  for (const OutputFile& f : files) {
    const QString& text = site.text[f.name] = QString::fromUtf8(f.bytes);
    for (auto it = QRegularExpression(R"re( id="([^"]*)")re").globalMatch(text); it.hasNext();)
      site.ids[f.name].insert(it.next().captured(1));
  }
  return site;
}

// Every reference of every page stays in the folder and lands on a file of it (and, with a
// fragment, on an element of that file); no value adds a script or a style.
void ExpectEveryReferenceLands(const SitePages& site) {
  static const QRegularExpression reference(R"re((?:href|src)="([^"]*)")re");
  for (auto page = site.text.cbegin(); page != site.text.cend(); ++page) {
    if (!page.key().endsWith(".html")) continue;
    EXPECT_EQ(page->count("<script"), page.key() == "index.html" ? 2 : 1)
        << page.key().toStdString() << ": a value's script is escaped";
    EXPECT_FALSE(page->contains("<style")) << "one shared style";
    int references = 0;
    for (auto it = reference.globalMatch(*page); it.hasNext(); ++references) {
      const QString url = it.next().captured(1);
      const qsizetype hash = url.indexOf(u'#');
      const QString file = hash < 0 ? url : url.left(hash);
      const QString target = file.isEmpty() ? page.key() : file;
      EXPECT_TRUE(site.text.contains(target)) << page.key().toStdString() << " -> " << url.toStdString();
      if (hash >= 0) {
        EXPECT_TRUE(site.ids[target].contains(url.mid(hash + 1)))
            << page.key().toStdString() << " -> " << url.toStdString();
      }
    }
    EXPECT_GT(references, 3) << page.key().toStdString();
  }
}

// The site's index holds the contents and the owners' overviews, and links each object to
// its page and each sequence and role to its list's page; every reference of every page stays in the folder and lands on a file
// of it (and, with a fragment, on an element of that file); no value adds markup anywhere.
TEST(Site, TheIndexLinksEveryPageAndEveryLinkLands) {
  const DocumentModel model = HostileModel();
  const QList<OutputFile> files = RenderSite(model, Templates(TemplateFormat::ModernHtml),
                                             Drawn(model, LinkStyle::Site));
  ASSERT_EQ(files.size(), 10)
      << "index, four pages, the sequences and roles, style, script and search index";
  EXPECT_EQ(files[0].name, "index.html");
  const SitePages site = Pages(files);
  const QMap<QString, QString>& pages = site.text;
  const QMap<QString, QSet<QString>>& ids = site.ids;
  EXPECT_TRUE(pages.contains("style.css") && pages.contains("script.js"));
  EXPECT_TRUE(pages["script.js"].contains("filter"));
  const QString& index = pages["index.html"];
  EXPECT_FALSE(index.contains("<article")) << "the objects are on their pages";
  EXPECT_EQ(index.count("<svg"), 1) << "the owner's overview";
  EXPECT_TRUE(index.contains(R"(<input type="search" id="filter")"));
  const QString objects[] = {model.tables[0].anchor, model.views[0].anchor,
                             model.units[0].anchor, model.packages[0].anchor};
  for (const QString& anchor : objects) {
    const QString page = ObjectFileName(anchor, ".html");
    ASSERT_TRUE(pages.contains(page)) << page.toStdString();
    EXPECT_TRUE(index.contains(R"(<a href=")" + page + R"(">)")) << "the contents link it";
    EXPECT_TRUE(ids[page].contains(anchor)) << "its anchor as on the web page";
    EXPECT_TRUE(pages[page].contains(R"(<a href="index.html">)"));
  }
  for (const auto& [page, anchor] : {std::pair{QStringLiteral("sequences.html"), model.sequences[0].anchor},
                                     std::pair{QStringLiteral("roles.html"), model.roles[0].anchor}}) {
    EXPECT_TRUE(ids[page].contains(anchor)) << page.toStdString();
    EXPECT_FALSE(ids["index.html"].contains(anchor)) << "the index lists no " << page.toStdString();
    EXPECT_TRUE(index.contains(R"(<a href=")" + page + '#' + anchor + R"(">)")) << "the contents";
    EXPECT_TRUE(index.contains(R"(<a href=")" + page + R"(">)")) << "its section";
    EXPECT_FALSE(pages[page].contains("<nav")) << "one page needs no way between pages";
  }
  EXPECT_EQ(index.count("</a> on a page of its own."), 2) << "one sequence, one role";
  EXPECT_TRUE(index.contains("1 sequence</a>")) << "a noun in the singular";
  EXPECT_TRUE(pages[ObjectFileName(model.units[0].anchor, ".html")].contains(
      "sequences.html#" + model.sequences[0].anchor)) << "what the unit uses";
  EXPECT_EQ(pages[ObjectFileName(model.tables[0].anchor, ".html")].count("<svg"), 1);
  DocumentModel noRoles = model;
  noRoles.roles.clear();
  for (const OutputFile& f : RenderSite(noRoles, Templates(TemplateFormat::ModernHtml),
                                        Drawn(noRoles, LinkStyle::Site)))
    EXPECT_NE(f.name, "roles.html") << "no page that nothing links";
  ExpectEveryReferenceLands(site);
}

// A list longer than a page is on numbered pages, each row on the page its place and the
// links of the rows before it give, which lead to each other; every link to an entry (the contents, the changes, what uses
// it, its drawing) finds the page of its row; a later build of fewer pages leaves none behind.
TEST(Site, AListLongerThanAPageIsSplitAndEveryLinkFindsItsRow) {
  DocumentModel model = HostileModel();
  for (int i = 2; i <= 5; ++i) {
    ListEntry e = model.sequences[0];
    e.key.name = QStringLiteral("S%1").arg(i);
    e.anchor = e.key.Anchor();
    e.dependencies = {};
    model.sequences.append(e);
  }
  const ListEntry& last = model.sequences[4];
  model.units[0].dependencies.uses = {{last.key, QStringLiteral("SEQUENCE"), last.anchor, {}}};
  model.changesSince = QStringLiteral("older");
  model.changes = {{last.key, QStringLiteral("added"), false, last.anchor, true}};
  const ListPages lists(model, 2);
  const QList<OutputFile> files = RenderSite(model, Templates(TemplateFormat::ModernHtml),
                                             Drawn(model, Links(lists)), 2);
  const SitePages site = Pages(files);
  // The first row links what uses it, which fills its page; two rows to each page after it.
  for (qsizetype i = 0; i < model.sequences.size(); ++i)
    EXPECT_TRUE(site.ids[ListPageName(SectionKind::Sequences, int((i + 1) / 2))].contains(
        model.sequences[i].anchor)) << i;
  EXPECT_EQ(site.text["sequences-2.html"].count("<tr id="), 2);
  EXPECT_FALSE(site.text.contains("sequences-4.html"));
  const QString href = "sequences-3.html#" + last.anchor;
  EXPECT_EQ(site.text["index.html"].count(R"(<a href=")" + href + R"(">)"), 2)
      << "the contents and the changes";
  EXPECT_TRUE(site.text["index.html"].contains(
      R"(<a href="sequences.html">5 sequences</a> on 3 pages of their own.)"));
  EXPECT_EQ(site.text[ObjectFileName(model.units[0].anchor, ".html")].count(href), 2)
      << "what the unit uses, in words and in its drawing";
  const QString& middle = site.text["sequences-2.html"];
  EXPECT_TRUE(middle.contains(R"(<a href="sequences.html" rel="prev">)"));
  EXPECT_TRUE(middle.contains(R"(<a href="sequences-3.html" rel="next">)"));
  EXPECT_TRUE(middle.contains(R"(<a href="sequences-2.html" aria-current="page">2</a>)"));
  ExpectEveryReferenceLands(site);

  QTemporaryDir dir;
  QString error;
  ASSERT_EQ(WriteOutputFolder(dir.path(), files, {}, &error), FolderOutcome::Written);
  ASSERT_EQ(WriteOutputFolder(dir.path(), RenderSite(model, Templates(TemplateFormat::ModernHtml),
                                                     Drawn(model, LinkStyle::Site)),
                              {}, &error),
            FolderOutcome::Written) << error.toStdString();
  EXPECT_TRUE(QFileInfo::exists(dir.filePath("sequences.html")));
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("sequences-2.html")));
}

// A disk that fills while the site's words are kept, as they are written or once they are
// read back, is an error with the system's reason, never what was kept.
TEST(Site, AFullDiskWhileTheWordsAreKeptIsAnError) {
  for (const int objects : {100, 3}) {
    SCOPED_TRACE(objects);
    const int status = childprocess::Run([objects] {
      SearchIndex index;
      QString error;
      if (!index.Open(&error)) return 2;
      childprocess::LimitFileSize(1024);
      TableObject table;
      table.description = QString(1000, u'w');
      for (int i = 0; i < objects; ++i) {
        table.anchor = QStringLiteral("shop.app.t%1").arg(i);
        index.Add(table);
      }
      try {
        index.TakeScript([](std::string_view) { return true; });
      } catch (const SpillFailure& failure) {
        return failure.reason.contains(QStringLiteral("too large"), Qt::CaseInsensitive) ? 0 : 3;
      }
      return 4;
    });
    EXPECT_EQ(status, 0);
  }
}

// The search index maps each object's page to the words of what it holds (names of columns,
// keys and indexes, comments, descriptions, the query, the source), lower case and each once;
// it is a script that parses as such whatever the texts hold.
TEST(Site, TheSearchIndexHoldsEachObjectsWordsOnce) {
  DocumentModel m = HostileModel();
  TableObject& t = m.tables[0];
  t.description = QStringLiteral("Staff of the firm");
  t.dictionaryComment = QStringLiteral("People paid monthly");
  t.columns = {{"SALARY", "NUMBER", true, {}, "Monthly pay before tax; pay in EUR"},
               {"BONUS_PCT", "NUMBER", true, {}, {}}};
  t.indexes = {{"EMP_SALARY_IX", false, {{"SALARY", false}}}};
  m.views[0].text = QStringLiteral("select ename from payroll_runs");
  m.units[0].source = {"procedure raise_salary(p_pct number) is", "  -- Gives everyone a raise"};
  m.packages[0].description = QStringLiteral("Hiring");
  m.packages[0].source = {"package emp_mgmt is procedure hire_employee; end;"};
  const std::string script = SearchIndexScript(m).toStdString();
  const std::string prefix = "window.vellumarSearch = ";
  ASSERT_EQ(script.rfind(prefix, 0), 0u);
  const std::size_t end = script.find("\n};\n");
  ASSERT_NE(end, std::string::npos);
  QJsonParseError error;
  const QJsonObject index =
      QJsonDocument::fromJson(QByteArray::fromStdString(script.substr(prefix.size(), end + 2 - prefix.size())), &error)
          .object();
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  ASSERT_EQ(index.size(), 4);
  const auto words = [&](const QString& anchor) {
    return index.value(ObjectFileName(anchor, ".html")).toString().split(u' ');
  };
  const QStringList table = words(t.anchor);
  for (const char* word : {"staff", "firm", "people", "monthly", "salary", "pay", "eur",
                           "bonus_pct", "emp_salary_ix"})
    EXPECT_TRUE(table.contains(word)) << word;
  EXPECT_EQ(table.count("pay"), 1);
  EXPECT_EQ(table.count("monthly"), 1) << "once, though the comment and a column both say it";
  EXPECT_FALSE(table.contains("number")) << "a column's type is not what it holds";
  EXPECT_TRUE(words(m.views[0].anchor).contains("payroll_runs"));
  EXPECT_TRUE(words(m.units[0].anchor).contains("raise_salary"));
  EXPECT_TRUE(words(m.units[0].anchor).contains("everyone"));
  EXPECT_TRUE(words(m.packages[0].anchor).contains("hire_employee"));
  EXPECT_TRUE(words(m.packages[0].anchor).contains("hiring"));
  // The hostile texts' words come without their markup or quotes.
  const QString hostile = index.value(ObjectFileName(m.tables[0].anchor, ".html")).toString();
  EXPECT_TRUE(QRegularExpression("^[a-z0-9_$# ]*$").match(hostile).hasMatch()) << hostile.toStdString();
}

// The Markdown outside fenced code blocks (a block closes at a fence at least as long as the
// one that opened it).
QString Prose(const QString& text) {
  QString prose;
  qsizetype fence = 0;
  static const QRegularExpression fenceLine("^(`{3,})([a-z]*)$");
  for (const QString& line : text.split(u'\n')) {
    const QRegularExpressionMatch m = fenceLine.match(line);
    if (fence == 0 && m.hasMatch()) {
      fence = m.captured(1).size();
    } else if (fence > 0) {
      if (m.hasMatch() && m.captured(2).isEmpty() && m.captured(1).size() >= fence) fence = 0;
    } else {
      prose += line + u'\n';
    }
  }
  EXPECT_EQ(fence, 0) << "a code block is not closed";
  return prose;
}

// Where a link of the folder's file `from` leads: a path inside the folder, or one that
// begins with ".." when it leaves it.
QString LinkTarget(const QString& from, const QString& href) {
  return QDir::cleanPath(QFileInfo(from).path() + u'/' + href);
}

// Every link of every page and drawing leads to a file of the folder, and one with a
// "#fragment" to an anchor there (a page's own heading, or its section).
void ExpectEveryLinkLands(const QList<OutputFile>& files) {
  QMap<QString, QString> texts;
  for (const OutputFile& f : files) texts.insert(f.name, QString::fromUtf8(f.bytes));
  static const QRegularExpression mdLink(R"((?<!\\)\]\(([^)#]*)(?:#([^)]*))?\))");
  static const QRegularExpression svgLink(R"re(href="([^"#]*)(?:#([^"]*))?")re");
  for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
    const bool svg = it.key().endsWith(".svg");
    const QString text = svg ? it.value() : Prose(it.value());
    for (auto m = (svg ? svgLink : mdLink).globalMatch(text); m.hasNext();) {
      const QRegularExpressionMatch link = m.next();
      const QString target =
          link.captured(1).isEmpty() ? it.key() : LinkTarget(it.key(), link.captured(1));
      ASSERT_TRUE(texts.contains(target)) << it.key().toStdString() << " -> "
                                          << link.captured(1).toStdString();
      if (!link.captured(2).isEmpty()) {
        EXPECT_TRUE(texts[target].contains("<a id=\"" + link.captured(2) + "\"></a>"))
            << it.key().toStdString() << " -> " << link.captured(0).toStdString();
      }
    }
  }
}

const OutputFile* Named(const QList<OutputFile>& files, const QString& name) {
  for (const OutputFile& f : files)
    if (f.name == name) return &f;
  return nullptr;
}

TEST(Markdown, NoValueAddsMarkupAndEveryLinkNamesAFile) {
  DocumentModel model = HostileModel();
  model.units[0].source = {kHostile, "", "", kHostile};
  const QList<OutputFile> files =
      RenderMarkdown(model, Templates(TemplateFormat::Markdown),
                     Drawn(model, MarkdownLinks(MarkdownLayout(model))));
  ASSERT_EQ(files.size(), 9)
      << "README, the owner's page, four pages, a table's and a unit's diagram and an overview";
  EXPECT_EQ(files[0].name, "README.md");
  EXPECT_TRUE(QString::fromUtf8(files[0].bytes)
                  .contains(QRegularExpression(R"(\*\*Documented:\*\* \d+\.\d% \()")));
  const auto unitPage = std::find_if(files.begin(), files.end(), [&](const OutputFile& f) {
    return f.name.endsWith(u'/' + ObjectFileName(model.units[0].anchor, ".md"));
  });
  ASSERT_NE(unitPage, files.end());
  EXPECT_TRUE(unitPage->bytes.contains("Described parameters that no longer exist: "));
  QString markdown;
  for (const OutputFile& f : files) markdown += QString::fromUtf8(f.bytes);
  EXPECT_EQ(markdown.count("| not null |"), 2);
  EXPECT_EQ(markdown.count("| OPTIONAL | DATE |  |"), 2);
  // A value's markup characters all come escaped; "<" only opens our "<br>".
  static const QRegularExpression unescaped(R"((?<!\\)(`|\$|_|<(?!br>)|\]\(j))");
  static const QRegularExpression pipe(R"((?<!\\)\|)");
  // A template's empty sections leave no runs of blank lines; the source keeps its own.
  EXPECT_TRUE(unitPage->bytes.contains(kHostile.toUtf8() + "\n\n\n" + kHostile.toUtf8()));
  for (const OutputFile& f : files) {
    if (f.name.endsWith(".svg")) continue;
    const QString prose = Prose(QString::fromUtf8(f.bytes));
    static const QRegularExpression fenced("\n(`{3,})[a-z]*\n.*?\n\\1\n",
                                           QRegularExpression::DotMatchesEverythingOption);
    const QString unfenced = QString::fromUtf8(f.bytes).replace(fenced, "\ncode\n");
    EXPECT_FALSE(unfenced.startsWith(u'\n') || unfenced.contains("\n\n\n"))
        << f.name.toStdString();
    // Our own link targets (README.md's among them) and anchors aside.
    static const QRegularExpression ours(R"(\]\([A-Za-z0-9_$.~#/-]*\)|<a id="[a-z0-9_$.~-]*"></a>)");
    const QString values = QString(prose).remove(ours);
    EXPECT_FALSE(unescaped.match(values).hasMatch())
        << f.name.toStdString() << ": " << unescaped.match(values).captured().toStdString();
    // Table rows keep their column count whatever a cell holds.
    qsizetype columns = -1;
    for (const QString& line : prose.split(u'\n')) {
      if (!line.startsWith(u'|')) {
        columns = -1;
        continue;
      }
      const qsizetype count = line.count(pipe);
      if (columns < 0) columns = count;
      EXPECT_EQ(count, columns) << (f.name + ": " + line).toStdString();
    }
  }
  ExpectEveryLinkLands(files);
}

// A comment or description of several paragraphs: its label once, its paragraphs apart.
TEST(Markdown, ParagraphsStayApartUnderOneLabel) {
  DocumentModel m = HostileModel();
  m.tables[0].dictionaryComment = "Customers.\n\nLoaded nightly.";
  m.sequences[0].description = "First.\r\n\r\nSecond.";
  const QList<OutputFile> files = RenderMarkdown(m, Templates(TemplateFormat::Markdown), Diagrams{});
  QString markdown;
  for (const OutputFile& f : files) markdown += QString::fromUtf8(f.bytes);
  EXPECT_TRUE(markdown.contains("\n> **Dictionary comment:** Customers.\n>\n> Loaded nightly.\n"));
  EXPECT_TRUE(files.value(0).bytes.contains(" | First.<br><br>Second."));
  const QString page = QString::fromStdString(
      RenderModernHtml(m, Templates(TemplateFormat::ModernHtml), Diagrams{}));
  EXPECT_EQ(page.count("Dictionary comment</span>"), 1) << "the table's; the view's is its description";
  EXPECT_TRUE(page.contains("<p class=\"dict\">Loaded nightly."));
}

// On a Git host a heading with nothing under it is a dead end and an image is no link: the
// README links each section's owners to their pages, an owner's page lists its pages (the
// tables under its overview), and a table's drawing is followed by links to the other
// tables in it.
TEST(Markdown, TheReadmeAndEveryDrawingLinkTheirPages) {
  DocumentModel m = HostileModel();
  TableObject b;
  b.key = HostileKey(QStringLiteral("B"));
  b.anchor = b.key.Anchor();
  b.found = true;
  b.columns = {{QStringLiteral("ID"), QStringLiteral("NUMBER"), false, {}, {}}};
  b.constraints = {{QStringLiteral("B_PK"), ConstraintKind::Primary, {QStringLiteral("ID")}, {}, {}, {}, {}}};
  m.tables[0].constraints.append({QStringLiteral("A_B_FK"), ConstraintKind::Foreign, {kHostile},
                                  {}, b.key, {QStringLiteral("ID")}, b.anchor});
  b.referencedBy = {{m.tables[0].key, m.tables[0].anchor, QStringLiteral("A_B_FK"), {kHostile}}};
  m.tables.append(b);
  const TableObject& a = m.tables[0];
  const FileLayout layout = MarkdownLayout(m);
  const QList<OutputFile> files =
      RenderMarkdown(m, Templates(TemplateFormat::Markdown), Drawn(m, MarkdownLinks(layout)));
  ExpectEveryLinkLands(files);
  const QString ownerPage = FileLayout::OwnerFolder(a.anchor) + "/README.md";
  ASSERT_NE(Named(files, ownerPage), nullptr);
  auto page = [&](const QString& anchor) {
    return layout.Folder(anchor) + u'/' + ObjectFileName(anchor, QStringLiteral(".md"));
  };
  // The links of one section of a file, where each leads.
  auto section = [&](const QString& file, const char* anchor) {
    const QString text = QString::fromUtf8(Named(files, file)->bytes);
    const QString tag = QStringLiteral("<a id=\"%1\"></a>\n## ").arg(anchor);
    const qsizetype at = text.indexOf(tag);
    EXPECT_GE(at, 0) << file.toStdString() << " has no section " << anchor;
    const QString part = text.mid(at, text.indexOf(QStringLiteral("\n## "), at + tag.size()) - at);
    QStringList targets;
    static const QRegularExpression link(R"((?<!\\)\]\(([^)]*)\))");
    for (auto it = link.globalMatch(part); it.hasNext();)
      targets.append(LinkTarget(file, it.next().captured(1)));
    return std::pair{part, targets};
  };
  const std::pair<const char*, QStringList> sections[] = {
      {"tables", {page(a.anchor), page(b.anchor)}}, {"views", {page(m.views[0].anchor)}},
      {"units", {page(m.units[0].anchor)}}, {"packages", {page(m.packages[0].anchor)}}};
  for (const auto& [anchor, pages] : sections) {
    EXPECT_EQ(section("README.md", anchor).second,
              QStringList{ownerPage + QStringLiteral("#") + anchor});
    EXPECT_EQ(section(ownerPage, anchor).second, pages) << anchor;
  }
  const QString owner = QString::fromUtf8(Named(files, ownerPage)->bytes);
  EXPECT_GT(owner.indexOf(u"## Tables"), owner.indexOf(u".svg)")) << "the overview first";

  for (const TableObject* t : {&a, static_cast<const TableObject*>(&b)}) {
    const OutputFile* own = Named(files, page(t->anchor));
    ASSERT_NE(own, nullptr);
    const QString text = QString::fromUtf8(own->bytes);
    const TableObject& other = t == &a ? b : a;
    const qsizetype image = text.indexOf(u".svg)");
    ASSERT_GT(image, 0);
    QStringList targets;
    static const QRegularExpression link(R"((?<!\\)\]\(([^)]*)\))");
    for (auto it = link.globalMatch(text.mid(image, text.indexOf(u"## Columns") - image));
         it.hasNext();)
      targets.append(LinkTarget(own->name, it.next().captured(1)));
    EXPECT_TRUE(targets.contains(page(other.anchor))) << t->key.name.toStdString();
    EXPECT_FALSE(targets.contains(page(t->anchor))) << "no link to the page itself";
  }
}

// An owner with more objects than a folder should hold has numbered folders of at most a
// thousand files each, each with its own list, which its owner's page and the README reach;
// a small owner beside it keeps one folder.
TEST(Markdown, AnOwnerOfThousandsOfObjectsIsSplitIntoFoldersOfAThousandFiles) {
  DocumentModel m;
  m.name = QStringLiteral("Large");
  m.sections = {SectionKind::Tables, SectionKind::Views};
  for (int i = 0; i < 1203; ++i) {
    TableObject t;
    t.key = {QStringLiteral("DB"), i < 1200 ? QStringLiteral("BIG") : QStringLiteral("SMALL"),
             QStringLiteral("T%1").arg(i, 4, 10, QChar(u'0'))};
    t.anchor = t.key.Anchor();
    t.found = true;
    m.tables.append(t);
  }
  ViewObject v;
  v.key = {QStringLiteral("DB"), QStringLiteral("BIG"), QStringLiteral("V")};
  v.anchor = v.key.Anchor();
  m.views = {v};
  const FileLayout layout = MarkdownLayout(m);
  EXPECT_EQ(layout.Parts("db/big"), (QStringList{"db/big~1", "db/big~2", "db/big~3"}));
  EXPECT_EQ(layout.Parts("db/small"), QStringList());
  EXPECT_EQ(layout.Folder(m.tables[498].anchor), "db/big~1");
  EXPECT_EQ(layout.Folder(m.tables[499].anchor), "db/big~2");
  EXPECT_EQ(layout.Folder(v.anchor), "db/big~3");
  EXPECT_EQ(layout.Folder(m.tables[1200].anchor), "db/small");

  const QList<OutputFile> files = RenderMarkdown(m, Templates(TemplateFormat::Markdown), Diagrams{});
  ExpectEveryLinkLands(files);
  // Each page and a drawing beside each table, and the folder's list of them: never more
  // than a thousand in a folder.
  QMap<QString, int> inFolder;
  for (const OutputFile& f : files)
    inFolder[QFileInfo(f.name).path()] += f.name.endsWith("/README.md") ? 1 : 2;
  for (auto it = inFolder.cbegin(); it != inFolder.cend(); ++it)
    EXPECT_LE(it.value() + 1, FileLayout::kMaxFolderFiles) << it.key().toStdString();
  EXPECT_EQ(inFolder.value("db/big"), 1) << "the owner's page alone";
  EXPECT_EQ(inFolder.value("db/small"), 1 + 2 * 3);
  // The owner's page lists each part's run of tables; the part's page its tables.
  const QString big = QString::fromUtf8(Named(files, "db/big/README.md")->bytes);
  EXPECT_TRUE(big.contains("- [Part 2](../big~2/README.md#tables): 499, T0499 to T0997\n"))
      << big.toStdString();
  EXPECT_TRUE(big.contains("- [Part 3](../big~3/README.md#views): 1, V to V\n"));
  const QString part = QString::fromUtf8(Named(files, "db/big~3/README.md")->bytes);
  EXPECT_TRUE(part.startsWith("[Contents](../../README.md) · [DB.BIG](../big/README.md)\n\n"
                              "# DB.BIG, part 3 of 3\n"))
      << part.toStdString();
  EXPECT_EQ(part.count("- [T"), 1200 - 2 * 499);
}

// A quoted lower-case name of 70 characters spells each letter in four: its files get a
// readable beginning and a hash, the same in every build, and every link follows them.
TEST(Markdown, LongNamesGetShortStableFileNamesThatLinksFollow) {
  DocumentModel m = HostileModel();
  m.tables = {m.tables[0], m.tables[0]};
  for (int i = 0; i < 2; ++i) {
    m.tables[i].key.name = QString(69, u'a') + QChar(i ? u'b' : u'a');
    m.tables[i].anchor = m.tables[i].key.Anchor();
  }
  ASSERT_GT(m.tables[0].anchor.size(), 255);
  const QList<OutputFile> files = RenderMarkdown(m, Templates(TemplateFormat::Markdown), Diagrams{});
  QSet<QString> names;
  for (const OutputFile& f : files) {
    for (const QString& name : f.name.split(u'/'))
      EXPECT_LE(name.size(), 120) << f.name.toStdString();
    names.insert(QFileInfo(f.name).fileName());
  }
  EXPECT_EQ(names.size(), files.size() - 1) << "two long names that begin alike stay apart";
  const QString page = ObjectFileName(m.tables[0].anchor, ".md");
  EXPECT_TRUE(page.startsWith(m.tables[0].anchor.left(80)) && page.contains(u'~'));
  EXPECT_TRUE(names.contains(page));
  EXPECT_TRUE(files[1].bytes.contains("/" + page.toUtf8() + ")")) << "the owner's page links it";
}

TEST(Markdown, EscapingShowsTheTextLiterally) {
  const std::pair<std::string, std::string> cases[] = {
      {"JOB_HISTORY", "JOB\\_HISTORY"}, {"a|b", "a\\|b"}, {"<b>&amp;", "\\<b\\>\\&amp;"},
      {"[x](y) `c` *e* ~s~ #h $m$", "\\[x\\](y) \\`c\\` \\*e\\* \\~s\\~ \\#h \\$m\\$"},
      {"- item", "\\- item"}, {"+ item", "\\+ item"}, {"===", "\\==="},
      {"12. item", "12\\. item"}, {"3) item", "3\\) item"},
      {"one\r\ntwo\nthree", "one<br>two<br>three"}, {"back\\slash", "back\\\\slash"},
      {"plain text, 2.5", "plain text, 2.5"},
      // A web address is linked as written; a sentence's end or a bracket around it is not
      // a part of it.
      {"See https://wiki.example.com/crm_fields?lang=en&v=2|3.",
       "See <https://wiki.example.com/crm_fields?lang=en&v=2%7C3>."},
      {"(HTTP://x.example/a_(b)) or WWW.acme.example/p_q",
       "(<HTTP://x.example/a_(b)>) or WWW\\.acme.example/p\\_q"},
      {"nohttp://x and http:// alone", "nohttp://x and http:// alone"},
  };
  for (const auto& [text, escaped] : cases) EXPECT_EQ(EscapeMarkdown(text), escaped) << text;
}

// A user's piece replaces its namesake also where a built-in template includes it.
TEST(Templates, ABuiltInTemplateIncludesTheUsersPiece) {
  QTemporaryDir dir;
  testenv::WriteBytes(dir.filePath("signatures.html"), "<p>own signatures</p>");
  std::string unit;
  Templates(TemplateFormat::ModernHtml, dir.path())
      .Render("unit.html", kainjow::mustache::data(), unit);
  EXPECT_NE(unit.find("<p>own signatures</p>"), std::string::npos) << unit;
}

// Included templates are written into their includer once, on load; each must still read
// its tags with the delimiters it starts with, and its includer's stay its own.
TEST(Templates, AnIncludedTemplateKeepsItsOwnDelimiters) {
  QTemporaryDir dir;
  testenv::WriteBytes(dir.filePath("doc.html"), "{{=<% %>=}}[<%name%>]");
  testenv::WriteBytes(dir.filePath("parameters.html"), "({{name}})");
  testenv::WriteBytes(dir.filePath("description.html"),
                      "{{#items}}{{name}}{{/items}}|{{> doc.html}}{{name}}|"
                      "{{> parameters.html}}{{=<% %>=}}<%> parameters.html%><%name%>");
  kainjow::mustache::data items(kainjow::mustache::data::type::list);
  items.push_back(kainjow::mustache::data("name", "a"));
  items.push_back(kainjow::mustache::data("name", "b"));
  kainjow::mustache::data data("name", "N");
  data.set("items", items);
  std::string out;
  Templates(TemplateFormat::ModernHtml, dir.path()).Render("description.html", data, out);
  EXPECT_EQ(out, "ab|[N]N|(N)(N)N");
}

// A deferred list reads as the list itself would, and each item is made as it is entered:
// names it lacks fall through to the objects around it, and a list entered again from
// within its own items makes them again.
TEST(Templates, ADeferredListReadsAsTheListAndMakesEachItemAsItIsEntered) {
  using kainjow::mustache::data;
  QTemporaryDir dir;
  testenv::WriteBytes(dir.filePath("description.html"),
                      "{{#groups}}{{label}}:{{#items}}{{name}}{{label}}{{#items}}.{{/items}}"
                      "{{/items}}{{^items}}none{{/items}};{{/groups}}");
  const TemplateSet set = Templates(TemplateFormat::ModernHtml, dir.path());
  const std::vector<std::pair<std::string, std::vector<std::string>>> groups = {
      {"A", {"x", "y"}}, {"B", {"z"}}, {"C", {}}};
  std::map<std::string, int> made;
  DeferredValues deferred;
  data eager, lazy;
  for (data* d : {&eager, &lazy}) {
    data list(data::type::list);
    for (const auto& [label, names] : groups) {
      data group("label", label);
      if (d == &eager) {
        data items(data::type::list);
        for (const std::string& n : names) items.push_back(data("name", n));
        group.set("items", items);
      } else {  // moved into place: a copy of a deferred list is a list of stand-ins
        SetData(group, "items", deferred.List(names.size(), [&, names](std::size_t n) {
                  ++made[names[n]];
                  return data("name", names[n]);
                }));
      }
      AppendData(list, std::move(group));
    }
    SetData(*d, "groups", std::move(list));
  }
  std::string fromEager, fromLazy;
  set.Render("description.html", eager, fromEager);
  set.Render("description.html", lazy, fromLazy, &deferred);
  EXPECT_EQ(fromEager, "A:xA..yA..;B:zB.;C:none;");
  EXPECT_EQ(fromLazy, fromEager);
  EXPECT_EQ(made, (std::map<std::string, int>{{"x", 3}, {"y", 3}, {"z", 2}}));
}

// An error names the template and, where the template library gives an offset, its line.
TEST(Templates, OneThatIncludesItselfOrNoTemplateOrDoesNotParseIsRefusedOnLoad) {
  const struct {
    std::map<QString, const char*> files;
    QString named, reason;
  } cases[] = {
      {{{"signatures.html", "{{> signatures.html}}"}}, "signatures.html",
       "includes itself: signatures.html > signatures.html"},
      {{{"parameters.html", "{{> parameter-notes.html}}"},  // the built-in unit includes both
        {"parameter-notes.html", "{{{x}}}{{! {{> y}} }}{{> parameters.html }}"}},
       "parameters.html", "parameters.html > parameter-notes.html > parameters.html"},
      {{{"style.css", "{{=<% %>=}}{{> x}}<%> style%>"}}, "style.css", "style.css > style.css"},
      {{{"view.html", "{{> name}}"}}, "view.html", "includes \"name\", which is none"},
      {{{"table.html", "<h2>{{name}}</h2>\n\n{{#columns}}<p>{{name}}</p>\n"}}, "table.html",
       "Unclosed section \"columns\" on line 3"},
  };
  for (const auto& c : cases) {
    QTemporaryDir dir;
    for (const auto& [name, text] : c.files) testenv::WriteBytes(dir.filePath(name), text);
    TemplateSet set;
    QString error;
    EXPECT_FALSE(set.Load(TemplateFormat::ModernHtml, dir.path(), &error)) << c.named.toStdString();
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(dir.filePath(c.named))) &&
                error.contains(c.reason))
        << error.toStdString();
  }
}

// A template of the user's is a regular file of bounded size inside the template directory:
// a link out of it (to a secret the page would publish), a FIFO or a huge file is refused.
TEST(Templates, OnlyRegularFilesOfBoundedSizeInsideTheDirectory) {
  QTemporaryDir outside;
  testenv::WriteBytes(outside.filePath("secret"), "root:secret");
  const struct {
    const char* name;
    std::function<void(const QString& dir)> plant;
    const char* reason;  // empty: loads, and the linked piece is used
  } cases[] = {
      {"a link out of the directory",
       [&](const QString& d) { QFile::link(outside.filePath("secret"), d + "/description.html"); },
       "It leads out of the template directory"},
      {"a link to a device", [](const QString& d) { QFile::link("/dev/zero", d + "/style.css"); },
       "It leads out of the template directory"},
      {"a FIFO",
       [](const QString& d) {
         ASSERT_EQ(::mkfifo(QFile::encodeName(d + "/script.js").constData(), 0600), 0);
       },
       "Not a regular file"},
      {"larger than any template",
       [](const QString& d) {
         QFile big(d + "/view.html");
         ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(17) << 20));
       },
       "It is larger than 16 MiB"},
      {"a link inside the directory",
       [](const QString& d) {
         testenv::WriteBytes(d + "/pieces.html", "<p>own signatures</p>");
         QFile::link("pieces.html", d + "/signatures.html");
       },
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    c.plant(dir.path());
    TemplateSet set;
    QString error;
    EXPECT_EQ(set.Load(TemplateFormat::ModernHtml, dir.path(), &error), *c.reason == 0);
    EXPECT_TRUE(error.contains(c.reason)) << error.toStdString();
    if (*c.reason == 0) {
      std::string unit;
      set.Render("unit.html", kainjow::mustache::data(), unit);
      EXPECT_NE(unit.find("<p>own signatures</p>"), std::string::npos);
    }
  }
}

// Sections nested deep over a list, or each template including the next ten times, would
// render for hours: they stop at the limits with an error that says why.
TEST(Templates, RenderingStopsAtItsLimits) {
  QString deep = "x\n";
  for (int i = 0; i < 12; ++i) deep = "{{#items}}" + deep + "{{/items}}";
  const QStringList chain = TemplateSet::Names(TemplateFormat::ModernHtml);
  const struct {
    const char* name;
    std::map<QString, QString> files;
    TemplateLimits limits;
    const char* reason;
  } cases[] = {
      {"sections twelve deep", {{"page.html", deep}}, {100000, qint64(1) << 40},
       "more than 100000 steps"},
      {"ten includes of the next, ten deep", {}, {100000, qint64(1) << 40},
       "more than 100000 steps"},
      {"output", {{"page.html", deep}}, {qint64(1) << 40, qint64(1) << 20},
       "more than 1 MiB of this document"},
  };
  kainjow::mustache::data items(kainjow::mustache::data::type::list);
  for (int i = 0; i < 10; ++i) items.push_back(kainjow::mustache::data("item"));
  kainjow::mustache::data data;
  data.set("items", items);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    std::map<QString, QString> files = c.files;
    if (files.empty())
      for (qsizetype i = 0; i < 10; ++i)
        files[chain[i]] = QString("{{> %1}}").arg(chain[i + 1]).repeated(10);
    for (const auto& [name, text] : files) testenv::WriteBytes(dir.filePath(name), text.toUtf8());
    const TemplateSet set = Templates(TemplateFormat::ModernHtml, dir.path());
    SetTemplateLimits(c.limits);
    std::string out;
    QString error;
    try {
      set.Render("page.html", data, out);
    } catch (const TemplateOverflow& e) {
      error = e.Message();
    }
    SetTemplateLimits({});
    EXPECT_TRUE(error.contains(c.reason)) << error.toStdString();
  }
}

}  // namespace
