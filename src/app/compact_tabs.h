#pragma once
// Tab bars with less padding around their captions, so that every tab of the fixed-size
// main window and Options dialog shows its whole caption without scroll arrows.

class QTabWidget;

void MakeTabsCompact(QTabWidget* tabs);
