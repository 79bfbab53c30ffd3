// Our SVG renderer against the library's own: the same laid-out graph, rendered by both, gives
// the same elements with the same numbers, colours, links and texts.
#include "diagrams/svg_render.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>
#include <cmath>

namespace {

// One element as the reader sees it: its kind and what it says in words, and its numbers.
struct Element {
  QString words;
  QList<double> numbers;
};

// A colour as "#rrggbb" or "transparent"; a text without one is black.
QString Colour(QStringView name) {
  if (name.isEmpty() || name == u"black") return QStringLiteral("#000000");
  if (name == u"white") return QStringLiteral("#ffffff");
  return name.toString().toLower();
}

QList<Element> Elements(const std::string& svg) {
  static const QRegularExpression kNumber(QStringLiteral("-?[0-9]+(\\.[0-9]+)?"));
  QXmlStreamReader xml(QByteArray::fromStdString(svg));
  QList<Element> elements;
  QString family;  // the family a text without one of its own inherits
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const QXmlStreamAttributes attributes = xml.attributes();
    const auto a = [&](const char* attribute) {
      const QString xlink = QStringLiteral("http://www.w3.org/1999/xlink");
      return QString::fromLatin1(attribute).startsWith(u"xlink:")
                 ? attributes.value(xlink, QString::fromLatin1(attribute + 6)).toString()
                 : attributes.value(QString::fromLatin1(attribute)).toString();
    };
    const QString name = xml.name().toString();
    if (name == u"g" && !a("font-family").isEmpty()) family = a("font-family");
    Element e;
    QString numbers;
    if (name == u"svg") {
      numbers = QStringList{a("width"), a("height"), a("viewBox")}.join(u' ');
    } else if (name == u"g") {
      e.words = a("id") + u' ' + a("class");
    } else if (name == u"title") {
      e.words = xml.readElementText();
    } else if (name == u"a") {
      e.words = a("xlink:href") + u' ' + a("xlink:title");
    } else if (name == u"polygon" || name == u"path") {
      e.words = a("fill") == u"none" ? QStringLiteral("none") : Colour(a("fill"));
      e.words += u' ' + Colour(a("stroke"));
      const QString width = a("stroke-width");
      numbers = a(name == u"path" ? "d" : "points") + u' ' + (width.isEmpty() ? QStringLiteral("1") : width);
    } else if (name == u"text") {
      const QString own = a("font-family");
      e.words = QStringList{a("text-anchor"), a("font-weight"), own.isEmpty() ? family : own,
                            Colour(a("fill"))}
                    .join(u'|');
      numbers = QStringList{a("x"), a("y"), a("font-size")}.join(u' ');
      e.words += u'|' + xml.readElementText();
    } else {
      continue;
    }
    e.words.prepend(name + u':');
    for (const auto& m : kNumber.globalMatch(numbers)) e.numbers.append(m.captured().toDouble());
    elements.append(e);
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return elements;
}

// Two tables, as the drawings draw them: a bold name (with markup and two spaces, which SVG
// would collapse) on a coloured header, a row in a grey font, a thick border; a link with a
// tooltip; a labelled arrow with its own tooltip, and a loop.
constexpr char kGraph[] = R"(digraph "Two &amp; more" {
  id="diagram:t"; rankdir=LR; pad=0.1;
  node [shape=plain fontname="Helvetica,Arial,sans-serif" fontsize=11];
  edge [fontname="Helvetica,Arial,sans-serif" fontsize=9 color="#4a5b70" fontcolor="#33414f"];
  0 [href="#d.o.a" tooltip="D.O.A &lt;1&gt; \"x\"" label=<<TABLE BORDER="2" CELLBORDER="0"
     CELLSPACING="0" CELLPADDING="3" COLOR="#4a5b70"><TR><TD BGCOLOR="#a9c4e4"><B>A &amp;  B</B></TD>
     </TR><TR><TD ALIGN="LEFT"><FONT COLOR="#5d6b7a">PK</FONT> ID</TD></TR></TABLE>>];
  1 [label=<<TABLE BORDER="1" CELLBORDER="0"><TR><TD BGCOLOR="white">C</TD></TR></TABLE>>];
  0 -> 1 [label="C_ID" tooltip="A references C"];
  1 -> 1 [label="SELF"];
})";

TEST(SvgRender, SaysWhatTheLibrarysOwnRendererSays) {
  const char* const dir = GRAPHVIZ_PLUGIN_DIR;
  lt_symlist_t plugins[4] = {};
  const char* const names[][2] = {{"libgvplugin_dot_layout.so.6", "gvplugin_dot_layout_LTX_library"},
                                  {"libgvplugin_core.so.6", "gvplugin_core_LTX_library"}};
  for (int i = 0; i < 2; ++i) {
    void* library = dlopen((std::string(dir) + '/' + names[i][0]).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    plugins[i] = {names[i][1], dlsym(library, names[i][1])};
  }
  plugins[2] = SvgRenderPlugin();
  GVC_t* gvc = gvContextPlugins(plugins, 0);
  Agraph_t* g = agmemread(kGraph);
  ASSERT_NE(g, nullptr);
  ASSERT_EQ(gvLayout(gvc, g, "dot"), 0);
  char* data = nullptr;
  unsigned int length = 0;
  ASSERT_EQ(gvRenderData(gvc, g, "svg", &data, &length), 0);
  const std::string theirs(data, length);
  gvFreeRenderData(data);
  std::string ours;
  SetSvgOutput(&ours);
  ASSERT_EQ(gvRenderData(gvc, g, kSvgFormat, &data, &length), 0);
  SetSvgOutput(nullptr);
  gvFreeRenderData(data);
  gvFreeLayout(gvc, g);
  agclose(g);
  gvFreeContext(gvc);

  EXPECT_TRUE(ours.starts_with("<svg ")) << ours;
  EXPECT_LT(ours.size(), theirs.size());
  const QList<Element> expected = Elements(theirs), got = Elements(ours);
  ASSERT_EQ(got.size(), expected.size()) << ours << "\n" << theirs;
  for (qsizetype i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(expected[i].words.toStdString());
    EXPECT_EQ(got[i].words, expected[i].words);
    ASSERT_EQ(got[i].numbers.size(), expected[i].numbers.size());
    for (qsizetype k = 0; k < got[i].numbers.size(); ++k)
      EXPECT_NEAR(got[i].numbers[k], expected[i].numbers[k], 0.011) << k;
  }
}

}  // namespace
