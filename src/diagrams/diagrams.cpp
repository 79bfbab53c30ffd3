#include "diagrams/diagrams.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <map>

#include "classic/build_context.h"
#include "diagrams/graph_layout.h"
#include "model/what_uses_what.h"

namespace {

DiagramLimits g_limits;

// One foreign key drawn as an arrow from the referencing table to the referenced one.
struct Arrow {
  const TableObject* from;
  const ModelConstraint* key;
  const TableObject* to;
};

class Drawing {
 public:
  Drawing(const Links& links, const QList<TableObject>& tables, const TableKeys& keys,
          const QHash<QString, qsizetype>& byAnchor)
      : links_(links), tables_(tables), keys_(keys), byAnchor_(byAnchor) {}

  // The document's table at `anchor` as the keys give it; null when none is there. It
  // stays until Forget.
  const TableObject* Table(const QString& anchor) const {
    const qsizetype i = byAnchor_.value(anchor, -1);
    return i < 0 ? nullptr : Shape(i);
  }
  const TableObject* Shape(qsizetype i) const {
    auto it = shapes_.find(i);
    if (it == shapes_.end()) it = shapes_.emplace(i, keys_.Shape(tables_, i)).first;
    return &it->second;
  }
  // Once a drawing is made: its tables are made again for the next.
  void Forget() const { shapes_.clear(); }

  // The foreign keys of `t` to documented tables, self-references included.
  QList<Arrow> KeysOf(const TableObject& t) const {
    QList<Arrow> arrows;
    for (const ModelConstraint& c : t.constraints) {
      if (c.kind != ConstraintKind::Foreign) continue;
      if (const TableObject* to = Table(c.referencedAnchor)) arrows.append({&t, &c, to});
    }
    return arrows;
  }

  // The foreign keys of other documented tables to `t`.
  QList<Arrow> KeysTo(const TableObject& t) const {
    QList<Arrow> arrows;
    for (const ModelReference& r : t.referencedBy) {
      const TableObject* from = Table(r.anchor);
      if (!from || from == &t) continue;
      for (const ModelConstraint& c : from->constraints)
        if (c.kind == ConstraintKind::Foreign && c.name == r.constraint) arrows.append({from, &c, &t});
    }
    return arrows;
  }

  // The graph: the tables in the order given (each once), then an arrow per key. A table's
  // box lists the columns `columns` names for it, in the table's order. Names of tables of
  // another owner than `owner` carry their owner.
  LayoutGraph Graph(const QString& id, const QString& title, const QString& owner,
                    const QList<const TableObject*>& order, const QList<Arrow>& arrows,
                    const QHash<const TableObject*, QSet<QString>>& columns,
                    const TableObject* centre) const {
    LayoutGraph g;
    g.id = id.toUtf8();
    g.title = title;
    QHash<const TableObject*, int> index;
    for (const TableObject* t : order) {
      if (index.contains(t)) continue;
      index.insert(t, int(g.nodes.size()));
      const QString name = t->key.owner == owner ? t->key.name : t->key.owner + u'.' + t->key.name;
      g.nodes.append({Box(*t, name, columns.value(t), t == centre),
                      ObjectHref(links_, t->anchor).toUtf8(), t->key.FullName(), name});
    }
    for (const Arrow& a : arrows) {
      const QString columnsText = a.key->columns.join(QStringLiteral(", "));
      const int from = index.value(a.from), to = index.value(a.to);
      g.edges.append(
          {from, to, LabelText(columnsText),
           QStringLiteral("%1: %2 (%3) references %4 (%5)")
               .arg(a.key->name, a.from->key.FullName(), columnsText, a.to->key.FullName(),
                    a.key->referencedColumns.join(QStringLiteral(", "))),
           QStringLiteral("%1 references %2 by %3")
               .arg(g.nodes[from].name, g.nodes[to].name, columnsText)});
    }
    return g;
  }

