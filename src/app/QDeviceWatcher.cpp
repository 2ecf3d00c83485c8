#include "QDeviceWatcher.h"

#include "MountTable.h"

#include <QTimer>

namespace {
const int kPollIntervalMs = 1000;
}

QDeviceWatcher::QDeviceWatcher(QObject *parent)
    : QObject(parent)
    , m_sourcePath(MountTable::defaultSourcePath())
{ }

void QDeviceWatcher::appendEventReceiver(QObject *receiver)
{
    // Receivers are kept for parity with the watcher's event interface; the
    // window acts on the signals only.
    m_receivers.append(receiver);
}

bool QDeviceWatcher::start()
{
    m_known = MountTable::read(m_sourcePath);
    if (!m_timer) {
        m_timer = new QTimer(this);
        connect(m_timer, &QTimer::timeout, this, &QDeviceWatcher::rescan);
    }
    m_timer->start(kPollIntervalMs);
    return true;
}

void QDeviceWatcher::stop()
{
    if (m_timer)
        m_timer->stop();
}

void QDeviceWatcher::setSourcePath(const QString &path)
{
    m_sourcePath = path;
    m_known = MountTable::read(m_sourcePath);
}

void QDeviceWatcher::rescan()
{
    const QSet<QString> now = MountTable::read(m_sourcePath);
    const QSet<QString> removed = QSet<QString>(m_known).subtract(now);
    const QSet<QString> added = QSet<QString>(now).subtract(m_known);
    m_known = now;
    for (const QString &dev : removed)
        emit deviceRemoved(dev);
    for (const QString &dev : added)
        emit deviceAdded(dev);
}
