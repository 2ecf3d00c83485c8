#include "ClaimLock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

ClaimLock::ClaimLock(const QString &lockFilePath)
    : m_path(lockFilePath)
{ }

ClaimLock::~ClaimLock() { unlockAndRemove(); }

bool ClaimLock::tryLock()
{
    if (isLocked())
        return true;
    const QByteArray path = QFile::encodeName(m_path);
    // A holder that gives its lock back removes the file first: a lock taken on
    // a file that is no longer at the path is worth nothing, so try again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int handle = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (handle < 0)
            return false;
        if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
            ::close(handle);
            return false;
        }
        struct stat locked
        {
        };
        struct stat atPath
        {
        };
        if (::fstat(handle, &locked) == 0 && ::stat(path.constData(), &atPath) == 0 && locked.st_dev == atPath.st_dev
            && locked.st_ino == atPath.st_ino) {
            m_handle = handle;
            return true;
        }
        ::close(handle);
    }
    return false;
}

bool ClaimLock::isLocked() const { return m_handle >= 0; }

void ClaimLock::unlockAndRemove()
{
    if (!isLocked())
        return;
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_handle);
    m_handle = -1;
}
