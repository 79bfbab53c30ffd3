// The relationship diagrams: who gets one, one arrow per foreign key, links, names that
// would break the SVG, the overview's size limit, and the library's errors and crashes.
#include "diagrams/diagrams.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include <QFile>
#include <QPointF>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "diagrams/graph_layout.h"
#include "model/document_model.h"
#include "modern/markdown.h"
#include "modern/modern_html.h"
#include "modern/templates.h"
#include "support/build_fixture.h"
#include "support/child_process.h"
#include "support/svg_box.h"

namespace {

TableObject Table(const QString& owner, const QString& name, const QString& pk) {
  TableObject t;
  t.key = {QStringLiteral("D"), owner, name};
  t.anchor = t.key.Anchor();
  t.found = true;
  t.columns = {{pk, QStringLiteral("NUMBER"), false, {}, {}}};
  t.constraints = {{name + QStringLiteral("_PK"), ConstraintKind::Primary, {pk}, {}, {}, {}, {}}};
  return t;
}

// A foreign key of `from` (its new column `column`) to the primary key of `to`.
void AddKey(TableObject& from, TableObject& to, const QString& name, const QString& column) {
  from.columns.append({column, QStringLiteral("NUMBER"), true, {}, {}});
  from.constraints.append({name, ConstraintKind::Foreign, {column}, {}, to.key,
                           to.PrimaryKey()->columns, to.anchor});
  to.referencedBy.append({from.key, from.anchor, name, {column}});
}

qsizetype Count(const std::string& svg, const char* what) {
  return QByteArray::fromStdString(svg).count(what);
}

Diagrams Draw(const DocumentModel& model, DiagramChoice choice,
              LinkStyle links = LinkStyle::Page) {
  RecordingProgress progress;
  Diagrams diagrams;
  QString error;
  EXPECT_TRUE(DrawDiagrams(model, choice, links, progress, &diagrams, &error))
      << error.toStdString();
  return diagrams;
}

// EMP references itself (its manager); DEPT references EMP twice (manager and deputy, the
// first through a column named like EMP's own); LONE has a primary key and nothing else.
DocumentModel Staff() {
  TableObject emp = Table("O", "EMP", "EMP_ID");
  TableObject dept = Table("O", "DEPT", "DEPT_ID");
  TableObject lone = Table("O", "LONE", "LONE_ID");
  AddKey(emp, emp, "EMP_MGR_FK", "MGR_ID");
  AddKey(dept, emp, "DEPT_MGR_FK", "MGR_ID");
  AddKey(dept, emp, "DEPT_DEPUTY_FK", "DEPUTY_ID");
  DocumentModel m;
  m.tables = {emp, dept, lone};
  return m;
}

TEST(Diagrams, KeysDecideWhoIsDrawnAndEachKeyIsOneLabelledArrow) {
  const DocumentModel staff = Staff();
  const Diagrams d = Draw(staff, DiagramChoice::All);
  EXPECT_EQ(d.TableSvg("d.o.lone"), nullptr) << "a table without foreign keys has none";
  ASSERT_NE(d.TableSvg("d.o.emp"), nullptr);
  ASSERT_NE(d.TableSvg("d.o.dept"), nullptr);

  // EMP: itself once, DEPT once; the loop and both keys from DEPT, each with its columns.
  const std::string& emp = *d.TableSvg("d.o.emp");
  EXPECT_EQ(Count(emp, "class=\"node\""), 2);
  EXPECT_EQ(Count(emp, "class=\"edge\""), 3);
  for (const char* key : {"EMP_MGR_FK: D.O.EMP (MGR_ID) references D.O.EMP (EMP_ID)",
                          "DEPT_MGR_FK: D.O.DEPT (MGR_ID)", "DEPT_DEPUTY_FK: D.O.DEPT (DEPUTY_ID)",
                          "xlink:href=\"#d.o.emp\"", "xlink:href=\"#d.o.dept\""})
    EXPECT_EQ(Count(emp, key), 1) << key;
  const std::string& dept = *d.TableSvg("d.o.dept");
  EXPECT_EQ(Count(dept, "class=\"node\""), 2);
  EXPECT_EQ(Count(dept, "class=\"edge\""), 2) << "DEPT's diagram leaves EMP's own keys out";
  EXPECT_EQ(Count(dept, ">MGR_ID</text>"), 2) << "DEPT's row and arrow; EMP's box has its key";

  // The owner's overview: every table, every key once.
  ASSERT_EQ(d.overviews.size(), 1);
  EXPECT_EQ(d.overviews[0].anchor, "d.o");
  EXPECT_EQ(Count(d.overviews[0].svg, "class=\"node\""), 3);
  EXPECT_EQ(Count(d.overviews[0].svg, "class=\"edge\""), 3);

  // Markdown links to the pages; the choice leaves out what it does not ask for.
  EXPECT_EQ(Count(*Draw(staff, DiagramChoice::All, LinkStyle::Files).TableSvg("d.o.emp"),
                  "xlink:href=\"d.o.dept.md\""),
            1);
  const Diagrams tables = Draw(staff, DiagramChoice::Tables);
  EXPECT_TRUE(tables.overviews.isEmpty());
  EXPECT_EQ(tables.tables, d.tables) << "the same model draws the same bytes";
  EXPECT_TRUE(Draw(staff, DiagramChoice::None).tables.empty());
}

// Each column's kinds of key are drawn on its line: a referenced table shows the unique
// key a foreign key references beside its primary key.
TEST(Diagrams, EachColumnsKindsAreOnItsLine) {
  TableObject codes = Table("O", "CODES", "ID");
  codes.columns.append({"CODE", "VARCHAR2", false, {}, {}});
  codes.constraints.append({"CODES_UK", ConstraintKind::Unique, {"CODE"}, {}, {}, {}, {}});
  TableObject t = Table("O", "T", "T_ID");
  AddKey(t, codes, "T_CODE_FK", "CODE_ID");
  t.constraints.last().referencedColumns = {"CODE"};
  DocumentModel m;
  m.tables = {t, codes};
  const Diagrams d = Draw(m, DiagramChoice::Tables);
  ASSERT_NE(d.TableSvg(t.anchor), nullptr);
  EXPECT_EQ(BoxLines(*d.TableSvg(t.anchor), "T"), (QStringList{"T", "PK|T_ID", "FK|CODE_ID"}));
  EXPECT_EQ(BoxLines(*d.TableSvg(t.anchor), "CODES"), (QStringList{"CODES", "PK|ID", "UK|CODE"}));
}

// What a drawing shows of its boxes and arrows: each box's border, widened by half its
// stroke, with its texts; each arrow's start and its head's points.
struct Shapes {
  struct Text {
    double x, y;
    QString anchor, fill, text;
    bool linked;  // inside the box's link
  };
  struct Box {
    double left = 0, top = 0, right = 0, bottom = 0, stroke = 1;
    QList<Text> texts;
  };
  QList<Box> boxes;
  QList<QList<QPointF>> arrows;  // the path's first point, then the head's points
};

Shapes ShapesOf(const std::string& svg) {
  static const QRegularExpression kPoint(QStringLiteral("(-?[0-9.]+),(-?[0-9.]+)"));
  const auto points = [](QStringView text) {
    QList<QPointF> list;
    for (const auto& m : kPoint.globalMatch(text))
      list.append({m.captured(1).toDouble(), m.captured(2).toDouble()});
    return list;
  };
  Shapes shapes;
  QXmlStreamReader xml(QByteArray::fromStdString(svg));
  QString part;
  int links = 0;
  while (!xml.atEnd()) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (xml.name() == u"a") links += token == QXmlStreamReader::StartElement ? 1 : token == QXmlStreamReader::EndElement ? -1 : 0;
    if (token != QXmlStreamReader::StartElement) continue;
    const QXmlStreamAttributes a = xml.attributes();
    if (xml.name() == u"g" && !a.value("class").isEmpty()) {
      part = a.value("class").toString();
      if (part == u"node") shapes.boxes.append(Shapes::Box{});
      if (part == u"edge") shapes.arrows.append(QList<QPointF>{});
    } else if (part == u"node" && xml.name() == u"text") {
      shapes.boxes.last().texts.append({a.value("x").toDouble(), a.value("y").toDouble(),
                                        a.value("text-anchor").toString(),
                                        a.value("fill").toString(), xml.readElementText(),
                                        links > 0});
    } else if (part == u"node" && xml.name() == u"polygon" && a.value("fill") == u"none") {
      Shapes::Box& box = shapes.boxes.last();
      const QList<QPointF> corners = points(a.value("points"));
      const double half = (a.hasAttribute("stroke-width") ? a.value("stroke-width").toDouble() : 1) / 2;
      box.stroke = 2 * half;
      box.left = corners[0].x() - half, box.right = corners[0].x() + half;
      box.top = corners[0].y() - half, box.bottom = corners[0].y() + half;
      for (const QPointF& c : corners) {
        box.left = std::min(box.left, c.x() - half), box.right = std::max(box.right, c.x() + half);
        box.top = std::min(box.top, c.y() - half), box.bottom = std::max(box.bottom, c.y() + half);
      }
    } else if (part == u"edge" && xml.name() == u"path") {
      shapes.arrows.last().append(points(a.value("d").mid(1)).first());
    } else if (part == u"edge" && xml.name() == u"polygon") {
      shapes.arrows.last() += points(a.value("points"));
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return shapes;
}

// How far `p` is from the nearest box's border.
double FromABorder(const Shapes& shapes, QPointF p) {
  double nearest = 1e9;
  for (const Shapes::Box& b : shapes.boxes) {
    const double dx = std::max({b.left - p.x(), 0.0, p.x() - b.right});
    const double dy = std::max({b.top - p.y(), 0.0, p.y() - b.bottom});
    const double outside = std::hypot(dx, dy);
    const double inside = std::min({p.x() - b.left, b.right - p.x(), p.y() - b.top, b.bottom - p.y()});
    nearest = std::min(nearest, outside > 0 ? outside : inside);
  }
  return nearest;
}

// The library lays each box out at the size the box is drawn: every arrow starts and ends on
// a border. In a table's box the name is centred on its header, the kinds of key and the
// columns' names each start at one place, the names past the widest kinds; the table the
// drawing is of has a thicker border. A box of what uses what shows the object's kind above
// its name, or, for several of a kind, how many above their names, each its own link.
TEST(Diagrams, ArrowsMeetTheBoxesAndEachBoxHoldsItsLinesAligned) {
  TableObject codes = Table("O", "CODES", "ID");
  TableObject t = Table("O", "T", "T_ID");
  AddKey(t, codes, "T_CODE_FK", "T_ID");
  t.columns.removeLast();  // T_ID is the primary key's column too
  t.constraints.append({"T_UK", ConstraintKind::Unique, {"T_ID"}, {}, {}, {}, {}});
  AddKey(t, t, "T_PARENT_FK", "A_RATHER_LONGER_PARENT_ID");
  DocumentModel m;
  m.tables = {t, codes};
  PackageObject p;
  p.key = {"D", "O", "PAY"};
  p.anchor = p.key.Anchor();
  p.dependencies.uses = {{{"D", "O", "CODES"}, "TABLE", codes.anchor, {}},
                         {{"D", "O", "T"}, "TABLE", t.anchor, {}}};
  p.dependencies.usedBy = {{{"D", "O", "RUN"}, "PROCEDURE", "d.o.run", {}}};
  m.packages = {p};
  const Diagrams d = Draw(m, DiagramChoice::Tables);
  ASSERT_NE(d.TableSvg(t.anchor), nullptr);
  ASSERT_NE(d.DependencySvg(p.anchor), nullptr);
  EXPECT_EQ(BoxLines(*d.TableSvg(t.anchor), "T"),
            (QStringList{"T", "PK FK UK|T_ID", "FK|A_RATHER_LONGER_PARENT_ID"}));
  EXPECT_EQ(BoxLines(*d.DependencySvg(p.anchor), "PAY"), (QStringList{"package", "PAY"}));
  EXPECT_EQ(BoxLines(*d.DependencySvg(p.anchor), "2 tables"),
            (QStringList{"2 tables", "CODES", "T"}));

  for (const std::string* svg : {d.TableSvg(t.anchor), d.DependencySvg(p.anchor)}) {
    const Shapes shapes = ShapesOf(*svg);
    ASSERT_FALSE(shapes.arrows.isEmpty());
    for (const QList<QPointF>& arrow : shapes.arrows) {
      ASSERT_GE(arrow.size(), 4);
      EXPECT_LT(FromABorder(shapes, arrow[0]), 0.8) << "the arrow's start";
      double tip = 1e9;
      for (qsizetype i = 1; i < arrow.size(); ++i) tip = std::min(tip, FromABorder(shapes, arrow[i]));
      EXPECT_LT(tip, 0.8) << "the arrow's head";
    }
    for (const Shapes::Box& box : shapes.boxes) {
      ASSERT_FALSE(box.texts.isEmpty());
      for (const Shapes::Text& text : box.texts) {
        const bool inside = text.y - 5 > box.top && text.y + 2 < box.bottom &&
                            text.x > box.left && text.x < box.right;
        EXPECT_TRUE(inside) << text.text.toStdString();
        EXPECT_EQ(text.linked, text.text != "2 tables") << text.text.toStdString();
      }
      const Shapes::Text& name = box.texts[box.texts.size() == 2 ? 1 : 0];
      if (box.texts.size() == 2) {
        EXPECT_GT(name.y, box.texts[0].y + 9) << "the name is below the kind";
      }
      EXPECT_EQ(name.anchor, "middle");
      EXPECT_NEAR(name.x, (box.left + box.right) / 2, 0.5);
    }
  }

  const Shapes table = ShapesOf(*d.TableSvg(t.anchor));
  ASSERT_EQ(table.boxes.size(), 2);
  EXPECT_EQ(table.boxes[0].stroke, 2) << "the table's own box";
  EXPECT_EQ(table.boxes[1].stroke, 1);
  const QList<Shapes::Text>& lines = table.boxes[0].texts;
  ASSERT_EQ(lines.size(), 5);  // the name, then each row's kinds and column
  EXPECT_EQ(lines[1].x, lines[3].x);
  EXPECT_EQ(lines[2].x, lines[4].x);
  EXPECT_NE(lines[1].fill, lines[2].fill) << "the kinds are grey";
  // "PK FK UK" measures 50 points at 11 points by Arial's widths.
  EXPECT_GT(lines[2].x, lines[1].x + 52) << "the names start past the widest kinds";
  // A_RATHER_LONGER_PARENT_ID measures 179.1 points; its padding and the border are beside it.
  EXPECT_GT(table.boxes[0].right, lines[4].x + 179.1 + 3 + 2 - 0.5);

  const Shapes usage = ShapesOf(*d.DependencySvg(p.anchor));
  ASSERT_EQ(usage.boxes.size(), 3) << "PAY, RUN and one box of both tables";
  ASSERT_EQ(usage.arrows.size(), 2);
  const auto groupBox =
      std::find_if(usage.boxes.cbegin(), usage.boxes.cend(),
                   [](const Shapes::Box& b) { return b.texts.first().text == "2 tables"; });
  ASSERT_NE(groupBox, usage.boxes.cend());
  const QList<Shapes::Text>& group = groupBox->texts;
  ASSERT_EQ(group.size(), 3);
  EXPECT_EQ(group[1].x, group[2].x);
  EXPECT_EQ(group[1].anchor, "start");
}

// The overview's limit is a count of tables: an owner at it is drawn, one past it is not.
TEST(Diagrams, AnOwnerPastTheLimitHasNoOverviewButItsTablesKeepTheirs) {
  DocumentModel m = Staff();
  for (int i = m.tables.size(); i <= kOverviewTableLimit; ++i)
    m.tables.append(Table("O", QStringLiteral("T%1").arg(i), "ID"));
  for (int i = 0; i < kOverviewTableLimit; ++i)
    m.tables.append(Table("OTHER", QStringLiteral("T%1").arg(i), "ID"));
  const Diagrams d = Draw(m, DiagramChoice::All);
  ASSERT_EQ(d.overviews.size(), 2);
  EXPECT_EQ(d.overviews[0].tables, kOverviewTableLimit + 1);
  EXPECT_TRUE(d.overviews[0].svg.empty());
  EXPECT_FALSE(d.overviews[1].svg.empty());
  EXPECT_EQ(d.tables.size(), 2u);
}

// 60 tables with 5 foreign keys each: their overview takes a quarter of a minute to lay out.
DocumentModel Crowded() {
  DocumentModel m;
  for (int i = 0; i < 60; ++i) m.tables.append(Table("O", QStringLiteral("T%1").arg(i), "ID"));
  for (int i = 0; i < 60; ++i)
    for (int k = 1; k <= 5; ++k)
      AddKey(m.tables[i], m.tables[(i * 7 + k * 13) % 60], QStringLiteral("FK%1_%2").arg(i).arg(k),
             QStringLiteral("C%1").arg(k));
  return m;
}

// Past the arrow limit a drawing is not tried; past the time limit it is given up, and the
// drawings after it are made by a new layout process. Either is a note in both formats.
TEST(Diagrams, ADrawingPastALimitBecomesANoteAndTheBuildGoesOn) {
  const DocumentModel crowded = Crowded();
  const struct {
    const char* name;
    DocumentModel model;
    DiagramLimits limits;
    QString overviewNote, tableNote;  // of the owner, and of the first table
  } cases[] = {
      {"arrows", Staff(), {10, 2},
       "No overview of D.O: its 3 foreign keys are more than the 2 a drawing can be laid out "
       "with in reasonable time.",
       "No diagram of D.O.EMP: its 3 foreign keys are more than the 2 a drawing can be laid "
       "out with in reasonable time."},
      {"time", crowded, {1, 10000},
       "No overview of D.O: laying it out took longer than 1 seconds.", ""},
  };
  const DiagramLimits defaults = CurrentDiagramLimits();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DocumentModel model = c.model;
    model.sections = {SectionKind::Tables};
    SetDiagramLimits(c.limits);
    const Diagrams d = Draw(c.model, DiagramChoice::All, LinkStyle::Files);
    SetDiagramLimits(defaults);
    ASSERT_EQ(d.overviews.size(), 1);
    EXPECT_TRUE(d.overviews[0].svg.empty());
    EXPECT_EQ(d.overviews[0].note, c.overviewNote);
    const QString first = c.model.tables[0].anchor;
    EXPECT_EQ(d.TableNote(first), c.tableNote);
    EXPECT_EQ(d.TableSvg(first) != nullptr, c.tableNote.isEmpty());

    TemplateSet markdown, modern;
    QString error;
    ASSERT_TRUE(markdown.Load(TemplateFormat::Markdown, {}, &error));
    ASSERT_TRUE(modern.Load(TemplateFormat::ModernHtml, {}, &error));
    const QList<OutputFile> files = RenderMarkdown(model, markdown, d);
    const std::string page = RenderModernHtml(model, modern, d);
    for (const QString& note : {c.overviewNote, c.tableNote}) {
      if (note.isEmpty()) continue;
      EXPECT_NE(page.find(note.toStdString()), std::string::npos) << note.toStdString();
      qsizetype found = 0;
      for (const OutputFile& f : files) found += f.bytes.count(note.toUtf8());
      EXPECT_EQ(found, 1) << note.toStdString();
    }
  }
}

// A unit or package that uses or is used by anything gets a drawing of it: an arrow from
// each user to what it uses, documented objects linked, another owner's named with it;
// several of one kind in one box that names the first ten; past the arrow limit a note.
// One that neither uses nor is used gets nothing.
TEST(Diagrams, UnitsAndPackagesShowWhatTheyUseAndWhatUsesThem) {
  DocumentModel model;
  model.sections = {SectionKind::Units, SectionKind::Packages};
  model.tables.append(Table("O", "EMP", "EMP_ID"));
  PackageObject p;
  p.key = {"D", "O", "PAY"};
  p.anchor = p.key.Anchor();
  p.found = true;
  p.dependencies.uses = {{{"D", "O", "EMP"}, "TABLE", model.tables[0].anchor, {}}};
  p.dependencies.usedBy = {{{"D", "X", "RUN"}, "PROCEDURE", {}, {}}};
  for (int i = 1; i <= 12; ++i) {
    const ObjectKey f{"D", i % 2 ? "O" : "X", QStringLiteral("F%1").arg(i, 2, 10, QChar('0'))};
    p.dependencies.usedBy.append({f, "FUNCTION", i == 3 ? QString() : f.Anchor(), {}});
  }
  model.packages = {p};
  UnitObject lone;
  lone.key = {"D", "O", "LONE"};
  lone.anchor = lone.key.Anchor();
  lone.type = "FUNCTION";
  UnitObject called = lone;  // used, using nothing
  called.key.name = "CALLED";
  called.anchor = called.key.Anchor();
  called.dependencies.usedBy = {{{"D", "O", "PAY"}, "PACKAGE", p.anchor, {}}};
  model.units = {lone, called};

  const Diagrams d = Draw(model, DiagramChoice::Tables);
  EXPECT_EQ(d.DependencySvg(lone.anchor), nullptr);
  EXPECT_NE(d.DependencySvg(called.anchor), nullptr);
  ASSERT_NE(d.DependencySvg(p.anchor), nullptr);
  const std::string& svg = *d.DependencySvg(p.anchor);
  EXPECT_EQ(Count(svg, "<title>X.RUN uses PAY</title>"), 1);
  EXPECT_EQ(Count(svg, "<title>PAY uses EMP</title>"), 1);
  EXPECT_EQ(Count(svg, "<title>12 functions use PAY</title>"), 1);
  EXPECT_EQ(Count(svg, "class=\"node\""), 4);
  EXPECT_EQ(BoxLines(svg, "12 functions"),
            (QStringList{"12 functions", "F01", "X.F02", "F03", "X.F04", "F05", "X.F06", "F07",
                         "X.F08", "F09", "X.F10", "and 2 more"}));
  EXPECT_EQ(Count(svg, "href=\"#d.o.emp\""), 1);
  EXPECT_EQ(Count(svg, "<a xlink:href=\"#d.x.f10\" xlink:title=\"function D.X.F10\">"), 1);
  // PAY, EMP and nine of the functions; X.RUN and F03 are not in the document.
  EXPECT_EQ(Count(svg, "href=\""), 11);

  TemplateSet markdown;
  QString error;
  ASSERT_TRUE(markdown.Load(TemplateFormat::Markdown, {}, &error));
  QStringList names;
  for (const OutputFile& f : RenderMarkdown(model, markdown, d)) names.append(f.name);
  EXPECT_TRUE(names.contains("d/o/d.o.pay.svg"));
  EXPECT_FALSE(names.contains("d/o/d.o.lone.svg"));

  const DiagramLimits defaults = CurrentDiagramLimits();
  SetDiagramLimits({10, 1});
  const Diagrams limited = Draw(model, DiagramChoice::Tables);
  SetDiagramLimits(defaults);
  EXPECT_EQ(limited.DependencyNote(p.anchor),
            "No diagram of D.O.PAY: its 3 arrows are more than the 1 a drawing can be laid "
            "out with in reasonable time.");
  EXPECT_TRUE(Draw(model, DiagramChoice::None).dependencies.empty());
}

// Names with markup, quotes, a line break and the library's own escapes ("\N" is the node's
// name in a label or tooltip) are drawn as they are, in SVG that parses. A screen reader
// reads each table's group by the table's name and each arrow's as what it says.
TEST(Diagrams, HostileNamesAreDrawnLiterallyInWellFormedSvg) {
  // Markup, the library's escapes, a line break, and letters of two, three and four bytes; and
  // each of the library's escapes, a line break and half a letter in a name with nothing else.
  const QString hostiles[] = {
      QStringLiteral("<b x=\"1\">&amp;'\\N\\G\n</svg>\u00c4\u20ac\U0001F600"),
      QStringLiteral("A\\N\\G"), QStringLiteral("A\nB"), QStringLiteral("A") + QChar(0xd800)};
  for (const QString& hostile : hostiles) {
    SCOPED_TRACE(hostile.toStdString());
    TableObject a = Table(hostile, hostile, hostile);
    TableObject b = Table("O", "B", "ID");
    AddKey(b, a, hostile + u'2', hostile + u'3');
    DocumentModel m;
    m.tables = {a, b};
    const Diagrams d = Draw(m, DiagramChoice::All);
    const QString shown =
        QString(hostile).replace(u'\n', QChar(0xfffd)).replace(QChar(0xd800), QChar(0xfffd));
    const QString full = QStringLiteral("D.") + shown + u'.' + shown;
    // B's diagram names A with its owner; A's owner's overview is titled by it.
    const std::pair<const std::string*, QString> drawings[] = {
        {d.TableSvg(b.anchor), shown + u'.' + shown},
        {&d.overviews[0].svg, QStringLiteral("The tables of D.") + shown}};
    for (const auto& [svg, text] : drawings) {
      ASSERT_NE(svg, nullptr);
      QXmlStreamReader xml(QByteArray::fromStdString(*svg));
      QStringList texts, titles;
      while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"text" || xml.name() == u"title") texts.append(xml.readElementText());
        if (xml.name() == u"a")
          titles.append(xml.attributes().value("http://www.w3.org/1999/xlink", "title").toString());
      }
      ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString() << "\n" << *svg;
      EXPECT_TRUE(texts.contains(text)) << texts.join(u'|').toStdString();
      EXPECT_TRUE(texts.contains(shown + u'3')) << "the arrow's label: " << texts.join(u'|').toStdString();
      EXPECT_TRUE(titles.contains(full)) << titles.join(u'|').toStdString();
    }
    const QString named = shown + u'.' + shown;
    const std::string* own = d.TableSvg(b.anchor);
    QXmlStreamReader xml(QByteArray::fromStdString(*own));
    QStringList groups;
    QString group;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      if (xml.name() == u"g") group = xml.attributes().value("class").toString();
      if (xml.name() == u"title" && group != u"graph") groups.append(group + u':' + xml.readElementText());
    }
    EXPECT_EQ(groups, (QStringList{QStringLiteral("node:B"), QStringLiteral("node:") + named,
                                   QStringLiteral("edge:B references ") + named +
                                       QStringLiteral(" by ") + shown + u'3'}));
  }
}

