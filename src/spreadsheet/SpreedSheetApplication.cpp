#include "SpreedSheetApplication.h"

#include "MsOfficeExcelApplication.h"
#include "MsOfficeExcelWorkbook.h"
#include "SpreedSheetWorkbook.h"

#include <QDebug>

namespace SpreedSheet {

Application::Application(QObject *parent)
    : QObject(parent)
{ }

bool Application::start(bool newInstance)
{
    if (m_application && (m_stopped || m_application->isStarted()))
        return true;
    if (m_application && m_application->isLost()) {
        // The old link stays (its workbooks still answer, empty); calls go to a fresh one.
        qDebug().noquote() << QStringLiteral("[SpreedSheet::Application] Связь с Excel потеряна, запускаем заново");
    } else {
        // Never started (no application, or it did not come up): nothing refers to it.
        delete m_application;
    }
    m_application = new MsOfficeExcel::Application(newInstance, this);
    return m_application->isStarted();
}

void Application::stop()
{
    m_stopped = true;
    if (m_application)
        m_application->close();
}

bool Application::isStarted() const { return m_application && m_application->isStarted(); }

bool Application::isCanUse() const { return m_application && m_application->isCanUse(); }

QString Application::getCodeCanUse() const
{
    return m_application ? m_application->getCodeCanUse() : QStringLiteral("office_excel_not_installed");
}

QString Application::getVersion() { return m_application ? m_application->getVersion() : QString(); }

Workbook *Application::open(const QString &path)
{
    start(false);
    MsOfficeExcel::Workbook *workbook = m_application->open(path);
    return workbook ? new Workbook(workbook, this) : nullptr;
}

} // namespace SpreedSheet
