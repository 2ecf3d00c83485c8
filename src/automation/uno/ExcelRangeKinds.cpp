// A Range with its Rows and Columns, and a sheet's Cells as Find and
// FindNext search them. A range is its address; the office's cell objects
// are asked for only by the members that read or write cells.
#include "ExcelCellValue.h"
#include "ExcelKinds.h"
#include "SheetAddress.h"
#include "SheetPrinting.h"
#include "UnoRuntime.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/util/XSearchDescriptor.hpp>
#include <com/sun/star/util/XSearchable.hpp>

using namespace css;
using table::CellRangeAddress;

namespace ExcelKinds {

namespace {

using Answer = EmulatedObject::Answer;

int rowCount(const OnRange &on) { return on.area.EndRow - on.area.StartRow + 1; }

int columnCount(const OnRange &on) { return on.area.EndColumn - on.area.StartColumn + 1; }

uno::Reference<table::XCell> cellAt(OnRange &on, sal_Int32 column, sal_Int32 row)
{
    return on.on.sheet->sheet().as<table::XCellRange>()->getCellByPosition(column, row);
}

table::CellAddress position(const OnRange &on, sal_Int32 column, sal_Int32 row)
{
    return table::CellAddress(static_cast<sal_Int16>(on.on.sheet->index()), column, row);
}

// Runs `each` on every cell of the range, row by row; one cell reads as its
// value, an area as a list of rows.
template<class Each>
QVariant perCell(OnRange &on, Each each)
{
    if (on.isCell())
        return each(on.area.StartColumn, on.area.StartRow);
    QVariantList rows;
    for (sal_Int32 row = on.area.StartRow; row <= on.area.EndRow; ++row) {
        QVariantList line;
        for (sal_Int32 column = on.area.StartColumn; column <= on.area.EndColumn; ++column)
            line.append(each(column, row));
        rows.append(QVariant(line));
    }
    return rows;
}

// Excel's Value, Formula and NumberFormat of an area read the cells one by
// one; the spreadsheet layer only ever reads single cells.
const qint64 MAX_AREA_CELLS = 100000;

void checkArea(const OnRange &on)
{
    if (qint64(rowCount(on)) * columnCount(on) > MAX_AREA_CELLS)
        throw AutomationFault{DispatchCode::EXCEPTION,
                              QStringLiteral("Range %1 has more than %2 cells to go through one by one")
                                      .arg(SheetAddress::absolute(on.area))
                                      .arg(MAX_AREA_CELLS)};
}

Answer value(OnRange &on, const QVariantList &)
{
    checkArea(on);
    return Answer(perCell(on, [&](sal_Int32 column, sal_Int32 row) {
        return ExcelCellValue::read(*on.on.book.workbook, cellAt(on, column, row));
    }));
}

void setValue(OnRange &on, const QVariant &value)
{
    checkArea(on);
    perCell(on, [&](sal_Int32 column, sal_Int32 row) {
        ExcelCellValue::write(*on.on.book.workbook, on.on.book.session(), cellAt(on, column, row),
                              position(on, column, row), value);
        return QVariant();
    });
}

Answer formula(OnRange &on, const QVariantList &)
{
    checkArea(on);
    return Answer(perCell(on, [&](sal_Int32 column, sal_Int32 row) {
        return QVariant(ExcelCellValue::formula(*on.on.book.workbook, on.on.book.session(), cellAt(on, column, row),
                                                position(on, column, row)));
    }));
}

void setFormula(OnRange &on, const QVariant &value)
{
    checkArea(on);
    perCell(on, [&](sal_Int32 column, sal_Int32 row) {
        ExcelCellValue::setFormula(*on.on.book.workbook, on.on.book.session(), cellAt(on, column, row),
                                   position(on, column, row), value.toString());
        return QVariant();
    });
}

Answer numberFormat(OnRange &on, const QVariantList &)
{
    // Excel answers an area's format when its cells share one: the first cell's stands for it.
    return Answer(
            ExcelCellValue::numberFormat(*on.on.book.workbook, cellAt(on, on.area.StartColumn, on.area.StartRow)));
}

void setNumberFormat(OnRange &on, const QVariant &value)
{
    const int key = on.on.book.workbook->formatKey(value.toString());
    const uno::Reference<table::XCellRange> cells =
            on.on.sheet->sheet().as<table::XCellRange>()->getCellRangeByPosition(on.area.StartColumn, on.area.StartRow,
                                                                                 on.area.EndColumn, on.area.EndRow);
    uno::Reference<beans::XPropertySet>(cells, uno::UNO_QUERY_THROW)->setPropertyValue("NumberFormat", uno::Any(key));
}

struct OnLines
{
    OnRange range;
    bool rows;

