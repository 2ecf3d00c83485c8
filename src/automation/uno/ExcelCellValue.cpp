#include "ExcelCellValue.h"

#include "ExcelSession.h"
#include "ExcelWorkbookState.h"
#include "UnoProperties.h"
#include "UnoRuntime.h"

#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XFormulaParser.hpp>
#include <com/sun/star/sheet/XFormulaTokens.hpp>
#include <com/sun/star/sheet/XSheetOperation.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/NumberFormat.hpp>

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

using namespace css;

namespace ExcelCellValue {

namespace {

const qint64 MS_PER_DAY = 24 * 60 * 60 * 1000;
const int NUMBER_FORMAT_KEY = 2;

// Excel's error values (CVErr) as the automation bridge hands them over:
// 0x800A0000 plus the error's number.
int excelError(sal_Int32 officeError)
{
    int number = 2015; // #VALUE!, for whatever Excel has no value of its own
    switch (officeError) {
    case 532:
        number = 2007;
        break; // #DIV/0!
    case 524:
        number = 2023;
        break; // #REF!
    case 525:
        number = 2029;
        break; // #NAME?
    case 503:
        number = 2036;
        break; // #NUM!
    case 32767:
        number = 2042;
        break; // #N/A
    case 521:
        number = 2000;
        break; // #NULL!
    default:
        break;
    }
    return static_cast<int>(0x800A0000u + static_cast<unsigned>(number));
}

QDateTime dateOf(ExcelWorkbookState &workbook, double serial)
{
    const double days = std::floor(serial);
    qint64 ms = std::llround((serial - days) * MS_PER_DAY);
    QDate date = workbook.nullDate().addDays(static_cast<qint64>(days));
    if (ms >= MS_PER_DAY) {
        date = date.addDays(1);
        ms -= MS_PER_DAY;
    }
    return QDateTime(date, QTime(0, 0).addMSecs(static_cast<int>(ms)));
}

double serialOf(ExcelWorkbookState &workbook, const QDateTime &when)
{
    return workbook.nullDate().daysTo(when.date()) + when.time().msecsSinceStartOfDay() / double(MS_PER_DAY);
}

bool isDateFormat(short type) { return (type & (util::NumberFormat::DATE | util::NumberFormat::TIME)) != 0; }

void setFormat(const uno::Reference<table::XCell> &cell, int key)
{
    uno::Reference<beans::XPropertySet>(cell, uno::UNO_QUERY_THROW)->setPropertyValue("NumberFormat", uno::Any(key));
}

void clear(const uno::Reference<table::XCell> &cell)
{
    uno::Reference<sheet::XSheetOperation>(cell, uno::UNO_QUERY_THROW)
            ->clearContents(sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME | sheet::CellFlags::STRING
                            | sheet::CellFlags::FORMULA);
}

void writeFormula(ExcelWorkbookState &workbook, ExcelSession &session, const uno::Reference<table::XCell> &cell,
                  const table::CellAddress &position, const QString &formula)
{
    const uno::Sequence<sheet::FormulaToken> tokens =
            workbook.formulaParser(session).as<sheet::XFormulaParser>()->parseFormula(toOUString(formula), position);
    uno::Reference<sheet::XFormulaTokens>(cell, uno::UNO_QUERY_THROW)->setTokens(tokens);
}

void writeBoolean(ExcelWorkbookState &workbook, const uno::Reference<table::XCell> &cell, bool value)
{
    cell->setValue(value ? 1 : 0);
    setFormat(cell, workbook.booleanFormat());
}

void writeText(ExcelWorkbookState &workbook, ExcelSession &session, const uno::Reference<table::XCell> &cell,
               const table::CellAddress &position, const QString &text)
{
    if (text.isEmpty()) {
        clear(cell);
        return;
    }
    if (text.startsWith(QLatin1Char('='))) {
        writeFormula(workbook, session, cell, position, text);
        return;
    }
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?\\s*$"));
    if (number.match(text).hasMatch()) {
        cell->setValue(text.trimmed().toDouble());
        return;
    }
    if (text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0
        || text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
        writeBoolean(workbook, cell, text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0);
        return;
    }
    // A leading apostrophe makes the office take the rest as text, exactly.
    const QString literal = text.startsWith(QLatin1Char('\'')) ? text.mid(1) : text;
    cell->setFormula(toOUString(QLatin1Char('\'') + literal));
}

} // namespace

QVariant read(ExcelWorkbookState &workbook, const uno::Reference<table::XCell> &cell)
{
    static const uno::Sequence<rtl::OUString> names =
            sequenceOf<rtl::OUString>({"CellContentType", "FormulaResultType2", "NumberFormat"});
    const uno::Sequence<uno::Any> values =
            uno::Reference<beans::XMultiPropertySet>(cell, uno::UNO_QUERY_THROW)->getPropertyValues(names);
    table::CellContentType content = table::CellContentType_EMPTY;
    values[0] >>= content;
    sal_Int32 result = 0;
    values[1] >>= result;
    if (content == table::CellContentType_EMPTY)
        return QVariant();
    if (content == table::CellContentType_TEXT) {
        // The text itself, or a formula's text result; never what a format makes of it.
        const uno::Sequence<uno::Sequence<uno::Any>> data =
                uno::Reference<sheet::XCellRangeData>(cell, uno::UNO_QUERY_THROW)->getDataArray();
        rtl::OUString text;
        if (data.hasElements() && data[0].hasElements())
            data[0][0] >>= text;
        return toQString(text);
    }
    if (result == sheet::FormulaResult::ERROR)
        return excelError(cell->getError());
    const bool isFormula = result == sheet::FormulaResult::VALUE;
    const double value = cell->getValue();
    sal_Int32 key = 0;
    values[NUMBER_FORMAT_KEY] >>= key;
    const short type = workbook.format(key).type;
    if (isDateFormat(type))
        return dateOf(workbook, value);
    if (type & util::NumberFormat::LOGICAL)
        return value != 0;
    // A formula such as =A1>1 yields a boolean the office shows without a boolean format.
    if (isFormula && (value == 0 || value == 1) && workbook.format(key).code == QLatin1String("General")) {
        const QString shown = toQString(uno::Reference<text::XTextRange>(cell, uno::UNO_QUERY_THROW)->getString());
        if (shown == QLatin1String("TRUE") || shown == QLatin1String("FALSE"))
            return value != 0;
    }
    return value;
}

void write(ExcelWorkbookState &workbook, ExcelSession &session, const uno::Reference<table::XCell> &cell,
           const table::CellAddress &position, const QVariant &value)
{
    switch (static_cast<QMetaType::Type>(value.userType())) {
    case QMetaType::Bool:
        writeBoolean(workbook, cell, value.toBool());
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        cell->setValue(value.toDouble());
        return;
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        const QDateTime when = value.toDateTime();
        cell->setValue(serialOf(workbook, when));
        setFormat(cell, workbook.dateTimeFormat());
        return;
    }
    case QMetaType::UnknownType:
        clear(cell);
        return;
    default:
        writeText(workbook, session, cell, position, value.toString());
        return;
    }
}

