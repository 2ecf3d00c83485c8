#include "ExcelWorkbookState.h"

#include "EmulatedObject.h"
#include "ExcelSession.h"
#include "UnoRuntime.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/AddressConvention.hpp>
#include <com/sun/star/sheet/XNamedRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/util/Date.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XNumberFormatTypes.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

using namespace css;

namespace {
// Excel's format codes are English ones.
const lang::Locale FORMAT_LOCALE("en", "US", "");
} // namespace

ExcelWorkbookState::ExcelWorkbookState(const uno::Reference<lang::XComponent> &component,
                                       const uno::Reference<uno::XInterface> &identity)
    : OfficeDocumentState(component, identity, QStringLiteral("The workbook has been closed"))
{ }

const QList<std::shared_ptr<ExcelSheetState>> &ExcelWorkbookState::sheets()
{
    if (!m_sheetsRead) {
        const uno::Reference<container::XIndexAccess> all(model().as<sheet::XSpreadsheetDocument>()->getSheets(),
                                                          uno::UNO_QUERY_THROW);
        const sal_Int32 count = all->getCount();
        for (sal_Int32 index = 0; index < count; ++index)
            m_sheets.append(std::make_shared<ExcelSheetState>(
                    UnoObject(interfaceOf<sheet::XSpreadsheet>(all->getByIndex(index))), index));
        m_sheetsRead = true;
    }
    return m_sheets;
}

std::shared_ptr<ExcelSheetState> ExcelWorkbookState::sheetNamed(const QString &name)
{
    for (const std::shared_ptr<ExcelSheetState> &sheet : sheets()) {
        if (sheet->name().compare(name, Qt::CaseInsensitive) == 0)
            return sheet;
    }
    return nullptr;
}

std::shared_ptr<ExcelSheetState> ExcelWorkbookState::sheetAt(int index)
{
    return index >= 0 && index < sheets().size() ? sheets().at(index) : nullptr;
}

UnoObject &ExcelWorkbookState::numberFormats()
{
    if (!m_numberFormats.is())
        m_numberFormats = UnoObject(model().as<util::XNumberFormatsSupplier>()->getNumberFormats());
    return m_numberFormats;
}

const ExcelWorkbookState::Format &ExcelWorkbookState::format(int key)
{
    // A key's format never changes while the workbook is open.
    const auto known = m_formats.constFind(key);
    if (known != m_formats.constEnd())
        return *known;
    const uno::Reference<beans::XPropertySet> properties = numberFormats().as<util::XNumberFormats>()->getByKey(key);
    Format format;
    rtl::OUString code;
    properties->getPropertyValue("FormatString") >>= code;
    properties->getPropertyValue("Type") >>= format.type;
    format.code = toQString(code);
    return *m_formats.insert(key, format);
}

int ExcelWorkbookState::formatKey(const QString &code)
{
    const auto known = m_keys.constFind(code);
    if (known != m_keys.constEnd())
        return *known;
    const uno::Reference<util::XNumberFormats> formats = numberFormats().as<util::XNumberFormats>();
    sal_Int32 key = formats->queryKey(toOUString(code), FORMAT_LOCALE, false);
    if (key < 0)
        key = formats->addNew(toOUString(code), FORMAT_LOCALE);
    m_keys.insert(code, key);
    return key;
}

int ExcelWorkbookState::standardFormat(short type, int *cached)
{
    if (*cached < 0)
        *cached = numberFormats().as<util::XNumberFormatTypes>()->getStandardFormat(type, FORMAT_LOCALE);
    return *cached;
}

int ExcelWorkbookState::booleanFormat() { return standardFormat(util::NumberFormat::LOGICAL, &m_booleanFormat); }

int ExcelWorkbookState::dateTimeFormat() { return standardFormat(util::NumberFormat::DATETIME, &m_dateTimeFormat); }

QDate ExcelWorkbookState::nullDate()
{
    if (!m_nullDate.isValid()) {
        util::Date date(30, 12, 1899);
        model().as<util::XNumberFormatsSupplier>()->getNumberFormatSettings()->getPropertyValue("NullDate") >>= date;
        m_nullDate = QDate(date.Year, date.Month, date.Day);
    }
    return m_nullDate;
}

UnoObject &ExcelWorkbookState::formulaParser(ExcelSession &session)
{
    if (!m_formulaParser.is()) {
        const uno::Reference<beans::XPropertySet> parser(
                model().as<lang::XMultiServiceFactory>()->createInstance("com.sun.star.sheet.FormulaParser"),
                uno::UNO_QUERY_THROW);
        parser->setPropertyValue("OpCodeMap", uno::Any(session.excelOpCodes(*this).map));
        parser->setPropertyValue("CompileEnglish", uno::Any(true));
        parser->setPropertyValue("FormulaConvention", uno::Any(sheet::AddressConvention::XL_A1));
        m_formulaParser = UnoObject(parser);
    }
    return m_formulaParser;
}

UnoObject &ExcelWorkbookState::namedRanges()
{
    if (!m_namedRanges.is())
        m_namedRanges = UnoObject::fromAny(model().as<beans::XPropertySet>()->getPropertyValue("NamedRanges"));
    return m_namedRanges;
}

UnoObject ExcelWorkbookState::definedName(const QString &name)
{
    const uno::Reference<sheet::XNamedRanges> names = namedRanges().as<sheet::XNamedRanges>();
    for (const rtl::OUString &defined : names->getElementNames()) {
        if (toQString(defined).compare(name, Qt::CaseInsensitive) == 0)
            return UnoObject::fromAny(names->getByName(defined));
    }
    return UnoObject();
}
