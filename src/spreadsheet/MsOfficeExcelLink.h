#pragma once

#include <QObject>
#include <QString>

class AutomationObject;

namespace MsOfficeExcel {

// The state of one link to the spreadsheet application, shared by every
// object reached through it. A call that reports the server gone (it died,
// or did not answer within the automation backend's bound) marks the link
// lost: from then on nothing more is sent through it, so each operation
// answers its empty result at once instead of waiting on a dead server
// again, and the next start makes a fresh link.
class Link : public QObject
{
    Q_OBJECT
public:
    explicit Link(QObject *parent);

    bool isLost() const;
    // Notices the object's failures; every object of the link goes through here.
    void watch(AutomationObject *object);

    // The description of the last failure noticed since the last take; empty when none.
    QString takeLastError();

public slots:
    void onException(int code, const QString &source, const QString &desc, const QString &help);

private:
    bool m_lost = false;
    QString m_lastError;
};

} // namespace MsOfficeExcel
