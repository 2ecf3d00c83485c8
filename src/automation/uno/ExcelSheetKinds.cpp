// A Worksheet, its PageSetup and Names (sheet-level, as Excel shows them),
// and a workbook's Names down to the range one refers to.
#include "ExcelKinds.h"
#include "SheetAddress.h"
#include "SheetPrinting.h"
#include "UnoRuntime.h"

#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeReferrer.hpp>
#include <com/sun/star/table/XCellRange.hpp>

using namespace css;
using table::CellRangeAddress;

namespace ExcelKinds {

namespace {

using Answer = EmulatedObject::Answer;

[[noreturn]] void refuse(const QString &what) { throw AutomationFault{DispatchCode::EXCEPTION, what}; }

// An address as Excel takes it on a sheet: A1 forms are read here; names
// and the rest are asked of the office, which must place them on this sheet.
bool areaOf(OnSheet &on, const QString &text, CellRangeAddress *area)
{
    area->Sheet = static_cast<sal_Int16>(on.sheet->index());
    if (SheetAddress::parse(text.trimmed(), area))
        return true;
    uno::Reference<table::XCellRange> found;
    try {
        found = on.sheet->sheet().as<table::XCellRange>()->getCellRangeByName(toOUString(text));
    } catch (const lang::DisposedException &) {
        throw;
    } catch (const uno::RuntimeException &) {
        return false; // not an address or name the office knows
    }
    const uno::Reference<sheet::XCellRangeAddressable> addressable(found, uno::UNO_QUERY);
    if (!addressable.is())
        return false;
    *area = addressable->getRangeAddress();
    return area->Sheet == on.sheet->index();
}

Answer rangeOnSheet(OnSheet &on, const QVariantList &args)
{
    CellRangeAddress area;
    if (!areaOf(on, args.value(0).toString(), &area))
        refuse(QStringLiteral("Range '%1' is not on the sheet").arg(args.value(0).toString()));
    if (args.size() > 1) {
        // Two corners: the smallest rectangle holding both.
        CellRangeAddress second;
        if (!areaOf(on, args.value(1).toString(), &second))
            refuse(QStringLiteral("Range '%1' is not on the sheet").arg(args.value(1).toString()));
        area.StartColumn = qMin(area.StartColumn, second.StartColumn);
        area.StartRow = qMin(area.StartRow, second.StartRow);
        area.EndColumn = qMax(area.EndColumn, second.EndColumn);
        area.EndRow = qMax(area.EndRow, second.EndRow);
    }
    return Answer(range({on, area}));
}

Answer printSheet(OnSheet &on, const QVariantList &args)
{
    SheetPrinting::print(*on.book.workbook, *on.sheet, nullptr, SheetPrinting::Request::fromArguments(args));
    return Answer();
}

const ObjectKind<OnSheet>
        WORKSHEET("Worksheet",
                  {
                          {"Name", [](OnSheet &on, const QVariantList &) { return Answer(on.sheet->name()); }},
                          {"Range", &rangeOnSheet},
                          {"Cells", [](OnSheet &on, const QVariantList &) { return Answer(cells(on)); }},
                          {"PageSetup", [](OnSheet &on, const QVariantList &) { return Answer(pageSetup(on)); }},
                          {"Names", [](OnSheet &on, const QVariantList &) { return Answer(sheetNames(on)); }},
                          {"PrintOut", &printSheet},
                  });

QString printArea(OnSheet &on)
{
    QStringList areas;
    for (const CellRangeAddress &area : on.sheet->printAreas())
        areas.append(SheetAddress::absolute(area));
    return areas.join(QLatin1Char(','));
}

QString titleRows(OnSheet &on)
{
    CellRangeAddress rows;
    return on.sheet->titleRows(&rows) ? SheetAddress::absolute(rows) : QString();
}

QList<CellRangeAddress> parsedAreas(OnSheet &on, const QVariant &value)
{
    QList<CellRangeAddress> areas;
    const QString text = value.toString().trimmed();
    if (!text.isEmpty() && !SheetAddress::parseAreas(text, on.sheet->name(), &areas))
        refuse(QStringLiteral("'%1' is not a reference on sheet '%2'").arg(text, on.sheet->name()));
    return areas;
}

void setPrintArea(OnSheet &on, const QVariant &value)
{
    on.sheet->setPrintAreas(parsedAreas(on, value));
    on.book.workbook->changed();
}

void setTitleRows(OnSheet &on, const QVariant &value)
{
    const QList<CellRangeAddress> areas = parsedAreas(on, value);
    if (areas.size() > 1)
        refuse(QStringLiteral("Title rows are one block of rows: '%1'").arg(value.toString()));
    on.sheet->setTitleRows(areas.isEmpty() ? nullptr : &areas.first());
    on.book.workbook->changed();
}

const ObjectKind<OnSheet>
        PAGE_SETUP("PageSetup",
                   {
                           {"PrintArea", [](OnSheet &on, const QVariantList &) { return Answer(printArea(on)); }},
                           {"PrintTitleRows", [](OnSheet &on, const QVariantList &) { return Answer(titleRows(on)); }},
                   },
                   {{"PrintArea", &setPrintArea}, {"PrintTitleRows", &setTitleRows}});

struct OnSheetName
{
    OnSheet on;
    ExcelSheetState::Name name;

