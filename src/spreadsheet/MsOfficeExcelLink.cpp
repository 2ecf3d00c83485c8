#include "MsOfficeExcelLink.h"

#include "AutomationFaults.h"
#include "AutomationObject.h"

#include <QDebug>

namespace MsOfficeExcel {

Link::Link(QObject *parent)
    : QObject(parent)
{ }

bool Link::isLost() const { return m_lost; }

void Link::watch(AutomationObject *object)
{
    if (object)
        connect(object, &AutomationObject::exception, this, &Link::onException);
}

QString Link::takeLastError()
{
    const QString error = m_lastError;
    m_lastError.clear();
    return error;
}

void Link::onException(int code, const QString &source, const QString &desc, const QString &help)
{
    Q_UNUSED(help)
    m_lastError = desc.isEmpty() ? source : desc;
    if (m_lost || !AutomationFaults::isServerLost(code))
        return;
    m_lost = true;
    qDebug().noquote() << QStringLiteral("[MsOfficeExcel::Link] Связь с Excel потеряна (код %1): %2. "
                                         "Следующий вызов запустит Excel заново")
                                  .arg(code)
                                  .arg(desc);
}

} // namespace MsOfficeExcel
