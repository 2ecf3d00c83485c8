#include "InstanceLock.h"

#include <QDir>

#include <pwd.h>
#include <unistd.h>

QString InstanceLock::lockFilePath(const QString &key)
{
    // The system temporary directory is shared by all users, so a per-system
    // key finds other users' instances too; per-user keys differ by name.
    return QDir::temp().absoluteFilePath(QStringLiteral("covrel-%1.lock").arg(key));
}

QString InstanceLock::userName()
{
    if (const passwd *entry = getpwuid(getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(getuid());
}
