#pragma once

#include <QByteArray>
#include <QString>

// Real files for tests.
namespace TestFiles {

// Writes `bytes` to `path`, making the folders on the way. A file not written
// whole fails the running test case, and the function returns false.
bool writeFile(const QString &path, const QByteArray &bytes);
// The whole file; for a file that cannot be read a text saying so, so that a
// missing file never passes for an empty one.
QByteArray readFile(const QString &path);

} // namespace TestFiles
