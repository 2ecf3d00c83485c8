#include "SpreedSheetWorkbook.h"

#include "AnswerLimits.h"
#include "MsOfficeExcelWorkbook.h"
#include "MsOfficeExcelWorksheet.h"
#include "SpreedSheetWorkbookSave.h"
#include "SpreedSheetWorksheet.h"

#include <QDebug>
#include <QFileInfo>

namespace SpreedSheet {

namespace {
void log(const QString &text) { qDebug().noquote() << text; }

void logRequest(const char *slot, const QString &handlerId)
{
    log(QStringLiteral("[SpreedSheet::Workbook::%1] Получен запрос. HandlerId: %2")
                .arg(QLatin1String(slot), handlerId));
}
} // namespace

Workbook::Workbook(MsOfficeExcel::Workbook *workbook, QObject *parent)
    : QObject(parent)
    , m_workbook(workbook)
{ }

MsOfficeExcel::Workbook *Workbook::getExcelWorkbook() const { return m_workbook; }

void Workbook::initWorksheets() { m_workbook->initWorksheets(); }

void Workbook::close(bool saveChanges) { m_workbook->close(saveChanges); }

Worksheet *Workbook::wrap(MsOfficeExcel::Worksheet *worksheet)
{
    // A new script object on every lookup, each with its own watched cells.
    return worksheet ? new Worksheet(worksheet, this) : nullptr;
}

Worksheet *Workbook::getWorksheet(int index) { return wrap(m_workbook->getWorksheet(index)); }

Worksheet *Workbook::getWorksheet(const QString &name) { return wrap(m_workbook->getWorksheet(name)); }

QStringList Workbook::getWorksheetNames() { return m_workbook->getWorksheetNames(); }

QString Workbook::getFileName()
{
    const QString path = getFilePath();
    return path.isEmpty() ? QString() : QFileInfo(path).fileName();
}

QString Workbook::getFilePath() { return m_workbook->getFilePath(); }

bool Workbook::save() { return m_workbook->save(); }

void Workbook::s_getWorksheet(const QString &handlerId, const QString &name)
{
    log(QStringLiteral("Получен запрос на s_getWorksheet. HandlerId: %1. Worksheet name: %2").arg(handlerId, name));
    emit s_getWorksheetResult(handlerId, name, getWorksheet(name));
}

void Workbook::s_getNameRangeValue(const QString &handlerId, const QString &rangeName)
{
    logRequest("s_getNameRangeValue", handlerId);
    emit s_getNameRangeValueResult(handlerId, rangeName,
                                   AnswerLimits::fitted(m_workbook->getNameRangeValues(rangeName),
                                                        QStringLiteral("s_getNameRangeValue"), handlerId));
}

void Workbook::saveTo(const QString &handlerId, const QString &filePath, bool copy)
{
    const WorkbookSave save(m_workbook, copy ? WorkbookSave::Mode::SaveCopyAs : WorkbookSave::Mode::SaveAs);
    const WorkbookSave::Result result = save.save(filePath);
    if (!result.saved)
        emit s_saveAsError(handlerId, filePath, result.errorCode, result.errorMessage);
    emit s_saveAsResult(handlerId, filePath);
}

void Workbook::saveToStore(const QString &handlerId, const QString &filePath, bool renameExists, bool copy)
{
    const QString fullPath = WorkbookSave::storePath(filePath);
    if (renameExists) {
        const WorkbookSave save(m_workbook, copy ? WorkbookSave::Mode::SaveCopyAs : WorkbookSave::Mode::SaveAs);
        const WorkbookSave::Result moved = save.moveAside(fullPath);
        if (!moved.saved) {
            emit s_saveAsError(handlerId, fullPath, moved.errorCode, moved.errorMessage);
            emit s_saveAsResult(handlerId, fullPath);
            return;
        }
    }
    if (copy)
        s_saveCopyAs(handlerId, fullPath);
    else
        s_saveAs(handlerId, fullPath);
}

void Workbook::s_saveAs(const QString &handlerId, const QString &filePath)
{
    log(QStringLiteral("[SpreedSheet::Workbook::s_saveAs] Сохраняем файл в %1").arg(filePath));
    saveTo(handlerId, filePath, false);
}

void Workbook::s_saveAsToStore(const QString &handlerId, const QString &filePath)
{
    saveToStore(handlerId, filePath, false, false);
}

void Workbook::s_saveAsToStore(const QString &handlerId, const QString &filePath, bool renameExists)
{
    saveToStore(handlerId, filePath, renameExists, false);
}

void Workbook::s_saveCopyAs(const QString &handlerId, const QString &filePath)
{
    log(QStringLiteral("[SpreedSheet::Workbook::s_saveCopyAs] Сохраняем копию файла в %1").arg(filePath));
    saveTo(handlerId, filePath, true);
}

void Workbook::s_saveCopyAsToStore(const QString &handlerId, const QString &filePath)
{
    saveToStore(handlerId, filePath, false, true);
}

void Workbook::s_saveCopyAsToStore(const QString &handlerId, const QString &filePath, bool renameExists)
{
    saveToStore(handlerId, filePath, renameExists, true);
}

void Workbook::s_close(const QString &handlerID)
{
    logRequest("s_close", handlerID);
    close(true);
    emit s_closeResult(handlerID);
}

} // namespace SpreedSheet
