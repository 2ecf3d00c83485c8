#pragma once

#include "MsOfficeExcelBase.h"

#include <QList>
#include <QMap>
#include <QStringList>

namespace MsOfficeExcel {

class Worksheet;

// An open workbook: its sheets (made on first lookup and cached by index
// and by name), defined names, saving and closing, and the print-settings
// normalisation every opened workbook goes through.
class Workbook : public Base
{
    Q_OBJECT
public:
    // Sheet name to setting key ("PrintArea", "PrintTitleRows") to its text.
    using PagePrintSettings = QMap<QString, QMap<QString, QString>>;

    Workbook(AutomationObject *axObject, Link *link, QObject *parent);

    bool isActive() const;
    // The full path with forward slashes; empty when not active.
    QString getFilePath() const;
    bool save();
    bool saveAs(const QString &path);
    bool saveCopyAs(const QString &path);
    bool close(bool saveChanges);

    AutomationObject *getXaWorksheets();
    int getXaWorksheetsCount();
    AutomationObject *getXaWorksheet(int index);
    AutomationObject *getXaWorksheet(const QString &name);
    Worksheet *getWorksheet(int index);
    Worksheet *getWorksheet(const QString &name);
    void initWorksheets();
    QList<Worksheet *> getWorksheets();
    // The names of the sheets loaded so far, in ascending order.
    QStringList getWorksheetNames() const;

    // The values, as rows, of the range a workbook-level name refers to;
    // empty for an unknown name.
    QVariantList getNameRangeValues(const QString &name);

    // Re-reads every sheet's print area and title rows, deletes the
    // sheet-level names that carried them, and writes them back.
    void restorePrintPageSettings();
    PagePrintSettings readWorksheetPagePrintSettings();
    void changeWorksheetPagePrintSettings(const PagePrintSettings &settings);

private:
    Worksheet *makeWorksheet(AutomationObject *object);

    QMap<int, Worksheet *> m_worksheetsByIndex;
    QMap<QString, Worksheet *> m_worksheetsByName;
    QList<Worksheet *> m_worksheets;
    AutomationObject *m_xaWorksheets = nullptr;
};

} // namespace MsOfficeExcel
