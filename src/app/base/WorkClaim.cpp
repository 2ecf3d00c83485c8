#include "WorkClaim.h"

#include <QDebug>
#include <QFileInfo>

namespace {

const QString LOCK_SUFFIX = QStringLiteral(".lock");

QString lockPathOf(const QString &itemPath) { return itemPath + LOCK_SUFFIX; }

bool removeItem(const QFileInfo &item)
{
    if (item.isDir() && !item.isSymLink())
        return QDir(item.absoluteFilePath()).removeRecursively();
    return QFile::remove(item.absoluteFilePath());
}

} // namespace

WorkClaim::WorkClaim(const QString &itemPath)
    : m_itemPath(itemPath)
    , m_lock(lockPathOf(itemPath))
{ }

WorkClaim::~WorkClaim() { release(); }

bool WorkClaim::claim() { return m_lock.tryLock(); }

void WorkClaim::release() { m_lock.unlockAndRemove(); }

QString WorkClaim::itemPath() const { return m_itemPath; }

int WorkClaim::removeStale(const QDir &dir, const QRegularExpression &names, Unclaimed unclaimed)
{
    const QRegularExpression whole(QRegularExpression::anchoredPattern(names.pattern()), names.patternOptions());
    int removed = 0;
    const QFileInfoList entries =
            dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const bool isLock = entry.fileName().endsWith(LOCK_SUFFIX);
        const QString itemName = isLock ? entry.fileName().chopped(LOCK_SUFFIX.size()) : entry.fileName();
        if (!whole.match(itemName).hasMatch())
            continue;
        const QString itemPath = dir.absoluteFilePath(itemName);
        const QFileInfo item(itemPath);
        // A lock is looked at for an item that is gone; the item's own turn covers the rest.
        if (isLock && (item.exists() || item.isSymLink()))
            continue;
        if (!isLock && unclaimed == Unclaimed::Keep && !QFileInfo::exists(lockPathOf(itemPath)))
            continue;
        WorkClaim claim(itemPath);
        if (!claim.claim())
            continue;
        if (!isLock) {
            if (!removeItem(item)) {
                qWarning().noquote() << QStringLiteral("[WorkClaim] Cannot remove stale work item %1").arg(itemPath);
                continue;
            }
            qInfo().noquote() << QStringLiteral("[WorkClaim] Removed stale work item %1").arg(itemPath);
            ++removed;
        }
    }
    return removed;
}
