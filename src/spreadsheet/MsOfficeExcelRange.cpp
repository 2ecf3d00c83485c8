#include "MsOfficeExcelRange.h"

#include "AutomationObject.h"
#include "MsOfficeExcelPrintOptions.h"

namespace MsOfficeExcel {

const qint64 Range::MAX_READ_CELLS = 1000000;

Range::Range(AutomationObject *axObject, Link *link, QObject *parent)
    : Base(axObject, link, parent)
{ }

QVariant Range::getValue() const { return getXaProperty("Value"); }

bool Range::setValue(const QVariant &value) { return setXaProperty("Value", value); }

QString Range::getFormula() const { return getXaProperty("Formula").toString(); }

bool Range::setFormula(const QString &formula) { return setXaProperty("Formula", formula); }

QString Range::getFormat() const { return getXaProperty("NumberFormat").toString(); }

bool Range::setFormat(const QString &format) { return setXaProperty("NumberFormat", format); }

int Range::getCount() const { return getXaProperty("Count", 0).toInt(); }

int Range::lineCount(const char *lines)
{
    AutomationObject *collection = xaQuerySubObject(lines);
    if (!collection)
        return getCount();
    const int count = getXaProperty("Count", 0, collection).toInt();
    delete collection;
    return count;
}

int Range::getRowsCount() { return lineCount("Rows"); }

int Range::getColumnsCount() { return lineCount("Columns"); }

QVariant Range::getCellValue(int row, int column)
{
    AutomationObject *cell = xaQuerySubObject("Cells(QVariant, QVariant)", {row + 1, column + 1});
    if (!cell)
        return QVariant();
    const QVariant value = getXaProperty("Value", QVariant(), cell);
    delete cell;
    return value;
}

QVariantList Range::getValues()
{
    const int rows = getRowsCount();
    const int columns = getColumnsCount();
    if (qint64(rows) * columns > MAX_READ_CELLS) {
        qDebugMessage(QStringLiteral("Диапазон %1 x %2 больше предела в %3 ячеек, значения не читаются")
                              .arg(rows)
                              .arg(columns)
                              .arg(MAX_READ_CELLS));
        return QVariantList();
    }
    QVariantList values;
    for (int row = 0; row < rows; ++row) {
        QVariantList line;
        for (int column = 0; column < columns; ++column)
            line.append(getCellValue(row, column));
        values.append(QVariant(line));
    }
    return values;
}

QString Range::getAddressLocal() { return xaDynamicCall("AddressLocal()").toString(); }

bool Range::print(const QString &printerName, const PrintOptions &options)
{
    if (isXaObjectNull())
        return false;
    if (options.isFilePathMissing()) {
        qDebugMessage(QStringLiteral("Печать в файл без пути к файлу не выполняется"));
        return false;
    }
    xaDynamicCall("PrintOut(QVariant, QVariant, QVariant, QVariant, QVariant, QVariant, QVariant, QVariant)",
                  options.toVariantList(printerName));
    return true;
}

} // namespace MsOfficeExcel
