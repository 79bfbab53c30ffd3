#pragma once
// Where the program finds the data it ships (the sample dictionary and project, the help
// pages): "share/vellumar" beside its own "bin" folder. The build tree is laid out like an
// installation, so the same relative path serves an installed program, one unpacked
// anywhere, and the build; no fixed path is compiled in.

#include <QString>

// <program dir>/<relative path to share/vellumar>, cleaned; empty without an application
// object (the program's own location is unknown then).
QString DataDirectory();

// The help pages: DataDirectory() + "/help".
QString HelpDirectory();