    void check() const { on.check(); }
};

const QList<ExcelSheetState::Name> &namesOf(OnSheet &on) { return on.sheet->names(on.book.workbook->revision()); }

const ObjectKind<OnSheetName> SHEET_NAME(
        "Name",
        {
                {"Name",
                 [](OnSheetName &name, const QVariantList &) { return Answer(name.on.sheet->qualified(name.name)); }},
                {"Value",
                 [](OnSheetName &name, const QVariantList &) {
                     return Answer(name.on.sheet->value(name.name, *name.on.book.workbook, name.on.book.session()));
                 }},
                {"Delete",
                 [](OnSheetName &name, const QVariantList &) {
                     name.on.sheet->remove(name.name);
                     // Later names move down by one.
                     name.on.book.workbook->changed();
                     return Answer();
                 }},
        });

Answer sheetNameAt(OnSheet &on, const QVariantList &args)
{
    const QList<ExcelSheetState::Name> &names = namesOf(on);
    return Answer(SHEET_NAME.make({on, names.at(collectionIndex(args, names.size()) - 1)}));
}

const ObjectKind<OnSheet>
        SHEET_NAMES("Names",
                    {
                            {"Count", [](OnSheet &on, const QVariantList &) { return Answer(namesOf(on).size()); }},
                            {"Item", &sheetNameAt},
                    });

struct OnDefinedName
{
    OnWorkbook on;
    UnoObject named;

    void check() const { on.check(); }
};

Answer refersToRange(OnDefinedName &name, const QVariantList &)
{
    const uno::Reference<table::XCellRange> cells = name.named.as<sheet::XCellRangeReferrer>()->getReferredCells();
    if (!cells.is())
        refuse(QStringLiteral("The name refers to no range"));
    return Answer(range(rangeAt(name.on, cells)));
}

const ObjectKind<OnDefinedName> DEFINED_NAME("Name", {{"RefersToRange", &refersToRange}});

Answer definedNameItem(OnWorkbook &on, const QVariantList &args)
{
    const QString name = args.value(0).toString();
    UnoObject found;
    const int mark = name.lastIndexOf(QLatin1Char('!'));
    if (mark < 0) {
        found = on.workbook->definedName(name);
    } else {
        // "Sheet1!name" or "'Sheet 1'!name": a sheet-level one.
        QString sheetName = name.left(mark);
        if (sheetName.size() >= 2 && sheetName.startsWith(QLatin1Char('\'')) && sheetName.endsWith(QLatin1Char('\'')))
            sheetName = sheetName.mid(1, sheetName.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
        if (const std::shared_ptr<ExcelSheetState> sheet = on.workbook->sheetNamed(sheetName))
            found = sheet->definedName(name.mid(mark + 1));
    }
    if (!found.is())
        throw AutomationFault{DispatchCode::BAD_INDEX, QStringLiteral("No defined name %1").arg(name)};
    return Answer(DEFINED_NAME.make({on, found}));
}

const ObjectKind<OnWorkbook> WORKBOOK_NAMES("Names", {{"Item", &definedNameItem}});

} // namespace

std::shared_ptr<EmulatedObject> worksheet(const OnSheet &on) { return WORKSHEET.make(on); }

std::shared_ptr<EmulatedObject> pageSetup(const OnSheet &on) { return PAGE_SETUP.make(on); }

std::shared_ptr<EmulatedObject> sheetNames(const OnSheet &on) { return SHEET_NAMES.make(on); }

std::shared_ptr<EmulatedObject> workbookNames(const OnWorkbook &on) { return WORKBOOK_NAMES.make(on); }

OnRange rangeAt(const OnWorkbook &on, const uno::Reference<uno::XInterface> &cells)
{
    const CellRangeAddress area =
            uno::Reference<sheet::XCellRangeAddressable>(cells, uno::UNO_QUERY_THROW)->getRangeAddress();
    const std::shared_ptr<ExcelSheetState> sheet = on.workbook->sheetAt(area.Sheet);
    if (!sheet)
        refuse(QStringLiteral("The range lies on no sheet of the workbook"));
    return OnRange{OnSheet{on, sheet}, area};
}

} // namespace ExcelKinds