    void check() const { range.check(); }
};

const ObjectKind<OnLines> LINES("Range",
                                {{"Count", [](OnLines &lines, const QVariantList &) {
                                      return Answer(lines.rows ? rowCount(lines.range) : columnCount(lines.range));
                                  }}});

Answer cellOfRange(OnRange &on, const QVariantList &args)
{
    // 1-based and relative to the range, as Excel's Cells(row, column); it may reach past the range.
    bool rowOk = false, columnOk = false;
    const int row = args.value(0).toInt(&rowOk);
    const int column = args.value(1).toInt(&columnOk);
    OnRange cell = on;
    cell.area.StartRow = cell.area.EndRow = on.area.StartRow + row - 1;
    cell.area.StartColumn = cell.area.EndColumn = on.area.StartColumn + column - 1;
    if (!rowOk || !columnOk || cell.area.StartRow < 0 || cell.area.StartColumn < 0
        || cell.area.StartRow >= SheetAddress::MAX_ROWS || cell.area.StartColumn >= SheetAddress::MAX_COLUMNS)
        throw AutomationFault{DispatchCode::BAD_INDEX,
                              QStringLiteral("No cell (%1, %2) in the sheet")
                                      .arg(args.value(0).toString(), args.value(1).toString())};
    return Answer(range(cell));
}

Answer printRange(OnRange &on, const QVariantList &args)
{
    SheetPrinting::print(*on.on.book.workbook, *on.on.sheet, &on.area, SheetPrinting::Request::fromArguments(args));
    return Answer();
}

const ObjectKind<OnRange> RANGE(
        "Range",
        {
                {"Value", &value},
                {"Formula", &formula},
                {"NumberFormat", &numberFormat},
                {"Count",
                 [](OnRange &on, const QVariantList &) { return Answer(qint64(rowCount(on)) * columnCount(on)); }},
                {"Rows",
                 [](OnRange &on, const QVariantList &) {
                     return Answer(LINES.make({on, true}));
                 }},
                {"Columns",
                 [](OnRange &on, const QVariantList &) {
                     return Answer(LINES.make({on, false}));
                 }},
                {"Cells", &cellOfRange},
                {"AddressLocal",
                 [](OnRange &on, const QVariantList &) { return Answer(SheetAddress::absolute(on.area)); }},
                {"PrintOut", &printRange},
        },
        {{"Value", &setValue}, {"Formula", &setFormula}, {"NumberFormat", &setNumberFormat}});

// Excel's Find as it searches by default: values and formulas as written,
// part of a cell's content, any letter case, row by row, * and ? as wildcards.
uno::Reference<util::XSearchDescriptor> descriptorFor(OnSheet &on, const QString &what)
{
    const uno::Reference<util::XSearchDescriptor> descriptor =
            on.sheet->sheet().as<util::XSearchable>()->createSearchDescriptor();
    descriptor->setSearchString(toOUString(what));
    const uno::Reference<beans::XPropertySet> properties(descriptor, uno::UNO_QUERY_THROW);
    properties->setPropertyValue("SearchByRow", uno::Any(true));
    properties->setPropertyValue("SearchWildcard", uno::Any(true));
    return descriptor;
}

Answer found(OnSheet &on, const uno::Reference<uno::XInterface> &match)
{
    return match.is() ? Answer(range(rangeAt(on.book, match))) : Answer();
}

bool isFirstCell(const uno::Reference<uno::XInterface> &match)
{
    const CellRangeAddress area =
            uno::Reference<sheet::XCellRangeAddressable>(match, uno::UNO_QUERY_THROW)->getRangeAddress();
    return area.StartColumn == 0 && area.StartRow == 0;
}

Answer find(OnSheet &on, const QVariantList &args)
{
    const uno::Reference<util::XSearchDescriptor> descriptor = descriptorFor(on, args.value(0).toString());
    on.sheet->lastSearch = UnoObject(descriptor);
    const uno::Reference<util::XSearchable> searchable = on.sheet->sheet().as<util::XSearchable>();
    const uno::Reference<uno::XInterface> first = searchable->findFirst(descriptor);
    // Excel starts after the first cell, which it reaches last.
    if (first.is() && isFirstCell(first)) {
        const uno::Reference<uno::XInterface> next = searchable->findNext(first, descriptor);
        if (next.is())
            return found(on, next);
    }
    return found(on, first);
}

Answer findNext(OnSheet &on, const QVariantList &args)
{
    const auto previous = args.value(0).value<std::shared_ptr<EmulatedObject>>();
    const OnRange *after = previous ? rangeOf(*previous) : nullptr;
    if (!after || after->on.sheet != on.sheet || !on.sheet->lastSearch.is())
        throw AutomationFault{DispatchCode::EXCEPTION, QStringLiteral("FindNext needs a cell found on this sheet")};
    const uno::Reference<util::XSearchDescriptor> descriptor = on.sheet->lastSearch.as<util::XSearchDescriptor>();
    const uno::Reference<util::XSearchable> searchable = on.sheet->sheet().as<util::XSearchable>();
    OnRange from = *after;
    const uno::Reference<uno::XInterface> next =
            searchable->findNext(cellAt(from, after->area.StartColumn, after->area.StartRow), descriptor);
    // Past the last match Excel goes round to the first one again.
    return found(on, next.is() ? next : searchable->findFirst(descriptor));
}

const ObjectKind<OnSheet> CELLS("Range", {{"Find", &find}, {"FindNext", &findNext}});

} // namespace

std::shared_ptr<EmulatedObject> range(const OnRange &on) { return RANGE.make(on); }

std::shared_ptr<EmulatedObject> cells(const OnSheet &on) { return CELLS.make(on); }

const OnRange *rangeOf(const EmulatedObject &object)
{
    const auto *ranged = dynamic_cast<const KindObject<OnRange> *>(&object);
    return ranged ? &ranged->state() : nullptr;
}

} // namespace ExcelKinds