 private:
  // A table's box: its name, then the key columns asked for, each with its kinds of key
  // (PK, FK, UK), in the table's order.
  static LayoutBox Box(const TableObject& t, const QString& name, const QSet<QString>& wanted,
                       bool centre) {
    LayoutBox box{{}, name, centre, {}};
    for (const ModelColumn& column : t.columns) {
      if (!wanted.contains(column.name)) continue;
      QStringList kinds;
      auto mark = [&](ConstraintKind kind, const char* text) {
        for (const ModelConstraint& c : t.constraints) {
          if (c.kind == kind && c.columns.contains(column.name)) {
            kinds.append(QLatin1String(text));
            return;
          }
        }
      };
      mark(ConstraintKind::Primary, "PK");
      mark(ConstraintKind::Foreign, "FK");
      mark(ConstraintKind::Unique, "UK");
      box.rows.append({kinds.join(u' '), column.name, {}, {}});
    }
    return box;
  }

  Links links_;
  const QList<TableObject>& tables_;
  const TableKeys& keys_;
  const QHash<QString, qsizetype>& byAnchor_;
  mutable std::map<qsizetype, TableObject> shapes_;  // of the drawing being made
};

// The columns of a table's primary and unique keys.
QSet<QString> KeyColumns(const TableObject& t) {
  QSet<QString> columns;
  for (const ModelConstraint& c : t.constraints)
    if (c.kind == ConstraintKind::Primary || c.kind == ConstraintKind::Unique)
      columns.unite(QSet<QString>(c.columns.cbegin(), c.columns.cend()));
  return columns;
}

// The table, the tables it references and those that reference it; the primary and unique
// key columns of each, the columns the arrows use, and all of the table's own key columns.
LayoutGraph Neighbourhood(const Drawing& drawing, const TableObject& t) {
  const QList<Arrow> arrows = drawing.KeysOf(t) + drawing.KeysTo(t);
  QList<const TableObject*> order{&t};
  QHash<const TableObject*, QSet<QString>> columns;
  columns[&t] = KeyColumns(t);
  for (const ModelConstraint& c : t.constraints)
    if (c.kind == ConstraintKind::Foreign) columns[&t].unite(QSet<QString>(c.columns.cbegin(), c.columns.cend()));
  for (const Arrow& a : arrows) {
    for (const TableObject* end : {a.from, a.to}) {
      if (!columns.contains(end)) columns[end] = KeyColumns(*end);
      order.append(end);
    }
    columns[a.from].unite(QSet<QString>(a.key->columns.cbegin(), a.key->columns.cend()));
    columns[a.to].unite(
        QSet<QString>(a.key->referencedColumns.cbegin(), a.key->referencedColumns.cend()));
  }
  return drawing.Graph(QStringLiteral("diagram:") + t.anchor,
                       QStringLiteral("%1 and its neighbours").arg(t.key.FullName()), t.key.owner,
                       order, arrows, columns, &t);
}

// An owner's tables by name and every foreign key among them or to or from a documented
// table of another owner (that table drawn too).
LayoutGraph Overview(const Drawing& drawing, const OwnerOverview& owner,
                     const QList<const TableObject*>& tables) {
  QList<Arrow> arrows;
  for (const TableObject* t : tables) arrows += drawing.KeysOf(*t);
  for (const TableObject* t : tables)
    for (const Arrow& a : drawing.KeysTo(*t))
      if (a.from->key.database != owner.database || a.from->key.owner != owner.owner) arrows.append(a);
  QList<const TableObject*> order = tables;
  for (const Arrow& a : arrows) order << a.from << a.to;
  return drawing.Graph(QStringLiteral("diagram:") + owner.anchor,
                       QStringLiteral("The tables of %1.%2").arg(owner.database, owner.owner),
                       owner.owner, order, arrows, {}, nullptr);
}

// A box of several objects of one kind lists this many, then says how many more there are:
// the lists beside the drawing name every one.
constexpr qsizetype kGroupRows = 10;

// The object in the middle, what uses it on one side, what it uses on the other: an arrow
// from each user to what it uses. Several objects of one kind on a side share one box, a row
// and a link each, with one arrow: a function that ten triggers call is drawn with two
// boxes, not eleven, which keeps the drawing short and its layout cheap. Names of another
// owner than the object's carry their owner.
LayoutGraph UsageGraph(const Links& links, const ObjectKey& key, const QString& type,
                       const QString& anchor, const ModelDependencies& d) {
  LayoutGraph g;
  g.id = (QStringLiteral("uses:") + anchor).toUtf8();
  g.title = QStringLiteral("What %1 uses and what uses it").arg(key.FullName());
  g.nodes.append({LayoutBox{type.toLower(), key.name, true, {}}, ObjectHref(links, anchor).toUtf8(),
                  key.FullName(), key.name});
  const auto nameOf = [&](const ModelDependency& dep) {
    return dep.object.owner == key.owner ? dep.object.name
                                         : dep.object.owner + u'.' + dep.object.name;
  };
  const auto tooltipOf = [](const ModelDependency& dep) {
    return dep.type.toLower() + u' ' + dep.object.FullName();
  };
  // The node of the objects of one kind in [first, last) of `list`.
  const auto node = [&](const QList<ModelDependency>& list, qsizetype first, qsizetype last) {
    const ModelDependency& dep = list[first];
    if (last - first == 1) {
      g.nodes.append({LayoutBox{dep.type.toLower(), nameOf(dep), false, {}},
                      DependencyHref(links, dep).toUtf8(), tooltipOf(dep), nameOf(dep)});
    } else {
      const QString kind = DependencyKindTitle(dep.type).toLower();
      LayoutBox box{{}, QStringLiteral("%1 %2").arg(last - first).arg(kind), false, {}};
      for (qsizetype i = first; i < std::min(last, first + kGroupRows); ++i)
        box.rows.append({{}, nameOf(list[i]), DependencyHref(links, list[i]).toUtf8(),
                         tooltipOf(list[i])});
      if (last - first > kGroupRows)
        box.rows.append({{}, QStringLiteral("and %1 more").arg(last - first - kGroupRows), {}, {}});
      g.nodes.append({box, {}, {}, box.name});
    }
    return int(g.nodes.size() - 1);
  };
  const auto edge = [&](int from, int to, bool several) {
    const QString text = (several ? QStringLiteral("%1 use %2") : QStringLiteral("%1 uses %2"))
                             .arg(g.nodes[from].name, g.nodes[to].name);
    g.edges.append({from, to, {}, text, text});
  };
  // Each run of one kind in `list` (the model keeps a kind's objects together).
  const auto kinds = [](const QList<ModelDependency>& list, const auto& each) {
    for (qsizetype first = 0; first < list.size();) {
      qsizetype last = first + 1;
      while (last < list.size() && list[last].type == list[first].type) ++last;
      each(first, last);
      first = last;
    }
  };
  kinds(d.usedBy, [&](qsizetype first, qsizetype last) {
    edge(node(d.usedBy, first, last), 0, last - first > 1);
  });
  kinds(d.uses,
        [&](qsizetype first, qsizetype last) { edge(0, node(d.uses, first, last), false); });
  return g;
}

// Draws `graph` into *svg, or, past a limit, says why not in *note ("No diagram of NAME: ...",
// `what` being "diagram" or "overview"). False with the reason when the layout fails.
bool Draw(GraphLayout& layout, const LayoutGraph& graph, const QString& what, const QString& name,
          BuildProgress& progress, std::string* svg, QString* note, QString* error,
          const char* arrows = "foreign keys") {
  progress.SetInfoText(QStringLiteral("Drawing diagram: \r\n") + name);
  progress.StepProgress(0);
  if (graph.edges.size() > g_limits.arrows) {
    *note = QStringLiteral("No %1 of %2: its %3 %4 are more than the %5 a drawing can "
                           "be laid out with in reasonable time.")
                .arg(what, name)
                .arg(graph.edges.size())
                .arg(QLatin1String(arrows))
                .arg(g_limits.arrows);
    return true;
  }
  QString reason;
  switch (layout.RenderSvg(graph, g_limits.seconds, svg, &reason)) {
    case LayoutOutcome::Drawn:
      return true;
    case LayoutOutcome::TooSlow:
      *note = QStringLiteral("No %1 of %2: laying it out took longer than %3 seconds.")
                  .arg(what, name)
                  .arg(g_limits.seconds);
      return true;
    case LayoutOutcome::Failed:
      break;
  }
  *error = QStringLiteral("The diagram of %1 can't be drawn: %2").arg(name, reason);
  return false;
}

}  // namespace

