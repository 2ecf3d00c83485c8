#include "SingleApplication.h"

#include "ExecutableLocation.h"
#include "InstanceLock.h"

#include <QCryptographicHash>
#include <QLockFile>

#include <cstdlib>

SingleApplication::SingleApplication(int &argc, char *argv[], bool allowSecondary, Options options, int timeout,
                                     const QString &userData)
    : QApplication(argc, argv)
{
    Q_UNUSED(userData)
    m_lock.reset(new QLockFile(InstanceLock::lockFilePath(instanceKey(options))));
    // A lock left by a killed instance names a process that no longer runs:
    // QLockFile treats it as stale and takes it over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(timeout))
        return;
    if (allowSecondary)
        return;
    std::exit(0);
}

SingleApplication::~SingleApplication()
{
    if (m_lock)
        m_lock->unlock();
}

QString SingleApplication::instanceKey(Options options)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(applicationName().toUtf8());
    if (!options.testFlag(ExcludeAppVersion))
        hash.addData(applicationVersion().toUtf8());
    if (!options.testFlag(ExcludeAppPath))
        hash.addData(ExecutableLocation::filePath().toUtf8());
    if (options.testFlag(User) || !options.testFlag(System))
        hash.addData(InstanceLock::userName().toUtf8());
    return QString::fromLatin1(hash.result().toHex().left(24));
}
