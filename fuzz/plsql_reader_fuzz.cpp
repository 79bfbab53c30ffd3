// Feeds arbitrary text to the PL/SQL reader and checks what must hold whatever the source
// holds:
// - reading ends and never fails;
// - every unit's and declaration's lines lie within the text, first before last, and a
//   package's declarations within its unit, in source order;
// - no declaration has an empty name.

#include "fuzz_support.h"
#include "plsql/source_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  const int lines = int(text.count(u'\n')) + 1;
  for (const plsql::Unit& u : plsql::ParseSource(text)) {
    fuzz::Check(u.firstLine >= 1 && u.firstLine <= u.lastLine && u.lastLine <= lines,
                "a unit's lines lie within the text");
    int previous = u.firstLine;
    for (const plsql::Declaration& d : u.declarations) {
      fuzz::Check(!d.name.isEmpty(), "no declaration without a name");
      fuzz::Check(d.firstLine >= previous && d.firstLine <= d.lastLine && d.lastLine <= u.lastLine,
                  "declarations in order within their unit", d.name);
      previous = d.firstLine;
    }
  }
  return 0;
}