const DiagramLimits& CurrentDiagramLimits() { return g_limits; }

void SetDiagramLimits(const DiagramLimits& limits) { g_limits = limits; }

const std::string* Diagrams::TableSvg(const QString& anchor) const {
  const auto it = tables.find(anchor);
  return it == tables.end() ? nullptr : &it->second;
}

QString Diagrams::TableNote(const QString& anchor) const {
  const auto it = tableNotes.find(anchor);
  return it == tableNotes.end() ? QString() : it->second;
}

const std::string* Diagrams::DependencySvg(const QString& anchor) const {
  const auto it = dependencies.find(anchor);
  return it == dependencies.end() ? nullptr : &it->second;
}

QString Diagrams::DependencyNote(const QString& anchor) const {
  const auto it = dependencyNotes.find(anchor);
  return it == dependencyNotes.end() ? QString() : it->second;
}

ObjectDiagram Diagrams::Table(const TableObject& t) const {
  const std::string* svg = TableSvg(t.anchor);
  return {svg ? *svg : std::string(), TableNote(t.anchor)};
}

ObjectDiagram Diagrams::Usage(const ObjectKey&, const QString&, const QString& anchor,
                              const ModelDependencies&) const {
  const std::string* svg = DependencySvg(anchor);
  return {svg ? *svg : std::string(), DependencyNote(anchor)};
}

