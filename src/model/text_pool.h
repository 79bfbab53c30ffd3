#pragma once
// Short texts kept one after another in a few large blocks, each seen through a QStringView
// that stays valid while the pool lives (a block is never moved or grown past what it
// reserved). For the tens of thousands of names and anchors a large document's reading
// gathers and keeps to its end: as strings of their own, each with its own header and
// allocation, they held 3 MiB more at the peak of a web site of 30,000 objects.

#include <QString>
#include <QStringView>
#include <algorithm>
#include <vector>

class TextPool {
 public:
  TextPool() = default;
  // A copy would share the blocks and part from them at its next Keep: only moves.
  TextPool(const TextPool&) = delete;
  TextPool& operator=(const TextPool&) = delete;
  TextPool(TextPool&&) = default;
  TextPool& operator=(TextPool&&) = default;

  // A copy of `text` in the pool.
  QStringView Keep(QStringView text) {
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < text.size()) {
      blocks_.emplace_back();
      blocks_.back().reserve(std::max<qsizetype>(kBlock, text.size()));
    }
    QString& block = blocks_.back();
    const qsizetype at = block.size();
    block.append(text);
    return QStringView(block).mid(at, text.size());
  }

 private:
  static constexpr qsizetype kBlock = 16 * 1024;  // characters
  std::vector<QString> blocks_;
};
