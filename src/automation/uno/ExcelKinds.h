#pragma once

#include "EmulatedObject.h"
#include "ExcelSession.h"

#include <com/sun/star/table/CellRangeAddress.hpp>

// Excel's object model as the spreadsheet layer calls it (the members are
// listed in docs/excel-object-model.md), one table of members per kind of
// object (see ObjectKind), over an ExcelSession and its workbooks' states.
// Grouped by area: the application and its workbooks; a sheet with its
// page setup and names; ranges, their cells and search.
namespace ExcelKinds {

// What every object of one application object stands on.
struct OnApplication
{
    std::shared_ptr<ExcelSession> session;
    std::shared_ptr<ExcelAttachment> attachment;

    void check() const;
};

struct OnWorkbook
{
    OnApplication application;
    std::shared_ptr<ExcelWorkbookState> workbook;

    void check() const;
    ExcelSession &session() const { return *application.session; }
};

struct OnSheet
{
    OnWorkbook book;
    std::shared_ptr<ExcelSheetState> sheet;

    void check() const { book.check(); }
};

// A rectangle of cells on a sheet, kept as its address: most members need
// no office object for the range itself.
struct OnRange
{
    OnSheet on;
    css::table::CellRangeAddress area;

    void check() const { on.check(); }
    bool isCell() const { return area.StartColumn == area.EndColumn && area.StartRow == area.EndRow; }
};

std::shared_ptr<EmulatedObject> application(const OnApplication &on);
std::shared_ptr<EmulatedObject> workbook(const OnWorkbook &on);
std::shared_ptr<EmulatedObject> worksheet(const OnSheet &on);
std::shared_ptr<EmulatedObject> range(const OnRange &on);
std::shared_ptr<EmulatedObject> pageSetup(const OnSheet &on);
std::shared_ptr<EmulatedObject> sheetNames(const OnSheet &on);
std::shared_ptr<EmulatedObject> workbookNames(const OnWorkbook &on);
// The sheet's cells as Find and FindNext search them.
std::shared_ptr<EmulatedObject> cells(const OnSheet &on);
// The range an object of this model stands for (FindNext's argument); null for any other object.
const OnRange *rangeOf(const EmulatedObject &object);
// The range the office answered for a cell or range object of the workbook.
OnRange rangeAt(const OnWorkbook &on, const css::uno::Reference<css::uno::XInterface> &cells);

} // namespace ExcelKinds
