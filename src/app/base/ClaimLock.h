#pragma once

#include <QString>

// An exclusive lock on a lock file that the system lets go when its process
// ends in any way (kill -9 included), so a lock file that can be locked is
// one nobody live holds. Taking and giving it back costs no disk flush. One
// implementation per platform; the lock is not inherited by child programs.
class ClaimLock
{
public:
    explicit ClaimLock(const QString &lockFilePath);
    // Gives the lock back (see unlockAndRemove()).
    ~ClaimLock();

    // Creates the lock file when missing and locks it; false when another holder
    // (in this process too) has it or it cannot be made.
    bool tryLock();
    bool isLocked() const;
    // Removes the lock file, then lets the lock go.
    void unlockAndRemove();

private:
    Q_DISABLE_COPY(ClaimLock)

    QString m_path;
    int m_handle = -1;
};
