#pragma once
// The Created and Updated texts of the Project page: the project file's birth time (where
// the file system records it, else its last-write time) and its last-write time, in local
// time as d/m/yyyy hh:mm:ss with the locale's date and time separators.

#include <QDateTime>
#include <QString>

#include "project/project.h"

// One time in that format.
QString FormatFileTime(const QDateTime& time);

// Fills Created and Updated from the file at `path`; does nothing when it is not found.
void ShowFileTimes(Project& project, const QString& path);
