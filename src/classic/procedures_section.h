#pragma once
// Section " Procedures and functions": per stand-alone unit a heading "TYPE NAME" and what
// the tagged comment block of its stored source describes, read on the entry's own
// connection.

#include <QString>

#include "classic/build_context.h"

// A unit's name and type cut from its entry's ObjectName ("GET_X (FUNCTION)"): the type
// stands between the first "(" and the ")" after it, the name in front of the "(" with
// the blank before it kept. Without a "(" the whole ObjectName is the name and the type is
// empty.
struct UnitName {
  QString name;
  QString type;

  static UnitName Of(QStringView objectName);
  // The heading text: type, a blank, name.
  QString Heading() const { return type + u' ' + name; }
};

void WriteProceduresSection(BuildContext& ctx, int& SectionNumber);
