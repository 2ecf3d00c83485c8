#pragma once

#include <QSet>
#include <QString>

// The drives present now. On Linux a drive is a mount point, read from the
// kernel's mount table; each is returned with a trailing slash.
class MountTable
{
public:
    static QString defaultSourcePath();
    static QSet<QString> read(const QString &sourcePath);
};
