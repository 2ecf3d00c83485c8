#include "MsOfficeExcelApplication.h"

#include "AutomationObject.h"
#include "MsOfficeExcelLink.h"
#include "MsOfficeExcelWorkbook.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace MsOfficeExcel {

namespace {
const QString EXCEL_PROG_ID = QStringLiteral("Excel.Application");
const QString OPEN_LOG_PREFIX = QStringLiteral("[MsOfficeExcel] [Application] ");

void openLog(const QString &text) { qDebug().noquote() << OPEN_LOG_PREFIX + text; }
} // namespace

QString Application::excelApplicationCLSID;

Application::Application(bool newInstance, QObject *parent)
    : Base(nullptr, nullptr, parent)
{
    setLink(new Link(this));
    init(newInstance);
}

QString Application::getExcelApplicationCLSID()
{
    if (!excelApplicationCLSID.isEmpty())
        return excelApplicationCLSID;
    // Only a found class id is kept: an application installed later is seen on the next try.
    const QString classId = AutomationObject::classIdFromProgId(EXCEL_PROG_ID);
    if (classId.isEmpty())
        return QString();
    excelApplicationCLSID = classId + QLatin1Char('&');
    return excelApplicationCLSID;
}

void Application::init(bool newInstance)
{
    auto *first = new AutomationObject(this);
    first->setControl(newInstance ? EXCEL_PROG_ID : getExcelApplicationCLSID());
    AutomationObject *application = first->querySubObject("Application");
    setAxObject(application && !application->isNull() ? application : first);
    watchExceptions(getAxObject());
    getLink()->watch(getAxObject());
}

bool Application::isStarted() const { return !isXaObjectNull(); }

bool Application::isCanUse() const { return !isXaObjectNull(); }

QString Application::getCodeCanUse() const
{
    return isCanUse() ? QStringLiteral("ok") : QStringLiteral("office_excel_not_installed");
}

bool Application::isLost() const { return getLink()->isLost(); }

QString Application::getVersion() { return xaDynamicCall("Version").toString(); }

AutomationObject *Application::getXaWorkbooks()
{
    if (!m_xaWorkbooks && isCanUse()) {
        m_xaWorkbooks = xaQuerySubObject("Workbooks");
        logObjectInfo(QStringLiteral("xaWorkbooks"), m_xaWorkbooks);
        watchExceptions(m_xaWorkbooks);
    }
    return isCanUse() ? m_xaWorkbooks : nullptr;
}

bool Application::readWorkbooksCount(int *count)
{
    AutomationObject *workbooks = getXaWorkbooks();
    if (!workbooks)
        return false;
    logObjectInfo(QStringLiteral("getXaWorkbooks()"), workbooks);
    const QVariant value = getXaProperty("Count", QVariant(), workbooks);
    bool ok = false;
    *count = value.toInt(&ok);
    return value.isValid() && ok;
}

int Application::getXaWorkbooksCount()
{
    int count = 0;
    return readWorkbooksCount(&count) ? count : 0;
}

void Application::disableDisplayAlerts() { changeDisplayAlerts(false); }

void Application::enableDisplayAlerts() { changeDisplayAlerts(true); }

bool Application::changeDisplayAlerts(bool value) { return changeXaProperty("DisplayAlerts", value, value); }

Workbook *Application::open(const QString &path)
{
    const QString filePath = QDir::fromNativeSeparators(path);
    if (!QFileInfo(filePath).isFile()) {
        qDebugMessage(QStringLiteral("Файл %1 не сущесвует").arg(path));
        return nullptr;
    }
    const QString native = QDir::toNativeSeparators(filePath);
    openLog(QStringLiteral("Try open file '%1'. Native separator: '%2'").arg(path, native));
    openLog(QStringLiteral("Excel version: '%2'").arg(getVersion()));
    AutomationObject *workbooks = getXaWorkbooks();
    if (!workbooks)
        return nullptr;
    logObjectInfo(QStringLiteral("getXaApplication()"), getAxObject());
    logObjectInfo(QStringLiteral("getXaWorkbooks()"), workbooks);
    // File name, links not updated (0), not read-only.
    AutomationObject *xaWorkbook = xaQuerySubObject("Open(QVariant,QVariant,QVariant)", {native, 0, false}, workbooks);
    logObjectInfo(QStringLiteral("xaWorkbook"), xaWorkbook);
    openLog(QStringLiteral("Document is opened. File '%1'").arg(path));
    if (!xaWorkbook || xaWorkbook->isNull())
        return nullptr;
    auto *workbook = new Workbook(xaWorkbook, getLink(), this);
    m_workbooks.append(workbook);
    workbook->restorePrintPageSettings();
    if (isLost()) {
        // The application went away while opening: the workbook is not usable.
        qDebugMessage(QStringLiteral("Excel потерян во время открытия файла %1").arg(path));
        return nullptr;
    }
    return workbook;
}

void Application::close()
{
    if (!m_workbooks.isEmpty()) {
        disableDisplayAlerts();
        for (Workbook *workbook : qAsConst(m_workbooks))
            workbook->close(false);
        enableDisplayAlerts();
    }
    int count = 0;
    // An unreadable count is not zero: the user's workbooks may still be open.
    const bool counted = readWorkbooksCount(&count);
    if (!getAxObject())
        return;
    if (counted && count == 0) {
        qDebugMessage(QStringLiteral("Вызов метода Quit. Нет других открытых книг"));
        xaDynamicCall("Quit()");
    }
    qDebugMessage(QStringLiteral("Очистка связки с объектом Excel"));
    setAxObject(nullptr);
}

} // namespace MsOfficeExcel
