#pragma once
// A document built as the modern build streams it (the model an index, the objects read
// back from their temporary file, the drawings drawn as each is rendered) against the same
// document built from a model that holds every object: each format's bytes must agree.

#include <gtest/gtest.h>

#include <QList>
#include <QString>

#include "diagrams/diagrams.h"
#include "model/document_model_builder.h"
#include "modern/markdown.h"
#include "modern/modern_html.h"
#include "modern/object_stream.h"
#include "modern/site.h"
#include "modern/templates.h"
#include "support/build_fixture.h"

inline void ExpectStreamedAsWhole(BuildFixture& f) {
  const DocumentModel whole = BuildDocumentModel(f.project, f.settings, f.db, f.progress);
  for (const LinkStyle links : {LinkStyle::Page, LinkStyle::Files, LinkStyle::Site}) {
    SCOPED_TRACE(int(links));
    ObjectStream objects(links == LinkStyle::Site);
    QString error;
    ASSERT_TRUE(objects.Open(&error)) << error.toStdString();
    const DocumentModel index = BuildDocumentModel(f.project, f.settings, f.db, f.progress,
                                                   ModelScope::Document, &objects);
    ASSERT_TRUE(objects.Error().isEmpty());
    // The index holds no object's content: that waits in the temporary file.
    for (const TableObject& t : index.tables) {
      EXPECT_TRUE(t.description.isEmpty() && t.dictionaryComment.isEmpty());
      for (const ModelColumn& c : t.columns) EXPECT_TRUE(c.type.isEmpty() && c.comment.isEmpty());
      for (const ModelTrigger& tr : t.triggers) EXPECT_TRUE(tr.body.isEmpty());
    }
    for (const ViewObject& v : index.views) EXPECT_TRUE(v.text.isEmpty() && v.columns.isEmpty());
    for (const UnitObject& u : index.units) EXPECT_TRUE(u.source.isEmpty() && u.signatures.isEmpty());
    for (const PackageObject& p : index.packages) {
      EXPECT_TRUE(p.source.isEmpty());
      for (const MemberObject& m : p.members) EXPECT_TRUE(m.signatures.isEmpty());
    }
    Diagrams drawn;
    ASSERT_TRUE(DrawDiagrams(whole, DiagramChoice::All, links, f.progress, &drawn, &error))
        << error.toStdString();
    DiagramPainter painter(index, DiagramChoice::All, links, f.progress);
    ASSERT_TRUE(painter.DrawOverviews(&error)) << error.toStdString();

    TemplateSet templates;
    ASSERT_TRUE(templates.Load(links == LinkStyle::Files ? TemplateFormat::Markdown
                                                         : TemplateFormat::ModernHtml,
                               {}, &error))
        << error.toStdString();
    if (links == LinkStyle::Page) {
      std::string streamed;
      ASSERT_TRUE(RenderModernHtml(
          index, templates, painter,
          [&](std::string_view piece) {
            streamed += piece;
            return true;
          },
          &objects));
      EXPECT_EQ(streamed, RenderModernHtml(whole, templates, drawn));
      continue;
    }
    QList<OutputFile> streamed;
    const PutFile put = [&](const QString& name, const QByteArray& bytes) {
      streamed.append({name, bytes});
      return true;
    };
    const QList<OutputFile> expected = links == LinkStyle::Files
                                           ? RenderMarkdown(whole, templates, drawn)
                                           : RenderSite(whole, templates, drawn);
    ASSERT_TRUE(links == LinkStyle::Files
                    ? RenderMarkdown(index, templates, painter, put, &objects)
                    : RenderSite(index, templates, painter, put, &objects));
    ASSERT_EQ(streamed.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(streamed[i].name, expected[i].name);
      EXPECT_EQ(streamed[i].bytes.toStdString(), expected[i].bytes.toStdString())
          << expected[i].name.toStdString();
    }
  }
}