TEST(GraphLayout, ACrashOfTheLibraryFailsTheDrawingAndTheNextOneIsDrawn) {
  GraphLayout layout;
  LayoutGraph fine;
  fine.nodes = {{{{}, "A", false, {}}, "#a", {}, {}}, {{{}, "B", false, {}}, {}, {}, {}}};
  fine.edges = {{0, 1, {}, {}, {}}};
  std::string svg;
  QString error;
  ASSERT_EQ(layout.RenderSvg(fine, 10, &svg, &error), LayoutOutcome::Drawn) << error.toStdString();
  EXPECT_TRUE(svg.starts_with("<svg")) << svg;

  // The layout process, this thread's one child, ended as a crash of the library would end it.
  QFile children(QStringLiteral("/proc/self/task/%1/children").arg(gettid()));
  ASSERT_TRUE(children.open(QIODevice::ReadOnly));
  bool one = false;
  const int child = children.readAll().trimmed().toInt(&one);
  ASSERT_TRUE(one && child > 0);
  ASSERT_EQ(kill(child, SIGKILL), 0);
  EXPECT_EQ(layout.RenderSvg(fine, 10, &svg, &error), LayoutOutcome::Failed);
  EXPECT_EQ(error.toStdString(), "the layout process stopped unexpectedly (Killed)");
  ASSERT_EQ(layout.RenderSvg(fine, 10, &svg, &error), LayoutOutcome::Drawn) << error.toStdString();
}

