#pragma once
// How New and Save As turn the path chosen in the dialog into the project file name and the
// project's Name. ".vlm" is looked for without regard to case, anywhere in the path.

#include <QString>

// The path itself when it contains ".vlm" anywhere, else the path with ".vlm" appended.
QString ProjectFileNameFor(const QString& dialogPath);

// The path after its last separator, cut before its first ".vlm" when it has one.
QString ProjectNameFor(const QString& dialogPath);
