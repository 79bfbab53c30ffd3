#pragma once
// Labels that do not show their whole text, for windows whose texts must never be cut,
// whatever size the desktop's font gives them.

#include <QLabel>
#include <QStringList>

// The texts of the labels shown under `root` that are narrower or lower than their text
// needs (a word-wrapped one: lower than it needs at its width).
inline QStringList ClippedLabels(const QWidget* root) {
  QStringList clipped;
  for (const QLabel* label : root->findChildren<QLabel*>()) {
    if (!label->isVisibleTo(root) || label->text().isEmpty()) continue;
    const QSize needed = label->sizeHint();
    const bool cut = label->wordWrap()
                         ? label->heightForWidth(label->width()) > label->height()
                         : needed.width() > label->width() || needed.height() > label->height();
    if (cut) clipped << label->text();
  }
  return clipped;
}