// The layout process starts with a copy of what this process has not yet written to its
// standard output, and writes none of it: a console build's output comes once.
TEST(GraphLayout, TheLayoutProcessWritesNoneOfThisProcesssOutput) {
  const int status = childprocess::Run([] {
    std::fflush(stdout);
    FILE* file = std::tmpfile();
    if (!file || dup2(fileno(file), STDOUT_FILENO) < 0) return 2;
    std::fputs("pending", stdout);
    {
      GraphLayout layout;
      LayoutGraph graph;
      graph.nodes = {{{{}, "A", false, {}}, {}, {}, {}}};
      std::string svg;
      QString error;
      if (layout.RenderSvg(graph, 10, &svg, &error) != LayoutOutcome::Drawn) return 3;
    }
    std::fflush(stdout);
    char written[32] = {};
    std::rewind(file);
    std::fread(written, 1, sizeof written - 1, file);
    return std::string_view(written) == "pending" ? 0 : 1;
  });
  EXPECT_EQ(status, 0) << "the layout process wrote what this process had yet to write";
}

// A build killed while its layout process is busy leaves none running.
TEST(GraphLayout, TheLayoutProcessEndsWithItsParent) {
  const int status = childprocess::Run([] {
    // This child adopts what its child leaves behind, so it can wait for it.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const pid_t build = fork();
    if (build == 0) {
      SetDiagramLimits({60, 10000});  // the overview is drawn, which takes long
      RecordingProgress progress;
      Diagrams diagrams;
      QString error;
      DrawDiagrams(Crowded(), DiagramChoice::All, LinkStyle::Page, progress, &diagrams, &error);
      _exit(0);
    }
    // The layout process, once the build has started it and handed it the overview.
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(build));
    int layout = 0;
    for (int tries = 0; tries < 500 && layout <= 0; ++tries) {
      usleep(10000);
      if (children.open(QIODevice::ReadOnly)) layout = children.readAll().trimmed().toInt();
      children.close();
    }
    if (layout <= 0) return 2;
    usleep(300000);
    kill(build, SIGKILL);
    waitpid(build, nullptr, 0);
    for (int tries = 0; tries < 500; ++tries) {
      if (waitpid(layout, nullptr, WNOHANG) == layout) return 0;
      usleep(10000);
    }
    kill(layout, SIGKILL);
    return 1;
  });
  EXPECT_EQ(status, 0) << "the layout process outlived its parent";
}

}  // namespace
