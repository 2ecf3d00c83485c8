#include "ExcelSheetState.h"

#include "ExcelWorkbookState.h"
#include "SheetAddress.h"
#include "UnoRuntime.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/sheet/XFormulaParser.hpp>
#include <com/sun/star/sheet/XFormulaTokens.hpp>
#include <com/sun/star/sheet/XNamedRange.hpp>
#include <com/sun/star/sheet/XNamedRanges.hpp>
#include <com/sun/star/sheet/XPrintAreas.hpp>

#include <algorithm>

using namespace css;
using table::CellRangeAddress;

namespace {
const QString PRINT_AREA = QStringLiteral("Print_Area");
const QString PRINT_TITLES = QStringLiteral("Print_Titles");
// What the office names the settings it read from a workbook.
const QString IMPORTED_PREFIX = QStringLiteral("_xlnm.");
} // namespace

ExcelSheetState::ExcelSheetState(UnoObject sheet, int index)
    : m_sheet(std::move(sheet))
    , m_index(index)
{ }

UnoObject &ExcelSheetState::sheet() { return m_sheet; }

int ExcelSheetState::index() const { return m_index; }

const QString &ExcelSheetState::name()
{
    if (!m_nameRead) {
        m_name = toQString(m_sheet.as<container::XNamed>()->getName());
        m_nameRead = true;
    }
    return m_name;
}

QList<CellRangeAddress> ExcelSheetState::printAreas()
{
    QList<CellRangeAddress> areas;
    for (const CellRangeAddress &area : m_sheet.as<sheet::XPrintAreas>()->getPrintAreas())
        areas.append(area);
    return areas;
}

void ExcelSheetState::setPrintAreas(const QList<CellRangeAddress> &areas)
{
    uno::Sequence<CellRangeAddress> sequence(areas.size());
    for (int i = 0; i < areas.size(); ++i) {
        sequence[i] = areas.at(i);
        sequence[i].Sheet = static_cast<sal_Int16>(m_index);
    }
    m_sheet.as<sheet::XPrintAreas>()->setPrintAreas(sequence);
    dropImported("_xlnm.Print_Area");
}

bool ExcelSheetState::titleRows(CellRangeAddress *rows)
{
    const uno::Reference<sheet::XPrintAreas> areas = m_sheet.as<sheet::XPrintAreas>();
    if (!areas->getPrintTitleRows())
        return false;
    *rows = areas->getTitleRows();
    rows->StartColumn = 0;
    rows->EndColumn = SheetAddress::MAX_COLUMNS - 1;
    return true;
}

bool ExcelSheetState::titleColumns(CellRangeAddress *columns)
{
    const uno::Reference<sheet::XPrintAreas> areas = m_sheet.as<sheet::XPrintAreas>();
    if (!areas->getPrintTitleColumns())
        return false;
    *columns = areas->getTitleColumns();
    columns->StartRow = 0;
    columns->EndRow = SheetAddress::MAX_ROWS - 1;
    return true;
}

void ExcelSheetState::setTitleRows(const CellRangeAddress *rows)
{
    const uno::Reference<sheet::XPrintAreas> areas = m_sheet.as<sheet::XPrintAreas>();
    if (rows) {
        CellRangeAddress titles = *rows;
        titles.Sheet = static_cast<sal_Int16>(m_index);
        areas->setTitleRows(titles);
    }
    areas->setPrintTitleRows(rows != nullptr);
    dropImported("_xlnm.Print_Titles");
}

void ExcelSheetState::clearTitleColumns()
{
    m_sheet.as<sheet::XPrintAreas>()->setPrintTitleColumns(false);
    dropImported("_xlnm.Print_Titles");
}

UnoObject &ExcelSheetState::localNames()
{
    if (!m_localNames.is())
        m_localNames = UnoObject::fromAny(m_sheet.as<beans::XPropertySet>()->getPropertyValue("NamedRanges"));
    return m_localNames;
}

void ExcelSheetState::dropImported(const char *name)
{
    const uno::Reference<sheet::XNamedRanges> names = localNames().as<sheet::XNamedRanges>();
    const rtl::OUString imported = rtl::OUString::createFromAscii(name);
    if (names->hasByName(imported))
        names->removeByName(imported);
}

const QList<ExcelSheetState::Name> &ExcelSheetState::names(int revision)
{
    return m_names.get(revision, [this] {
        QList<Name> names;
        for (const rtl::OUString &defined : localNames().as<sheet::XNamedRanges>()->getElementNames()) {
            const QString local = toQString(defined);
            if (!local.startsWith(IMPORTED_PREFIX))
                names.append(Name{Name::Kind::Defined, local});
        }
        if (!printAreas().isEmpty())
            names.append(Name{Name::Kind::PrintArea, PRINT_AREA});
        CellRangeAddress titles;
        if (titleRows(&titles) || titleColumns(&titles))
            names.append(Name{Name::Kind::PrintTitles, PRINT_TITLES});
        std::sort(names.begin(), names.end(),
                  [](const Name &a, const Name &b) { return a.local.compare(b.local, Qt::CaseInsensitive) < 0; });
        return names;
    });
}

QString ExcelSheetState::qualified(const Name &name) { return SheetAddress::sheetPrefix(this->name()) + name.local; }

QString ExcelSheetState::value(const Name &name, ExcelWorkbookState &workbook, ExcelSession &session)
{
    QStringList areas;
    const QString prefix = SheetAddress::sheetPrefix(this->name());
    CellRangeAddress titles;
    switch (name.kind) {
    case Name::Kind::PrintArea:
        for (const CellRangeAddress &area : printAreas())
            areas.append(prefix + SheetAddress::absolute(area));
        break;
    case Name::Kind::PrintTitles:
        // Columns first, as Excel writes the union.
        if (titleColumns(&titles))
            areas.append(prefix + SheetAddress::absolute(titles));
        if (titleRows(&titles))
            areas.append(prefix + SheetAddress::absolute(titles));
        break;
    case Name::Kind::Defined: {
        const uno::Reference<sheet::XNamedRanges> names = localNames().as<sheet::XNamedRanges>();
        UnoObject named = UnoObject::fromAny(names->getByName(toOUString(name.local)));
        const uno::Reference<sheet::XFormulaTokens> tokens = named.as<sheet::XFormulaTokens>();
        const table::CellAddress position = named.as<sheet::XNamedRange>()->getReferencePosition();
        areas.append(toQString(workbook.formulaParser(session).as<sheet::XFormulaParser>()->printFormula(
                tokens->getTokens(), position)));
        break;
    }
    }
    return QLatin1Char('=') + areas.join(QLatin1Char(','));
}

void ExcelSheetState::remove(const Name &name)
{
    switch (name.kind) {
    case Name::Kind::PrintArea:
        setPrintAreas({});
        break;
    case Name::Kind::PrintTitles:
        setTitleRows(nullptr);
        clearTitleColumns();
        break;
    case Name::Kind::Defined:
        localNames().as<sheet::XNamedRanges>()->removeByName(toOUString(name.local));
        break;
    }
}

UnoObject ExcelSheetState::definedName(const QString &local)
{
    const uno::Reference<sheet::XNamedRanges> names = localNames().as<sheet::XNamedRanges>();
    for (const rtl::OUString &defined : names->getElementNames()) {
        if (toQString(defined).compare(local, Qt::CaseInsensitive) == 0)
            return UnoObject::fromAny(names->getByName(defined));
    }
    return UnoObject();
}
