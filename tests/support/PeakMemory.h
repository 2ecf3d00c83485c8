#pragma once

#include <QtGlobal>

// The test process's peak resident memory from now on (Linux: the kernel's
// high-water mark, reset at construction), to show that output a child
// prints does not pile up in the shell. A peak catches a buffer freed again
// before the test looks.
class PeakMemory
{
public:
    PeakMemory();
    // Peak resident memory above what was resident at construction, in MiB.
    qint64 growthMiB() const;

private:
    static qint64 statusKiB(const char *field);
    qint64 m_startKiB;
};
