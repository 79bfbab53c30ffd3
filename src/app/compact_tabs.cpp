#include "app/compact_tabs.h"

#include <QProxyStyle>
#include <QTabBar>
#include <QTabWidget>

namespace {

class CompactTabStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    const int value = QProxyStyle::pixelMetric(metric, option, widget);
    return metric == PM_TabBarTabHSpace ? value / 2 : value;
  }
};

}  // namespace

void MakeTabsCompact(QTabWidget* tabs) {
  auto* style = new CompactTabStyle;
  style->setParent(tabs);
  tabs->tabBar()->setStyle(style);
}
