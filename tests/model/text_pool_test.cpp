#include "model/text_pool.h"

#include <gtest/gtest.h>

#include <QList>

namespace {

// Each text made just before it is kept, so a block that moved as it grew would have its old
// place taken by the next texts, and the views into it would read them.
TEST(TextPoolTest, EveryKeptTextReadsAsItWasAfterManyMore) {
  TextPool pool;
  QList<QString> texts;
  QList<QStringView> kept;
  for (int i = 0; i < 3000; ++i) {
    texts.append(QString(i % 97 + 1, QChar(u'a' + i % 26)) + QString::number(i));
    if (i == 1500) texts.last() = QString(40000, u'x');  // more than a block holds
    kept.append(pool.Keep(texts.last()));
  }
  for (qsizetype i = 0; i < texts.size(); ++i) ASSERT_EQ(kept[i], texts[i]) << i;
}

}  // namespace
