#include "MsOfficeExcelWorkbook.h"

#include "AutomationObject.h"
#include "MsOfficeExcelRange.h"
#include "MsOfficeExcelWorksheet.h"

#include <QDebug>
#include <QDir>

namespace MsOfficeExcel {

namespace {
const QString PRINT_AREA = QStringLiteral("PrintArea");
const QString PRINT_TITLE_ROWS = QStringLiteral("PrintTitleRows");

QString resultText(const QVariant &result)
{
    return result.toBool() ? QStringLiteral("true") : QStringLiteral("false");
}
} // namespace

Workbook::Workbook(AutomationObject *axObject, Link *link, QObject *parent)
    : Base(axObject, link, parent)
{ }

bool Workbook::isActive() const { return !isXaObjectNull(); }

QString Workbook::getFilePath() const
{
    if (!isActive())
        return QString();
    return QDir::fromNativeSeparators(getXaProperty("FullName").toString());
}

bool Workbook::save()
{
    xaDynamicCall("Save()");
    return true;
}

bool Workbook::saveAs(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    qDebugMessage(QStringLiteral("Save document to '%1'. Native separator: '%2'").arg(path, native));
    const QVariant result = xaDynamicCall("SaveAs(QVariant,QVariant,QVariant,QVariant,QVariant)", {native});
    qDebugMessage(QStringLiteral("Document saved to '%1'. Native separator: '%2'. Result: %3")
                          .arg(path, native, resultText(result)));
    return true;
}

bool Workbook::saveCopyAs(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    qDebugMessage(QStringLiteral("Save copy document to '%1'. Native separator: '%2'").arg(path, native));
    const QVariant result = xaDynamicCall("SaveCopyAs(QVariant)", {native});
    qDebugMessage(QStringLiteral("Copy Document saved to '%1'. Native separator: '%2'. Result: %3")
                          .arg(path, native, resultText(result)));
    return true;
}

bool Workbook::close(bool saveChanges)
{
    for (Worksheet *worksheet : getWorksheets())
        worksheet->close();
    delete m_xaWorksheets;
    m_xaWorksheets = nullptr;
    if (getAxObject()) {
        xaDynamicCall("Close(QVariant)", {saveChanges});
        deleteAxObject();
    }
    return true;
}

AutomationObject *Workbook::getXaWorksheets()
{
    if (!m_xaWorksheets) {
        m_xaWorksheets = xaQuerySubObject("Worksheets");
        if (m_xaWorksheets) {
            logObjectInfo(QStringLiteral("xaWorksheets"), m_xaWorksheets);
            watchExceptions(m_xaWorksheets);
        }
    }
    return m_xaWorksheets;
}

int Workbook::getXaWorksheetsCount()
{
    AutomationObject *worksheets = getXaWorksheets();
    return worksheets ? getXaProperty("Count", 0, worksheets).toInt() : 0;
}

AutomationObject *Workbook::getXaWorksheet(int index)
{
    if (index < 0 || index + 1 > getXaWorksheetsCount())
        return nullptr;
    return xaQuerySubObject("Item(QVariant)", {index + 1}, getXaWorksheets());
}

AutomationObject *Workbook::getXaWorksheet(const QString &name)
{
    // Asked of the Worksheets collection, where Excel keeps sheets by name.
    AutomationObject *worksheets = getXaWorksheets();
    return worksheets ? xaQuerySubObject("Item(QVariant)", {name}, worksheets) : nullptr;
}

Worksheet *Workbook::makeWorksheet(AutomationObject *object)
{
    return object && !object->isNull() ? new Worksheet(object, getLink(), this) : nullptr;
}

Worksheet *Workbook::getWorksheet(int index)
{
    if (Worksheet *known = m_worksheetsByIndex.value(index))
        return known;
    Worksheet *worksheet = makeWorksheet(getXaWorksheet(index));
    if (!worksheet)
        return nullptr;
    qDebug().noquote() << QStringLiteral("[MsOfficeExcel::Workbook::getWorksheet] Ole объект существует: %1. ")
                                  .arg(worksheet->isXaObjectNull() ? 0 : 1);
    m_worksheetsByIndex.insert(index, worksheet);
    m_worksheetsByName.insert(worksheet->getName(), worksheet);
    m_worksheets.append(worksheet);
    return worksheet;
}

Worksheet *Workbook::getWorksheet(const QString &name)
{
    if (Worksheet *known = m_worksheetsByName.value(name))
        return known;
    Worksheet *worksheet = makeWorksheet(getXaWorksheet(name));
    if (!worksheet)
        return nullptr;
    m_worksheetsByName.insert(worksheet->getName(), worksheet);
    m_worksheets.append(worksheet);
    return worksheet;
}

void Workbook::initWorksheets()
{
    m_worksheets.clear();
    m_worksheetsByIndex.clear();
    m_worksheetsByName.clear();
    const int count = getXaWorksheetsCount();
    for (int index = 0; index < count; ++index)
        getWorksheet(index);
}

QList<Worksheet *> Workbook::getWorksheets()
{
    if (m_worksheets.isEmpty())
        initWorksheets();
    return m_worksheets;
}

QStringList Workbook::getWorksheetNames() const { return m_worksheetsByName.keys(); }

QVariantList Workbook::getNameRangeValues(const QString &name)
{
    AutomationObject *names = xaQuerySubObject("Names");
    AutomationObject *item = names ? xaQuerySubObject("Item(QVariant)", {name}, names) : nullptr;
    AutomationObject *refersTo = item ? xaQuerySubObject("RefersToRange", item) : nullptr;
    QVariantList values;
    if (refersTo && !refersTo->isNull()) {
        Range range(refersTo, getLink(), this);
        values = range.getValues();
    }
    delete item;
    delete names;
    return values;
}

void Workbook::restorePrintPageSettings()
{
    qDebugMessage(QStringLiteral("Restore page print settings"));
    qDebugMessage(QStringLiteral("Fetch current page print settings"));
    const PagePrintSettings settings = readWorksheetPagePrintSettings();
    qDebugMessage(QStringLiteral("Remove print page settings from internal names"));
    for (Worksheet *worksheet : getWorksheets())
        worksheet->removePrintSettingFromNames();
    qDebugMessage(QStringLiteral("Write page print settings"));
    changeWorksheetPagePrintSettings(settings);
}

Workbook::PagePrintSettings Workbook::readWorksheetPagePrintSettings()
{
    PagePrintSettings settings;
    for (Worksheet *worksheet : getWorksheets()) {
        const QString name = worksheet->getName();
        const QString area = worksheet->getPrintArea();
        const QString titleRows = worksheet->getPrintTitleRows();
        settings[name].insert(PRINT_AREA, area);
        settings[name].insert(PRINT_TITLE_ROWS, titleRows);
        qDebugMessage(QStringLiteral("[PrintArea] Worksheet '%1' print area is '%2'").arg(name, area));
        qDebugMessage(QStringLiteral("[PrintArea] Worksheet '%1' print title rows is '%2'").arg(name, titleRows));
        const QMap<QString, QString> names = worksheet->getInternalNames();
        for (auto it = names.constBegin(); it != names.constEnd(); ++it) {
            qDebugMessage(QStringLiteral("[PrintArea][InternalName] Worksheet %1 has internal name '%2' = %3")
                                  .arg(name, it.key(), it.value()));
        }
    }
    return settings;
}

void Workbook::changeWorksheetPagePrintSettings(const PagePrintSettings &settings)
{
    for (auto sheet = settings.constBegin(); sheet != settings.constEnd(); ++sheet) {
        Worksheet *worksheet = getWorksheet(sheet.key());
        if (!worksheet)
            continue;
        for (auto setting = sheet->constBegin(); setting != sheet->constEnd(); ++setting) {
            if (setting.key() == PRINT_AREA)
                worksheet->setPrintArea(setting.value());
            else if (setting.key() == PRINT_TITLE_ROWS)
                worksheet->setPrintTitleRows(setting.value());
        }
    }
}

} // namespace MsOfficeExcel
