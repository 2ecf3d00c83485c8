#pragma once

#include <QString>

// Where the single-instance lock of a key lives, and whose it is. One
// implementation per platform.
class InstanceLock
{
public:
    static QString lockFilePath(const QString &key);
    static QString userName();
};
