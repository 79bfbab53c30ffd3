#include "model/package_members.h"

#include <QHash>
#include <QRegularExpression>

#include "settings/settings.h"
#include "text/ansi.h"

namespace {

// The subprogram a member block's heading names: the word right after its function or
// procedure keyword, upper case as the dictionary keeps unquoted names, a quoted name as
// written; empty when no name follows a keyword. A keyword inside a sentence ("the teardown
// procedures") gives a word no declaration has.
QString HeadingMemberName(const QString& heading, const Settings& settings) {
  const QString upper = ansi::UpperCase(heading);
  qsizetype at = -1;
  QString keyword;
  for (const QString& tag : {settings.Package_function, settings.Package_procedure}) {
    if (tag.isEmpty()) continue;
    const qsizetype found = upper.indexOf(ansi::UpperCase(tag));
    if (found >= 0 && (at < 0 || found < at)) {
      at = found;
      keyword = tag;
    }
  }
  if (at < 0) return {};
  static const QRegularExpression word(QStringLiteral(R"re(^\s*("[^"]+"|[\w$#]+))re"));
  const QRegularExpressionMatch m = word.match(heading.mid(at + keyword.size()));
  if (!m.hasMatch()) return {};
  const QString name = m.captured(1);
  return name.startsWith(u'"') ? name.mid(1, name.size() - 2) : ansi::UpperCase(name);
}

}  // namespace

PlacedMembers PlaceMembers(const QList<Signature>& declared, const QList<CommentBlock>& blocks,
                           const Settings& settings) {
  PlacedMembers placed;
  QHash<QString, qsizetype> byName;
  for (const Signature& s : declared) {
    auto it = byName.constFind(s.name);
    if (it == byName.cend()) {
      MemberObject m;
      m.name = s.name;
      m.type = s.returnType.isEmpty() ? QStringLiteral("PROCEDURE") : QStringLiteral("FUNCTION");
      it = byName.insert(s.name, placed.members.size());
      placed.members.append(std::move(m));
    }
    placed.members[*it].signatures.append(s);
  }
  for (CommentBlock block : blocks) {
    const QString name = HeadingMemberName(block.heading, settings);
    const auto it = name.isEmpty() ? byName.cend() : byName.constFind(name);
    if (it != byName.cend()) {
      placed.members[*it].blocks.append(std::move(block));
      continue;
    }
    if (!block.heading.isEmpty()) {
      block.description.insert(qBound<qsizetype>(0, block.headingAt, block.description.size()),
                               block.heading);
      block.heading.clear();
    }
    placed.textBlocks.append(std::move(block));
  }
  return placed;
}
