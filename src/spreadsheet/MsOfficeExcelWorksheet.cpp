#include "MsOfficeExcelWorksheet.h"

#include "AutomationObject.h"
#include "MsOfficeExcelPrintOptions.h"
#include "MsOfficeExcelRange.h"
#include "MsOfficeExcelSheetReference.h"

namespace MsOfficeExcel {

namespace {
const QString PRINT_AREA_NAME = QStringLiteral("Print_Area");
const QString PRINT_TITLES_NAME = QStringLiteral("Print_Titles");
const QString PRINT_TITLE_ROWS = QStringLiteral("PrintTitleRows");
} // namespace

Worksheet::Worksheet(AutomationObject *axObject, Link *link, QObject *parent)
    : Base(axObject, link, parent)
{
    registerCalculatedHandler();
}

QString Worksheet::getName() const { return getXaProperty("Name").toString(); }

Range *Worksheet::makeRange(AutomationObject *object)
{
    return object && !object->isNull() ? new Range(object, getLink(), this) : nullptr;
}

Range *Worksheet::getRange(const QString &firstCell, const QString &secondCell)
{
    if (secondCell.isEmpty())
        return makeRange(xaQuerySubObject("Range(QVariant)", {firstCell}));
    return makeRange(xaQuerySubObject("Range(QVariant,QVariant)", {firstCell, secondCell}));
}

Range *Worksheet::findCell(const QString &value)
{
    AutomationObject *cells = xaQuerySubObject("Cells");
    if (!cells)
        return nullptr;
    Range *found = makeRange(xaQuerySubObject("Find(QVariant)", {value}, cells));
    delete cells;
    return found;
}

Range *Worksheet::findNextCell(Range *previous)
{
    if (!previous || !previous->getAxObject())
        return nullptr;
    AutomationObject *cells = xaQuerySubObject("Cells");
    if (!cells)
        return nullptr;
    Range *found = makeRange(xaQuerySubObject("FindNext(QVariant)", {previous->getAxObject()->asVariant()}, cells));
    delete cells;
    return found;
}

bool Worksheet::print(const QString &printerName, const PrintOptions &options)
{
    if (isXaObjectNull())
        return false;
    if (options.isFilePathMissing()) {
        qDebugMessage(QStringLiteral("Печать в файл без пути к файлу не выполняется"));
        return false;
    }
    // From: unset means from page 1; To: unset means to the last page.
    QVariantList args{options.getPageFrom() > 0 ? options.getPageFrom() : 1,
                      options.getPageTo() > 0 ? QVariant(options.getPageTo()) : QVariant(),
                      options.getCopies(),
                      false,
                      printerName,
                      options.isPrintToFile(),
                      options.isCollate()};
    if (!options.isPrintToFile()) {
        xaDynamicCall("PrintOut(From:=const QVariant&, To:=const QVariant&, Copies:=const QVariant&, "
                      "Preview:=const QVariant&, ActivePrinter:=const QVariant&, PrintToFile:=const QVariant&, "
                      "Collate:=const QVariant&)",
                      args);
        return true;
    }
    // The output file is named, or the office would ask for it.
    args.append(options.getPrintToFilePath());
    xaDynamicCall("PrintOut(From:=const QVariant&, To:=const QVariant&, Copies:=const QVariant&, "
                  "Preview:=const QVariant&, ActivePrinter:=const QVariant&, PrintToFile:=const QVariant&, "
                  "Collate:=const QVariant&, PrToFileName:=const QVariant&)",
                  args);
    return true;
}

QString Worksheet::getPrintArea() { return readPageSetupValue(QStringLiteral("PrintArea"), PRINT_AREA_NAME); }

QString Worksheet::getPrintTitleRows() { return readPageSetupValue(PRINT_TITLE_ROWS, PRINT_TITLES_NAME); }

void Worksheet::setPageSetupProperty(const char *name, const QString &value)
{
    AutomationObject *pageSetup = xaQuerySubObject("PageSetup");
    if (!pageSetup)
        return;
    setXaProperty(name, value, pageSetup);
    delete pageSetup;
}

void Worksheet::setPrintArea(const QString &area) { setPageSetupProperty("PrintArea", area); }

void Worksheet::setPrintTitleRows(const QString &rows) { setPageSetupProperty("PrintTitleRows", rows); }

QMap<QString, QString> Worksheet::getInternalNames()
{
    QMap<QString, QString> names;
    AutomationObject *xaNames = xaQuerySubObject("Names");
    if (!xaNames)
        return names;
    const int count = getXaProperty("Count", 0, xaNames).toInt();
    for (int index = 1; index <= count; ++index) {
        AutomationObject *item = xaQuerySubObject("Item(QVariant)", {index}, xaNames);
        if (!item)
            continue;
        names.insert(getXaProperty("Name", QVariant(), item).toString(),
                     getXaProperty("Value", QVariant(), item).toString());
        delete item;
    }
    delete xaNames;
    return names;
}

QString Worksheet::getInternalNameValue(const QString &name)
{
    AutomationObject *xaNames = xaQuerySubObject("Names");
    if (!xaNames)
        return QString();
    const QString sheet = getName();
    const int count = getXaProperty("Count", 0, xaNames).toInt();
    QString value;
    for (int index = 1; index <= count; ++index) {
        AutomationObject *item = xaQuerySubObject("Item(QVariant)", {index}, xaNames);
        if (!item)
            continue;
        const QString itemName = getXaProperty("Name", QVariant(), item).toString();
        const bool found = SheetReference::isLocalName(itemName, sheet, name);
        if (found)
            value = getXaProperty("Value", QVariant(), item).toString();
        delete item;
        if (found)
            break;
    }
    delete xaNames;
    return value;
}

QString Worksheet::readPageSetupValue(const QString &pageSetupName, const QString &internalName)
{
    AutomationObject *pageSetup = xaQuerySubObject("PageSetup");
    if (!pageSetup)
        return QString();
    const QByteArray property = pageSetupName.toLatin1();
    QString value = getXaProperty(property.constData(), QVariant(), pageSetup).toString();
    delete pageSetup;
    const QString sheet = getName();
    qDebugMessage(QStringLiteral("[readPageSetupValue] Workbook '%1'; pageSetupName=%2; internalName=%3; value: %4")
                          .arg(sheet, pageSetupName, internalName, value));
    if (!value.isEmpty())
        return value;
    const QString nameValue = getInternalNameValue(internalName);
    qDebugMessage(QStringLiteral("[readPageSetupValue] Workbook '%1'; pageSetupName=%2; internalName=%3; value: %4; "
                                 "internalNameValue: %5")
                          .arg(sheet, pageSetupName, internalName, value, nameValue));
    if (nameValue.isEmpty())
        return value;
    value = SheetReference::localAreas(nameValue, sheet);
    return pageSetupName == PRINT_TITLE_ROWS ? SheetReference::rowAreas(value) : value;
}

void Worksheet::removePrintSettingFromNames()
{
    AutomationObject *xaNames = xaQuerySubObject("Names");
    if (!xaNames)
        return;
    const QString sheet = getName();
    const int count = getXaProperty("Count", 0, xaNames).toInt();
    qDebugMessage(QStringLiteral("[removePrintSettingFromNames] Worksheet '%1'. Internal names count: %2")
                          .arg(sheet)
                          .arg(count));
    // Backwards: deleting a name shifts the indexes of the later ones.
    for (int index = count; index >= 1; --index) {
        AutomationObject *item = xaQuerySubObject("Item(QVariant)", {index}, xaNames);
        if (!item)
            continue;
        const QString name = getXaProperty("Name", QVariant(), item).toString();
        if (name.contains(PRINT_AREA_NAME) || name.contains(PRINT_TITLES_NAME)) {
            qDebugMessage(QStringLiteral("[removePrintSettingFromNames] Worksheet '%1'. Remove internal name '%2'")
                                  .arg(sheet, name));
            xaDynamicCall("Delete()", item);
        }
        delete item;
    }
    delete xaNames;
}

bool Worksheet::close()
{
    deleteAxObject();
    return true;
}

void Worksheet::registerCalculatedHandler() { }

void Worksheet::calculatedHandler() { }

} // namespace MsOfficeExcel
