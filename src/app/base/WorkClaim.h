#pragma once

#include "ClaimLock.h"

#include <QDir>
#include <QRegularExpression>
#include <QString>

// A work file or folder that lives only while its job runs, in a place others
// may share (the store's temporary folder, the user's output folder). The job
// claims it with a lock file beside it ("<item>.lock") before making it, and
// gives the claim back after removing it. The system lets the lock go with its
// process: after a crash or kill -9 the claim is stale and removeStale() takes
// the item away, while what a live process works on (another instance's too) stays.
class WorkClaim
{
public:
    explicit WorkClaim(const QString &itemPath);
    // Gives the claim back; the owner removes the item first.
    ~WorkClaim();

    // False when a live process holds the claim or the lock cannot be written.
    bool claim();
    void release();
    QString itemPath() const;

    enum class Unclaimed {
        Remove, // names only this system gives: an item without a claim is a leftover too
        Keep // names others may give: only an item with a stale claim is ours
    };
    // Removes from `dir` every item whose whole name matches `names` and that no
    // live process claims (see Unclaimed), and lock files left without their item.
    // Returns how many items went; each is logged.
    static int removeStale(const QDir &dir, const QRegularExpression &names, Unclaimed unclaimed);

private:
    Q_DISABLE_COPY(WorkClaim)

    QString m_itemPath;
    ClaimLock m_lock;
};