// The model's table keys; a model made by hand has none, and they are made here from its
// full tables.
const TableKeys& KeysOf(const DocumentModel& model, TableKeys& made) {
  if (model.tableKeys.Size() == model.tables.size()) return model.tableKeys;
  for (const TableObject& t : model.tables) made.Add(t);
  made.Link(model.tables);
  return made;
}

struct DiagramPainter::State {
  State(const DocumentModel& index, DiagramChoice choice, const Links& links,
        BuildProgress& progress)
      : index(index),
        choice(choice),
        links(links),
        progress(progress),
        drawing(links, index.tables, KeysOf(index, madeKeys), byAnchor) {
    for (qsizetype i = 0; i < index.tables.size(); ++i) byAnchor.insert(index.tables[i].anchor, i);
  }

  // Draws `graph`, or throws DiagramFailure.
  ObjectDiagram Drawn(const LayoutGraph& graph, const QString& name, const char* arrows) {
    ObjectDiagram d;
    QString error;
    if (!Draw(layout, graph, QStringLiteral("diagram"), name, progress, &d.svg, &d.note, &error,
              arrows))
      throw DiagramFailure{error};
    return d;
  }

  const DocumentModel& index;
  DiagramChoice choice;
  Links links;
  BuildProgress& progress;
  TableKeys madeKeys;
  QHash<QString, qsizetype> byAnchor;
  const Drawing drawing;
  GraphLayout layout;
};

DiagramPainter::DiagramPainter(const DocumentModel& index, DiagramChoice choice,
                               const Links& links, BuildProgress& progress)
    : state_(std::make_unique<State>(index, choice, links, progress)) {}

DiagramPainter::~DiagramPainter() = default;

