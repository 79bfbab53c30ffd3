#pragma once
// vellumar-build --capture: the command-line side of the dictionary capture (the capture
// itself is capture/dictionary_capture.h). Here: the passwords and
// the console.

#include <QString>
#include <QStringList>
#include <optional>

// Reads a password: from the environment variable `variable` when it is set, else one line
// of standard input, after `prompt` on standard error and without echo when it is a
// terminal. None when standard input ends first.
std::optional<QString> ReadPassword(const char* variable, const char* prompt);

// Captures CONNECTION's dictionary into `out`. Exit status: 0 written, 1 failed, 2 usage.
int RunCapture(const QString& connection, const QString& out, const QStringList& owners,
               bool snapshotPassword);