QString formula(ExcelWorkbookState &workbook, ExcelSession &session, const uno::Reference<table::XCell> &cell,
                const table::CellAddress &position)
{
    switch (cell->getType()) {
    case table::CellContentType_EMPTY:
        return QString();
    case table::CellContentType_FORMULA: {
        uno::Sequence<sheet::FormulaToken> tokens =
                uno::Reference<sheet::XFormulaTokens>(cell, uno::UNO_QUERY_THROW)->getTokens();
        // A reference to a deleted cell comes out as an empty constant: Excel writes it #REF!.
        const ExcelOpCodes &opCodes = session.excelOpCodes(workbook);
        for (sheet::FormulaToken &token : tokens) {
            if (token.OpCode == opCodes.push && !token.Data.hasValue()) {
                token.OpCode = opCodes.bad;
                token.Data <<= rtl::OUString("#REF!");
            }
        }
        return QLatin1Char('=')
                + toQString(
                        workbook.formulaParser(session).as<sheet::XFormulaParser>()->printFormula(tokens, position));
    }
    case table::CellContentType_TEXT: {
        QString text = toQString(cell->getFormula());
        return text.startsWith(QLatin1Char('\'')) ? text.mid(1) : text;
    }
    default:
        return toQString(cell->getFormula());
    }
}

void setFormula(ExcelWorkbookState &workbook, ExcelSession &session, const uno::Reference<table::XCell> &cell,
                const table::CellAddress &position, const QString &formula)
{
    writeText(workbook, session, cell, position, formula);
}

QString numberFormat(ExcelWorkbookState &workbook, const uno::Reference<table::XCell> &cell)
{
    sal_Int32 key = 0;
    uno::Reference<beans::XPropertySet>(cell, uno::UNO_QUERY_THROW)->getPropertyValue("NumberFormat") >>= key;
    return workbook.format(key).code;
}

void setNumberFormat(ExcelWorkbookState &workbook, const uno::Reference<table::XCell> &cell, const QString &code)
{
    setFormat(cell, workbook.formatKey(code));
}

} // namespace ExcelCellValue
