#pragma once
// The relationship diagrams of the modern documents, drawn from the document model:
// - for each table with a foreign key to or from a documented table, its neighbourhood: the
//   table, the documented tables it references and those that reference it, with their key
//   columns, each foreign key one labelled arrow (a self-reference a loop);
// - for each database and owner, an overview of its documented tables and their foreign
//   keys, unless it has more than kOverviewTableLimit tables.
// - for each procedure, function and package that uses or is used by another object, what
//   it uses and what uses it, one step each way, an arrow from each user to what it uses.
// Every table in a drawing links to its own section (or Markdown page), as does every
// documented object in a drawing of what uses what.
//
// A drawing whose layout would take too long becomes a note and the build goes on: one
// with more arrows than DiagramLimits allows is not laid out at all, and one that takes
// longer than its time is given up.

#include <QList>
#include <QString>
#include <map>
#include <memory>
#include <string>

#include "model/document_model.h"
#include "model/object_links.h"
#include "settings/settings.h"

class BuildProgress;

// Past this many tables an overview is not drawn. The layout ranks tables from those that
// reference to those referenced; at 60 tables a rank holds a dozen or more boxes, so the
// drawing is already two to three screens wide at a readable 11-point size, and beyond that
// its arrows cross so often that it no longer answers "what references what". Each table's
// own diagram still answers it.
inline constexpr int kOverviewTableLimit = 60;

// What one drawing may cost. The layout's time grows far faster than its arrows: an
// overview of 60 tables with 10 foreign keys each took two minutes.
struct DiagramLimits {
  int seconds = 10;
  int arrows = 250;
};
const DiagramLimits& CurrentDiagramLimits();
// Tests lower the limits to reach them quickly.
void SetDiagramLimits(const DiagramLimits& limits);

struct OwnerOverview {
  QString database, owner;
  // AnchorPart(database) "." AnchorPart(owner): two parts, so never an object's anchor.
  QString anchor;
  int tables = 0;   // the owner's documented tables
  std::string svg;  // empty when there are more tables than kOverviewTableLimit
  QString note;     // why there is no drawing, when a limit of DiagramLimits stopped it
};

// A table's, unit's or package's own drawing, or why it has none; both empty: it has none.
struct ObjectDiagram {
  std::string svg;
  QString note;
};

// Where a rendering finds its drawings: all drawn up front (Diagrams), or each drawn as its
// object is rendered (DiagramPainter), so that a large document holds one at a time.
class DiagramSource {
 public:
  virtual ~DiagramSource() = default;
  virtual const QList<OwnerOverview>& Overviews() const = 0;
  // The drawing of the table `t` with its neighbours.
  virtual ObjectDiagram Table(const TableObject& t) const = 0;
  // The drawing of what the unit or package `key` (of `type`, at `anchor`) uses and what
  // uses it.
  virtual ObjectDiagram Usage(const ObjectKey& key, const QString& type, const QString& anchor,
                              const ModelDependencies& dependencies) const = 0;
};

struct Diagrams : DiagramSource {
  std::map<QString, std::string> tables;  // the <svg> of each table that has one, by anchor
  std::map<QString, QString> tableNotes;  // why a table has no drawing, by anchor
  QList<OwnerOverview> overviews;         // in the order the owners' first tables come
  // What uses what, for units and packages, by anchor; and why one has no drawing.
  std::map<QString, std::string> dependencies;
  std::map<QString, QString> dependencyNotes;

  const std::string* TableSvg(const QString& anchor) const;
  QString TableNote(const QString& anchor) const;
  const std::string* DependencySvg(const QString& anchor) const;
  QString DependencyNote(const QString& anchor) const;

  const QList<OwnerOverview>& Overviews() const override { return overviews; }
  ObjectDiagram Table(const TableObject& t) const override;
  ObjectDiagram Usage(const ObjectKey& key, const QString& type, const QString& anchor,
                      const ModelDependencies& dependencies) const override;
};

// A layout that failed while a document was rendered: "The diagram of DEMO.HR.EMPLOYEES
// can't be drawn: ...". The rendering stops and writes nothing.
struct DiagramFailure {
  QString reason;
};

// Draws each drawing when it is asked for, from `index`, which holds every table of the
// document with its keys (their columns suffice) and the foreign keys that reference it.
// The overviews are drawn by DrawOverviews, before the rendering that shows them. A layout
// that fails throws DiagramFailure.
class DiagramPainter : public DiagramSource {
 public:
  DiagramPainter(const DocumentModel& index, DiagramChoice choice, const Links& links,
                 BuildProgress& progress);
  ~DiagramPainter() override;

  // False with the reason when a layout fails.
  bool DrawOverviews(QString* error);

  const QList<OwnerOverview>& Overviews() const override { return overviews_; }
  ObjectDiagram Table(const TableObject& t) const override;
  ObjectDiagram Usage(const ObjectKey& key, const QString& type, const QString& anchor,
                      const ModelDependencies& dependencies) const override;

 private:
  struct State;
  std::unique_ptr<State> state_;
  QList<OwnerOverview> overviews_;
};

// Draws what `choice` asks for (a table's and a unit's or package's own drawings for
// Tables, the overviews too for All), linking as `links` makes links. False with the reason
// ("The diagram of DEMO.HR.EMPLOYEES can't be drawn: ...") when the layout fails.
bool DrawDiagrams(const DocumentModel& model, DiagramChoice choice, const Links& links,
                  BuildProgress& progress, Diagrams* diagrams, QString* error);

// A drawing as a file of its own (the Markdown folder's .svg files).
std::string SvgFile(const std::string& svg);
