#pragma once

#include "MsOfficeExcelBase.h"

#include <QList>

namespace MsOfficeExcel {

class Workbook;

// The spreadsheet application: opens workbooks (each normalised on
// opening), counts what is open in it, and on close discards the workbooks
// it opened and quits only when nothing else is left open in it, so a
// user's own workbooks survive.
class Application : public Base
{
    Q_OBJECT
public:
    // `newInstance` starts an application of its own; false attaches to the
    // running one (starting it when none runs), as the system always does.
    explicit Application(bool newInstance, QObject *parent = nullptr);

    // The class-id control for attaching, "{...}&"; found once per process.
    static QString excelApplicationCLSID;
    static QString getExcelApplicationCLSID();

    bool isStarted() const;
    bool isCanUse() const;
    // "office_excel_not_installed" when the application cannot be used, else "ok".
    QString getCodeCanUse() const;
    // Whether the application died or hung on a call; a fresh one is needed.
    bool isLost() const;
    QString getVersion();

    AutomationObject *getXaWorkbooks();
    int getXaWorkbooksCount();
    void disableDisplayAlerts();
    void enableDisplayAlerts();
    bool changeDisplayAlerts(bool value);

    // A new workbook (child of this application), or none when the file is
    // missing or the application does not open it.
    Workbook *open(const QString &path);
    void close();

private:
    void init(bool newInstance);
    // False when the count could not be read.
    bool readWorkbooksCount(int *count);

    AutomationObject *m_xaWorkbooks = nullptr;
    QList<Workbook *> m_workbooks;
};

} // namespace MsOfficeExcel
