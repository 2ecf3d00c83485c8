#pragma once

#include "MsOfficeExcelBase.h"

namespace MsOfficeExcel {

class PrintOptions;

// A range of cells (one cell, an area, or what a defined name refers to):
// its values, formulas, number formats and print-out.
class Range : public Base
{
    Q_OBJECT
public:
    // Reads larger than this many cells are refused: each cell is a call,
    // and a whole-sheet address would keep the program busy for hours.
    static const qint64 MAX_READ_CELLS;

    Range(AutomationObject *axObject, Link *link, QObject *parent);

    // The cell's "Value" as Excel gives it; invalid when there is no handle.
    QVariant getValue() const;
    bool setValue(const QVariant &value);
    QString getFormula() const;
    bool setFormula(const QString &formula);
    QString getFormat() const;
    bool setFormat(const QString &format);

    int getCount() const;
    int getRowsCount();
    int getColumnsCount();
    // Zero-based row and column within the range.
    QVariant getCellValue(int row, int column);
    // One list per row, top to bottom, of the row's values left to right.
    QVariantList getValues();
    QString getAddressLocal();

    bool print(const QString &printerName, const PrintOptions &options);

private:
    int lineCount(const char *lines);
};

} // namespace MsOfficeExcel
