#pragma once

#include <com/sun/star/table/CellRangeAddress.hpp>

#include <QString>
#include <QVariantList>

class ExcelSheetState;
class ExcelWorkbookState;

// Excel's PrintOut for a sheet or a range of it. This office build has no
// printing of its own: the pages are made by its PDF export (print areas,
// title rows and page styles as the office prints them) and handed to the
// system's print queue, or written to the file asked for.
namespace SheetPrinting {

struct Request
{
    int from = 0; // first page, 1-based; 0: from the first
    int to = 0; // last page; 0: to the last
    int copies = 1;
    QString printer; // empty: the system's default queue
    bool toFile = false;
    bool collate = true;
    QString fileName;

    // From, To, Copies, Preview, ActivePrinter, PrintToFile, Collate, PrToFileName.
    static Request fromArguments(const QVariantList &args);
};

// `range` limits the print-out to those cells; null prints the sheet.
void print(ExcelWorkbookState &workbook, ExcelSheetState &sheet, const css::table::CellRangeAddress *range,
           const Request &request);

} // namespace SheetPrinting
