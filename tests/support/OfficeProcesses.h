#pragma once

#include <QList>
#include <QString>

// The office suite's processes (soffice.bin) running on this machine, read
// from /proc: for tests and benchmarks that watch the offices the
// automation plugin starts, parks and ends.
namespace OfficeProcesses {

struct Office
{
    qint64 pid = 0;
    QString pipe; // from --accept=pipe,name=...
    QString profileUrl; // from -env:UserInstallation=...
};

QList<Office> all();
// Private offices: started by `parent`, directly or through the suite's launcher.
QList<Office> startedBy(qint64 parent);

} // namespace OfficeProcesses
