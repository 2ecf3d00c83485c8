#include "PeakMemory.h"

#include <QFile>

PeakMemory::PeakMemory()
{
    // "5" resets the high-water mark to the current resident size.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    m_startKiB = statusKiB("VmRSS:");
}

qint64 PeakMemory::growthMiB() const { return (statusKiB("VmHWM:") - m_startKiB) / 1024; }

qint64 PeakMemory::statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}
