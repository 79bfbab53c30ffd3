#pragma once
// Test isolation and shared helpers.
//
// Every test process runs with HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_CACHE_HOME
// pointing into one temporary directory (set up by the test main before anything else), so
// settings, histories and defaults never touch the real user's files.

#include <QByteArray>
#include <QString>

namespace testenv {

// Sets up the isolated environment; called once by the test mains.
void Isolate();

// The isolated home directory of this test process.
QString Home();

// Reads a whole file as bytes; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);

// Writes bytes to a file, creating or replacing it; fails the test when it cannot.
void WriteBytes(const QString& path, const QByteArray& bytes);

// The repository's root (for bundled data such as the sample dictionary).
QString SourceDir();

}  // namespace testenv
