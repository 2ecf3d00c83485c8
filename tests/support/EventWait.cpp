#include "EventWait.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    bool holds = condition();
    if (holds)
        return true;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        holds = condition();
        if (holds || deadline.hasExpired())
            loop.quit();
    });
    check.start(20);
    loop.exec();
    return holds;
}
