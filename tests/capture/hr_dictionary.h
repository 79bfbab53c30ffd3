#pragma once
// A made HR schema as Oracle's ALL_ views show it to HR, scripted into the stub client
// library, and a progress that records its steps.

#include <vector>

#include "classic/build_context.h"

namespace capturetest {

using Row = std::vector<const char*>;

// Records the progress: the info text of every step.
struct Steps : BuildProgress {
  void SetInfoText(const QString& text) override { info = text; }
  void StepProgress(int) override { done << info; }
  void SetProgress(int) override {}
  void SetProgressMax(int n) override { max = n; }
  QString info;
  QStringList done;
  int max = 0;
};

// A view's answer: its column names (the last `longs` of them LONG) and rows.
void Script(const char* sqlPart, const Row& names, const std::vector<Row>& rows, int longs = 0);

// Scripts every view a capture reads but the one whose select holds `skip`.
void ScriptHr(const char* skip = nullptr);

}  // namespace capturetest
