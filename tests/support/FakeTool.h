#pragma once

#include <QByteArray>
#include <QString>

// Stand-ins for the shell's tools (7-Zip, the converter, git, Java) for the
// faults the real ones cannot produce on demand: shell scripts the shell
// starts exactly as it starts the real executables. Every script records its
// process id in "<its path>.pid" first.
namespace FakeTool {

// Script bodies, to be combined with a test's own commands.
// Waits for ever (the process stays the one whose id was recorded).
extern const QByteArray HANG;
// Prints 128 MiB to each output channel, touches "<its path>.flooded", then
// keeps printing a line to each every 50 ms for ever.
extern const QByteArray ENDLESS_OUTPUT;
// Ends at once by a segmentation fault.
extern const QByteArray CRASH;
// Says why on standard error and ends with `exitCode`.
QByteArray failingExit(int exitCode);

// Writes an executable script at `path` (folders made) running `body` after
// recording its process id.
QString write(const QString &path, const QByteArray &body);
// The process id the script at `path` recorded; 0 while it has not run.
qint64 pid(const QString &path);
// True once the script at `path` finished its flood (ENDLESS_OUTPUT).
bool flooded(const QString &path);
// True when no process `pid` runs any more (a zombie no longer runs).
bool gone(qint64 pid);

} // namespace FakeTool
