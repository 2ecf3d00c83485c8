#pragma once

#include "ExcelWorkbookState.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/FormulaOpCodeMapEntry.hpp>

#include <QHash>
#include <QList>
#include <memory>
#include <vector>

class OfficePool;
class OfficeProcess;

// Excel's formula language as the office's formula parser takes it.
struct ExcelOpCodes
{
    css::uno::Sequence<css::sheet::FormulaOpCodeMapEntry> map;
    // A constant, and a text printed as it is: the office hands a reference
    // to a deleted cell out as an empty constant, which prints as nothing.
    sal_Int32 push = 0;
    sal_Int32 bad = 0;
};

// One application object attached to a session; its Quit detaches it only.
struct ExcelAttachment
{
    bool quit = false;
};

// One spreadsheet application: an office process of its own (never Word's,
// so quitting one never closes the other's documents), the application
// objects attached to it, and what the application keeps that the office
// does not (each open workbook's state). The application ends when the
// last attached object quits with no workbook left open; its office then
// waits in the pool for the next application.
class ExcelSession
{
public:
    ExcelSession(std::shared_ptr<OfficeProcess> office, OfficePool &pool, const QString &version);
    ~ExcelSession();

    bool connect(QString *error);
    bool isRunning() const;
    // Throws AutomationFault (the server has gone) once the application has ended.
    void checkRunning() const;
    QString version() const;
    const std::shared_ptr<OfficeProcess> &office() const;
    css::uno::Reference<css::frame::XDesktop2> desktop() const;
    // The spreadsheets open in the office, in the office's order.
    QList<css::uno::Reference<css::lang::XComponent>> workbooks() const;
    // The state of an open workbook, made on first sight.
    std::shared_ptr<ExcelWorkbookState> workbook(const css::uno::Reference<css::lang::XComponent> &component);
    // The open workbook whose file is `path`, if any.
    std::shared_ptr<ExcelWorkbookState> openAt(const QString &path);
    // Closes the workbook in the office; its objects fail from now on.
    void close(ExcelWorkbookState &workbook);
    // The function names and separators of Excel's formula language, asked once per office.
    const ExcelOpCodes &excelOpCodes(ExcelWorkbookState &asker);

    std::shared_ptr<ExcelAttachment> attach();
    void quit(ExcelAttachment &attachment);
    // The program is ending: the office ends with it.
    void shutdown();

    bool displayAlerts = true;

private:
    void forgetWorkbooks();
    bool othersAttached(const ExcelAttachment &leaving);

    std::shared_ptr<OfficeProcess> m_office;
    OfficePool &m_pool;
    QString m_version;
    bool m_quit = false;
    int m_connection = 0;
    std::vector<std::weak_ptr<ExcelAttachment>> m_attachments;
    // By the workbook's identity, which its state holds: no other document can take the key while it lives.
    QHash<css::uno::XInterface *, std::shared_ptr<ExcelWorkbookState>> m_workbooks;
    ExcelOpCodes m_opCodes;
};
