#pragma once

#include <QTimer>
#include <memory>
#include <vector>

class OfficeProcess;

// Offices whose application has quit, kept running hidden and without
// documents for the next application of the same kind: starting an office
// costs a quarter to half a second, more than a whole document's work.
// A private office is taken for a new instance, the shared one (by its
// pipe) for attaching. Parked offices end once none has been parked for
// IDLE_MS, and with the program.
class OfficePool
{
public:
    OfficePool();

    std::shared_ptr<OfficeProcess> takeShared(const QString &pipeName);
    std::shared_ptr<OfficeProcess> takePrivate();
    // `office` has no documents open; an office that lost its connection is ended.
    void park(std::shared_ptr<OfficeProcess> office);
    void endAll();

private:
    std::shared_ptr<OfficeProcess> take(bool shared, const QString &pipeName);
    void endIdle();

    std::vector<std::shared_ptr<OfficeProcess>> m_parked;
    QTimer m_idle;
};
