#include "classic/tables_section.h"

#include "db/column_type.h"
#include "db/database.h"
#include "db/index_expressions.h"
#include "project/project.h"

namespace {

// One table of the table entry: title, column titles, the fields it reads and its widths.
// The field "data_type" stands for the column's whole type (ColumnTypeText of the row); an
// index column that is a hidden one stands for its expression (index_expressions.h).
struct TableBlock {
  const char* title;
  QStringList columnTitles;
  QStringList fields;
  QList<int> htmlWidths;
  QList<int> textWidths;
  const char* indexColumnField = nullptr;
};

const QString kTypeField = QStringLiteral("data_type");
// The type text is padded like the names, to the width it has always had, and never cut.
constexpr int kTypeWidth = 14;

const TableBlock kColumns{"Columns",
                          {"Name", "Type", "Null?", "Description"},
                          {"kentta", kTypeField, "nulli", "kuvaus"},
                          {300, 150, 100, 0},
                          {30, 15, 15, 15}};
const TableBlock kPrimaryKeys{
    "Primary keys", {"Name", "Column"}, {"Nimi", "Sarake"}, {200, 300}, {30, 15}};
const TableBlock kForeignKeys{"Foreign keys",
                              {"Name", "From Column", "To Column"},
                              {"Nimi", "Lahtosarake", "Kohdesarake"},
                              {200, 250, 0},
                              {20, 30, 30}};
const TableBlock kIndexes{"Indexes", {"Name", "Column"}, {"Nimi", "sarake"}, {200, 300}, {20, 30},
                          "sarake"};

// An index column as the document shows it: a hidden column as its expression, DESC after a
// descending one.
QString IndexColumnText(const QString& column, const QHash<QString, IndexExpression>& hidden) {
  const auto it = hidden.constFind(column);
  if (it == hidden.constEnd()) return column;
  return it->descending ? it->text + QStringLiteral(" DESC") : it->text;
}

// Fills the scratch grid with the titles and every row of the open query, then renders it.
void WriteQueryTable(BuildContext& ctx, const TableBlock& block, Query& q,
                     const QHash<QString, IndexExpression>& hidden = {}) {
  Grid& grid = ctx.doc.TempGrid;
  for (int c = 0; c < block.columnTitles.size(); ++c) AddGridValue(grid, block.columnTitles[c], c + 1);
  for (; !q.Eof(); q.Next()) {
    for (int c = 0; c < block.fields.size(); ++c) {
      const QString& field = block.fields[c];
      AddGridValue(grid,
                   field == kTypeField ? PadText(ColumnTypeText(ColumnTypeOf(q)), kTypeWidth)
                   : block.indexColumnField && field == QLatin1String(block.indexColumnField)
                       ? IndexColumnText(q.Field(field), hidden)
                       : q.Field(field),
                   c + 1);
    }
  }
  q.Close();
  WriteGridTable(grid, ctx.doc, ctx.HtmlOutput ? block.htmlWidths : block.textWidths,
                 ctx.HtmlOutput);
}

// Primary keys, foreign keys and indexes: written only when the query returns rows. Only
// the primary key table is closed with "</P>" in HTML.
void WriteKeyBlock(BuildContext& ctx, const TableBlock& block, QueryId id, const QString& table,
                   bool closeParagraph) {
  Query& q = RunQuery(ctx.db, id, table);
  if (q.Eof()) {
    q.Close();
    return;
  }
  const QHash<QString, IndexExpression> hidden =
      block.indexColumnField ? ReadIndexExpressions(ctx.db, table)
                             : QHash<QString, IndexExpression>();
  WriteBlockTitle(ctx, QString::fromLatin1(block.title));
  if (ctx.HtmlOutput) ctx.doc.TempMemo.append(QStringLiteral("<P>"));
  WriteQueryTable(ctx, block, q, hidden);
  if (!ctx.HtmlOutput) {
    ctx.doc.TempMemo.append(QString());
  } else if (closeParagraph) {
    ctx.doc.TempMemo.append(QStringLiteral("</P>"));
  }
}

void WriteTableEntry(BuildContext& ctx, const ObjectEntry& entry) {
  const QString table = entry.ObjectName().toString();
  Query& synonyms = RunQuery(ctx.db, QueryId::OCISynonyms, table);
  const bool hasSynonym = !synonyms.Eof();
  const QString synonym = hasSynonym ? synonyms.Field(QStringLiteral("synonym_name")) : QString();
  synonyms.Close();

  if (hasSynonym) WriteTextBlock(ctx, QStringLiteral("Synonym"), synonym);
  if (!entry.Description().isEmpty()) {
    WriteTextBlock(ctx, QStringLiteral("Description"), entry.Description().toString());
  }

  WriteBlockTitle(ctx, QString::fromLatin1(kColumns.title));
  WriteQueryTable(ctx, kColumns, RunQuery(ctx.db, QueryId::OCITableFields, table));
  if (!ctx.HtmlOutput) ctx.doc.TempMemo.append(QString());

  WriteKeyBlock(ctx, kPrimaryKeys, QueryId::OCIPrimaryKeys, table, true);
  WriteKeyBlock(ctx, kForeignKeys, QueryId::OCIForeignKeys, table, false);
  WriteKeyBlock(ctx, kIndexes, QueryId::OCIIndexes, table, false);
}

}  // namespace

void WriteTablesSection(BuildContext& ctx, int& SectionNumber) {
  WriteObjectSection(ctx, SectionNumber, ObjectKind::Tables, QStringLiteral(" Tables"), true,
                     QStringLiteral("Building table: \r\n"), ObjectNameOf,
                     [&ctx](int, int, const ObjectEntry& entry) { WriteTableEntry(ctx, entry); });
}
