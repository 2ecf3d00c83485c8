#include "OfficePool.h"

#include "OfficeProcess.h"

#include <QDebug>
#include <algorithm>

namespace {

// An office parked this long is ended; the next application starts one again.
const int IDLE_MS = 10 * 60 * 1000;
// Private offices kept at once: each holds 80-160 MiB.
const int MAX_PARKED_PRIVATE = 1;

int idleMs()
{
    // Tests lower the bound to watch parked offices end without waiting.
    static const int ms = qEnvironmentVariableIsSet("COVREL_OFFICE_IDLE_MS")
            ? qEnvironmentVariableIntValue("COVREL_OFFICE_IDLE_MS")
            : IDLE_MS;
    return ms;
}

} // namespace

OfficePool::OfficePool()
{
    m_idle.setSingleShot(true);
    QObject::connect(&m_idle, &QTimer::timeout, [this] { endIdle(); });
}

std::shared_ptr<OfficeProcess> OfficePool::takeShared(const QString &pipeName) { return take(true, pipeName); }

std::shared_ptr<OfficeProcess> OfficePool::takePrivate() { return take(false, QString()); }

std::shared_ptr<OfficeProcess> OfficePool::take(bool shared, const QString &pipeName)
{
    const auto found =
            std::find_if(m_parked.begin(), m_parked.end(), [&](const std::shared_ptr<OfficeProcess> &office) {
                return office->isShared() == shared && (!shared || office->pipeName() == pipeName);
            });
    if (found == m_parked.end())
        return nullptr;
    std::shared_ptr<OfficeProcess> office = *found;
    m_parked.erase(found);
    return office;
}

void OfficePool::park(std::shared_ptr<OfficeProcess> office)
{
    if (!office->isConnected()) {
        office->terminate();
        return;
    }
    if (!office->isShared()) {
        const auto privateCount =
                std::count_if(m_parked.cbegin(), m_parked.cend(),
                              [](const std::shared_ptr<OfficeProcess> &parked) { return !parked->isShared(); });
        if (privateCount >= MAX_PARKED_PRIVATE) {
            office->terminate();
            return;
        }
    }
    m_parked.push_back(std::move(office));
    m_idle.start(idleMs());
}

void OfficePool::endIdle()
{
    qDebug().noquote()
            << QStringLiteral("[Automation] Ending %1 office(s) idle for %2 ms").arg(m_parked.size()).arg(idleMs());
    endAll();
}

void OfficePool::endAll()
{
    m_idle.stop();
    std::vector<std::shared_ptr<OfficeProcess>> ending;
    ending.swap(m_parked);
    for (const std::shared_ptr<OfficeProcess> &office : ending)
        office->terminate();
}
