#pragma once

#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/table/XCell.hpp>

#include <QString>
#include <QVariant>

class ExcelSession;
class ExcelWorkbookState;

// One cell's Value, Formula and NumberFormat as Excel gives and takes them.
//
// Value keeps the cell's kind: a number, text, true or false (a number with
// a boolean format, or a formula that yields one), a date and time (a
// number with a date or time format), an error value (Excel's error code,
// as a number), or nothing for an empty cell; never the text a format
// shows. Written, text is read as Excel reads a typed entry: "=..." is a
// formula, a plain number a number, TRUE and FALSE booleans, a leading
// apostrophe keeps the rest as text; anything else stays text.
//
// Formulas are Excel's: English function names, "," between arguments,
// A1 references ("=SUM(A1,'Sheet 2'!$B$2)").
namespace ExcelCellValue {

QVariant read(ExcelWorkbookState &workbook, const css::uno::Reference<css::table::XCell> &cell);
void write(ExcelWorkbookState &workbook, ExcelSession &session, const css::uno::Reference<css::table::XCell> &cell,
           const css::table::CellAddress &position, const QVariant &value);

QString formula(ExcelWorkbookState &workbook, ExcelSession &session, const css::uno::Reference<css::table::XCell> &cell,
                const css::table::CellAddress &position);
void setFormula(ExcelWorkbookState &workbook, ExcelSession &session, const css::uno::Reference<css::table::XCell> &cell,
                const css::table::CellAddress &position, const QString &formula);

QString numberFormat(ExcelWorkbookState &workbook, const css::uno::Reference<css::table::XCell> &cell);
void setNumberFormat(ExcelWorkbookState &workbook, const css::uno::Reference<css::table::XCell> &cell,
                     const QString &code);

} // namespace ExcelCellValue