bool DiagramPainter::DrawOverviews(QString* error) {
  overviews_.clear();
  if (state_->choice != DiagramChoice::All) return true;
  QList<QList<qsizetype>> groups;  // positions in the index's tables
  QHash<QString, qsizetype> groupOf;
  const QList<TableObject>& tables = state_->index.tables;
  for (qsizetype n = 0; n < tables.size(); ++n) {
    const TableObject& t = tables[n];
    const QString anchor = AnchorPart(t.key.database) + u'.' + AnchorPart(t.key.owner);
    const qsizetype at = groupOf.value(anchor, groups.size());
    if (at == groups.size()) {
      groupOf.insert(anchor, at);
      overviews_.append(OwnerOverview{t.key.database, t.key.owner, anchor, 0, {}, {}});
      groups.emplace_back();
    }
    ++overviews_[at].tables;
    groups[at].append(n);
  }
  const Drawing& drawing = state_->drawing;
  for (qsizetype i = 0; i < groups.size(); ++i) {
    OwnerOverview& o = overviews_[i];
    if (o.tables > kOverviewTableLimit) continue;
    QList<const TableObject*> shapes;
    for (const qsizetype n : groups[i]) shapes.append(drawing.Shape(n));
    const bool drawn = Draw(state_->layout, Overview(drawing, o, shapes), QStringLiteral("overview"),
                            o.database + u'.' + o.owner, state_->progress, &o.svg, &o.note, error);
    drawing.Forget();
    if (!drawn) return false;
  }
  return true;
}

ObjectDiagram DiagramPainter::Table(const TableObject& t) const {
  if (state_->choice == DiagramChoice::None) return {};
  // The index's keys have the references to the table; the object may not.
  const Drawing& drawing = state_->drawing;
  const TableObject* found = drawing.Table(t.anchor);
  const TableObject& shape = found ? *found : t;
  ObjectDiagram d;
  if (!drawing.KeysOf(shape).isEmpty() || !drawing.KeysTo(shape).isEmpty())
    d = state_->Drawn(Neighbourhood(drawing, shape), t.key.FullName(), "foreign keys");
  drawing.Forget();
  return d;
}

ObjectDiagram DiagramPainter::Usage(const ObjectKey& key, const QString& type,
                                    const QString& anchor,
                                    const ModelDependencies& dependencies) const {
  if (state_->choice == DiagramChoice::None) return {};
  if (dependencies.uses.isEmpty() && dependencies.usedBy.isEmpty()) return {};
  return state_->Drawn(UsageGraph(state_->links, key, type, anchor, dependencies),
                       key.FullName(), "arrows");
}

bool DrawDiagrams(const DocumentModel& model, DiagramChoice choice, const Links& links,
                  BuildProgress& progress, Diagrams* diagrams, QString* error) {
  *diagrams = {};
  if (choice == DiagramChoice::None) return true;
  DiagramPainter painter(model, choice, links, progress);
  const auto keep = [](ObjectDiagram d, const QString& anchor, std::map<QString, std::string>& svgs,
                       std::map<QString, QString>& notes) {
    if (!d.svg.empty()) svgs[anchor] = std::move(d.svg);
    if (!d.note.isEmpty()) notes[anchor] = d.note;
  };
  try {
    for (const UnitObject& u : model.units)
      keep(painter.Usage(u.key, u.type, u.anchor, u.dependencies), u.anchor,
           diagrams->dependencies, diagrams->dependencyNotes);
    for (const PackageObject& p : model.packages)
      keep(painter.Usage(p.key, QStringLiteral("PACKAGE"), p.anchor, p.dependencies), p.anchor,
           diagrams->dependencies, diagrams->dependencyNotes);
    if (!painter.DrawOverviews(error)) return false;
    diagrams->overviews = painter.Overviews();
    for (const TableObject& t : model.tables)
      keep(painter.Table(t), t.anchor, diagrams->tables, diagrams->tableNotes);
  } catch (const DiagramFailure& failure) {
    *error = failure.reason;
    return false;
  }
  return true;
}

std::string SvgFile(const std::string& svg) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n" + svg;
}
