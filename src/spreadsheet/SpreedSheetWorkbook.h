#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace MsOfficeExcel {
class Workbook;
class Worksheet;
} // namespace MsOfficeExcel

namespace SpreedSheet {

class Worksheet;

// An open workbook as the page sees it: its sheets, defined names, saving
// (also into the store, optionally keeping the replaced file under a
// time-stamped name) and closing. Slots answer by signal before they
// return; a save that wrote nothing is reported by s_saveAsError before
// the s_saveAsResult that every save answers.
class Workbook : public QObject
{
    Q_OBJECT
public:
    Workbook(MsOfficeExcel::Workbook *workbook, QObject *parent);

    MsOfficeExcel::Workbook *getExcelWorkbook() const;
    // Reloads the sheet caches (all sheets, by index and by name).
    void initWorksheets();
    // Closes the workbook in the spreadsheet application (not for the page:
    // it closes through s_close, which saves).
    void close(bool saveChanges);

    Q_INVOKABLE SpreedSheet::Worksheet *getWorksheet(int index);
    Q_INVOKABLE SpreedSheet::Worksheet *getWorksheet(const QString &name);
    Q_INVOKABLE QStringList getWorksheetNames();
    Q_INVOKABLE QString getFileName();
    Q_INVOKABLE QString getFilePath();
    Q_INVOKABLE bool save();

public slots:
    void s_getWorksheet(const QString &handlerId, const QString &name);
    void s_getNameRangeValue(const QString &handlerId, const QString &rangeName);
    void s_saveAs(const QString &handlerId, const QString &filePath);
    void s_saveAsToStore(const QString &handlerId, const QString &filePath);
    void s_saveAsToStore(const QString &handlerId, const QString &filePath, bool renameExists);
    void s_saveCopyAs(const QString &handlerId, const QString &filePath);
    void s_saveCopyAsToStore(const QString &handlerId, const QString &filePath);
    void s_saveCopyAsToStore(const QString &handlerId, const QString &filePath, bool renameExists);
    void s_close(const QString &handlerID);

signals:
    void s_getWorksheetResult(const QString &handlerId, const QString &name, SpreedSheet::Worksheet *worksheet);
    void s_getNameRangeValueResult(const QString &handlerId, const QString &rangeName, const QVariantList &result);
    void s_saveAsResult(const QString &handlerId, const QString &filePath);
    void s_saveAsError(const QString &handlerId, const QString &filePath, const QString &errorCode,
                       const QString &errorMessage);
    void s_closeResult(const QString &handlerId);

private:
    void saveTo(const QString &handlerId, const QString &filePath, bool copy);
    void saveToStore(const QString &handlerId, const QString &filePath, bool renameExists, bool copy);
    Worksheet *wrap(MsOfficeExcel::Worksheet *worksheet);

    MsOfficeExcel::Workbook *m_workbook;
};

} // namespace SpreedSheet
