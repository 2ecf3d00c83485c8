#pragma once

#include "MsOfficeExcelBase.h"

#include <QMap>

namespace MsOfficeExcel {

class PrintOptions;
class Range;

// One sheet of a workbook: its ranges, search, page print settings, the
// sheet-level defined names that carry them, and its print-out.
class Worksheet : public Base
{
    Q_OBJECT
public:
    Worksheet(AutomationObject *axObject, Link *link, QObject *parent);

    QString getName() const;
    // A new range (child of this sheet) for an address or name Excel
    // accepts, with an optional second corner; none when Excel gives none.
    Range *getRange(const QString &firstCell, const QString &secondCell = QString());
    // The first cell showing `value`, or the next one after `previous`
    // (Excel wraps around to the first match at the end).
    Range *findCell(const QString &value);
    Range *findNextCell(Range *previous);

    bool print(const QString &printerName, const PrintOptions &options);

    QString getPrintArea();
    QString getPrintTitleRows();
    void setPrintArea(const QString &area);
    void setPrintTitleRows(const QString &rows);
    // Sheet-level defined names: name to value text.
    QMap<QString, QString> getInternalNames();
    QString getInternalNameValue(const QString &name);
    // The page setup property, or when it is empty the sheet-level name
    // carrying the same setting, without its sheet qualifier.
    QString readPageSetupValue(const QString &pageSetupName, const QString &internalName);
    // Deletes the sheet-level names carrying print areas and titles.
    void removePrintSettingFromNames();

    // Drops the handle; the sheet is none from then on.
    bool close();

    // Hooks for a recalculation event; nothing raises calculated() yet.
    void registerCalculatedHandler();

signals:
    void calculated();

public slots:
    void calculatedHandler();

private:
    Range *makeRange(AutomationObject *object);
    void setPageSetupProperty(const char *name, const QString &value);
};

} // namespace MsOfficeExcel
