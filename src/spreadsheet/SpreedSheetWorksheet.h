#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <memory>

namespace MsOfficeExcel {
class Worksheet;
}

namespace SpreedSheet {

class Range;

// A worksheet as the page sees it: cells, ranges, formulas and number
// formats read and written by the addresses the page gives (passed to the
// spreadsheet unchanged), search, print-outs, and a list of watched cells
// whose current values calculatedHandler() reports together. Slots answer
// by signal before they return; values keep the kind the spreadsheet gives
// (an empty cell is an empty variant).
class Worksheet : public QObject
{
    Q_OBJECT
public:
    // A search stops after this many matches (Excel's own wraps around to
    // the first one long before on any real sheet).
    static const int MAX_FOUND_CELLS;

    Worksheet(MsOfficeExcel::Worksheet *worksheet, QObject *parent);

    QStringList getWatchedCells() const;

    // False when nothing was sent to the printer.
    Q_INVOKABLE bool print(const QString &printerName, const QVariantMap &printOptions);
    Q_INVOKABLE bool printRange(const QString &cellRange, const QString &printerName, const QVariantMap &printOptions);

public slots:
    // Accepted and not answered; kept for pages that call it.
    void s_getCellValue(const QString &handlerId, const QString &cell);
    void s_setCellValue(const QString &handlerId, const QString &cell, const QString &value);
    void s_setCellValue(const QString &handlerId, const QString &cell, int value);
    // Numbers from the page arrive here whole (5.5 stays 5.5).
    void s_setCellValue(const QString &handlerId, const QString &cell, double value);
    void s_setCellValues(const QString &handlerId, const QVariantMap &cellValues);
    void s_getCellsValue(const QString &handlerId, const QStringList &cells);
    void s_getCellRangeValue(const QString &handlerId, const QString &cellRange);
    void s_getCellRangesValue(const QString &handlerId, const QStringList &cellRanges);
    void s_getFormulasRange(const QString &handlerId, const QStringList &cellRange);
    void s_setFormulasRange(const QString &handlerId, const QVariantMap &cellMaps);
    void s_getFormatsRange(const QString &handlerId, const QStringList &cellRange);
    void s_setFormatsRange(const QString &handlerId, const QVariantMap &cellMaps);
    void s_findCellByValue(const QString &handlerId, const QString &cellValue);
    void s_findAllCellByValue(const QString &handlerId, const QString &cellValue);
    void s_addCellForEventChange(const QString &handlerId, const QString &cell);
    void s_addCellsForEventChange(const QString &handlerId, const QStringList &cells);
    void s_removeCellForEventChange(const QString &handlerId, const QString &cell);
    void s_removeCellsForEventChange(const QString &handlerId, const QStringList &cells);
    // Reports every watched cell with its current value.
    void calculatedHandler();

signals:
    // Declared for pages that connect to them; never sent.
    void s_getCellValueResult(const QString &handlerId, const QString &cell, const QString &value);
    void s_cellValueChangedResult(const QString &handlerId, const QString &cell, const QString &value);

    void s_setCellValueResult(const QString &handlerId, const QString &cell, const QVariant &value);
    void s_setCellValuesResult(const QString &handlerId);
    void s_getCellsValueResult(const QString &handlerId, const QStringList &cells, const QVariantMap &values);
    void s_getCellRangeValueResult(const QString &handlerId, const QString &cellRange, const QVariantList &values);
    void s_getCellRangesValueResult(const QString &handlerId, const QStringList &cellRanges, const QVariantMap &values);
    void s_getFormulasRangeResult(const QString &handlerId, const QStringList &cellRange, const QVariantMap &cellMaps);
    void s_setFormulasRangeResult(const QString &handlerId, const QVariantMap &cellMaps);
    void s_getFormatsRangeResult(const QString &handlerId, const QStringList &cellRange, const QVariantMap &cellMaps);
    void s_setFormatsRangeResult(const QString &handlerId, const QVariantMap &cellMaps);
    void s_findCellByValueResult(const QString &handlerId, const QString &cellValue, const QString &cell);
    void s_findAllCellByValueResult(const QString &handlerId, const QString &cellValue, const QStringList &cells);
    void s_addedCellForEventChange(const QString &handlerId, const QString &cell);
    void s_addedCellsForEventChange(const QString &handlerId, const QStringList &cells);
    void s_removedCellForEventChange(const QString &handlerId, const QString &cell);
    void s_removedCellsForEventChange(const QString &handlerId, const QStringList &cells);
    void s_cellsChanged(const QVariantMap &cellsValue);

private:
    enum class Write { Value, Formula, Format };

    // A range for one operation; none when the spreadsheet does not resolve the address.
    std::unique_ptr<Range> getRange(const QString &address);
    void setCellValue(const QString &handlerId, const QString &cell, const QVariant &value, const QString &text);
    void writeCells(Write kind, const QVariantMap &cells);
    QVariantMap readCells(const QStringList &cells, QVariant (*read)(Range &range));
    QVariant rangesEntry(const QString &entry);
    QStringList findAll(const QString &value);
    void watch(const QStringList &cells);
    void unwatch(const QStringList &cells);

    MsOfficeExcel::Worksheet *m_worksheet;
    QStringList m_watchedCells;
};

} // namespace SpreedSheet
