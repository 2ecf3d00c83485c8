#include "SpreedSheetWorksheet.h"

#include "AnswerLimits.h"
#include "MsOfficeExcelPrintOptions.h"
#include "MsOfficeExcelRange.h"
#include "MsOfficeExcelWorksheet.h"
#include "SpreedSheetRange.h"

#include <QDebug>
#include <QSet>

namespace SpreedSheet {

namespace {

const QLatin1Char RANGE_SEPARATOR(',');
const QLatin1Char AREA_MARK(':');

void log(const QString &text) { qDebug().noquote() << text; }

void logRequest(const char *slot, const QString &handlerId)
{
    log(QStringLiteral("[SpreedSheet::Worksheet::%1] Получен запрос. HandlerId: %2")
                .arg(QLatin1String(slot), handlerId));
}

QVariant valueOf(Range &range) { return range.getValue(); }
QVariant formulaOf(Range &range) { return range.getFormula(); }
QVariant formatOf(Range &range) { return range.getFormat(); }

} // namespace

const int Worksheet::MAX_FOUND_CELLS = 1000000;

Worksheet::Worksheet(MsOfficeExcel::Worksheet *worksheet, QObject *parent)
    : QObject(parent)
    , m_worksheet(worksheet)
{
    connect(m_worksheet, &MsOfficeExcel::Worksheet::calculated, this, &Worksheet::calculatedHandler);
}

QStringList Worksheet::getWatchedCells() const { return m_watchedCells; }

std::unique_ptr<Range> Worksheet::getRange(const QString &address)
{
    log(QStringLiteral("[SpreedSheet::Worksheet::getRange] Ole объект существует: %1")
                .arg(m_worksheet->isXaObjectNull() ? 0 : 1));
    MsOfficeExcel::Range *range = m_worksheet->getRange(address);
    return range ? std::make_unique<Range>(range, this) : nullptr;
}

bool Worksheet::print(const QString &printerName, const QVariantMap &printOptions)
{
    MsOfficeExcel::PrintOptions options;
    options.initFrom(printOptions);
    return m_worksheet->print(printerName, options);
}

bool Worksheet::printRange(const QString &cellRange, const QString &printerName, const QVariantMap &printOptions)
{
    const std::unique_ptr<Range> range = getRange(cellRange);
    if (!range) {
        log(QStringLiteral("[SpreedSheet::Worksheet::printRange] Не найден диапазон %1").arg(cellRange));
        return false;
    }
    return range->print(printerName, printOptions);
}

void Worksheet::s_getCellValue(const QString &handlerId, const QString &cell)
{
    Q_UNUSED(handlerId)
    Q_UNUSED(cell)
}

void Worksheet::setCellValue(const QString &handlerId, const QString &cell, const QVariant &value, const QString &text)
{
    log(QStringLiteral("[SpreedSheet::Worksheet::s_setCellValue] Выставляем значение в ячейку %1. Значение: %2")
                .arg(cell, text));
    if (const std::unique_ptr<Range> range = getRange(cell))
        range->setValue(value);
    emit s_setCellValueResult(handlerId, cell, value);
}

void Worksheet::s_setCellValue(const QString &handlerId, const QString &cell, const QString &value)
{
    setCellValue(handlerId, cell, value, value);
}

void Worksheet::s_setCellValue(const QString &handlerId, const QString &cell, int value)
{
    setCellValue(handlerId, cell, value, QString::number(value));
}

void Worksheet::s_setCellValue(const QString &handlerId, const QString &cell, double value)
{
    setCellValue(handlerId, cell, value, QString::number(value));
}

void Worksheet::writeCells(Write kind, const QVariantMap &cells)
{
    const QString slot = kind == Write::Value ? QStringLiteral("s_setCellValues")
            : kind == Write::Formula          ? QStringLiteral("s_setFormulasRange")
                                              : QStringLiteral("s_setFormatsRange");
    const QString prefix = QStringLiteral("[SpreedSheet::Worksheet::%1] ").arg(slot);
    log(prefix + QStringLiteral("Ключи %1").arg(cells.keys().join(QStringLiteral(", "))));
    // In key order: A10 comes before A2.
    for (auto it = cells.constBegin(); it != cells.constEnd(); ++it) {
        const QString &cell = it.key();
        if (kind == Write::Value)
            log(prefix + QStringLiteral("Выставляем значение в ячейку %1").arg(cell));
        else if (kind == Write::Formula)
            log(prefix + QStringLiteral("Выставляем формулу значение в ячейку %1").arg(cell));
        else
            log(prefix + QStringLiteral("Выставляем формат ячейки %1 в %2").arg(cell, it.value().toString()));
        const std::unique_ptr<Range> range = getRange(cell);
        if (!range) {
            log(prefix + QStringLiteral("Ячейка %1 не найдена").arg(cell));
            continue;
        }
        if (kind == Write::Value)
            range->setValue(it.value());
        else if (kind == Write::Formula)
            range->setFormula(it.value().toString());
        else
            range->setFormat(it.value().toString());
    }
}

void Worksheet::s_setCellValues(const QString &handlerId, const QVariantMap &cellValues)
{
    writeCells(Write::Value, cellValues);
    emit s_setCellValuesResult(handlerId);
}

QVariantMap Worksheet::readCells(const QStringList &cells, QVariant (*read)(Range &range))
{
    QVariantMap values;
    for (const QString &cell : cells) {
        if (const std::unique_ptr<Range> range = getRange(cell))
            values.insert(cell, read(*range));
    }
    return values;
}

void Worksheet::s_getCellsValue(const QString &handlerId, const QStringList &cells)
{
    logRequest("s_getCellsValue", handlerId);
    emit s_getCellsValueResult(
            handlerId, cells,
            AnswerLimits::fitted(readCells(cells, valueOf), QStringLiteral("s_getCellsValue"), handlerId));
}

void Worksheet::s_getCellRangeValue(const QString &handlerId, const QString &cellRange)
{
    log(QStringLiteral("[SpreedSheet::Worksheet::s_getCellRangeValue] Получние значение из диапазона ячеек  %1")
                .arg(cellRange));
    const std::unique_ptr<Range> range = getRange(cellRange);
    emit s_getCellRangeValueResult(handlerId, cellRange,
                                   AnswerLimits::fitted(range ? range->getValues() : QVariantList(),
                                                        QStringLiteral("s_getCellRangeValue"), handlerId));
}

QVariant Worksheet::rangesEntry(const QString &entry)
{
    if (!entry.contains(RANGE_SEPARATOR)) {
        const std::unique_ptr<Range> range = getRange(entry);
        return range ? range->getValues() : QVariantList();
    }
    // A flat list: the first row of each area, the value of each single cell.
    QVariantList parts;
    for (const QString &part : entry.split(RANGE_SEPARATOR)) {
        const std::unique_ptr<Range> range = getRange(part);
        if (!range)
            continue;
        if (!part.contains(AREA_MARK)) {
            parts.append(range->getValue());
            continue;
        }
        const QVariantList rows = range->getValues();
        if (!rows.isEmpty())
            parts.append(rows.first());
    }
    return parts;
}

void Worksheet::s_getCellRangesValue(const QString &handlerId, const QStringList &cellRanges)
{
    logRequest("s_getCellRangesValue", handlerId);
    QVariantMap values;
    for (const QString &entry : cellRanges)
        values.insert(entry, rangesEntry(entry));
    emit s_getCellRangesValueResult(handlerId, cellRanges,
                                    AnswerLimits::fitted(values, QStringLiteral("s_getCellRangesValue"), handlerId));
}

void Worksheet::s_getFormulasRange(const QString &handlerId, const QStringList &cellRange)
{
    logRequest("s_getFormulasRange", handlerId);
    emit s_getFormulasRangeResult(
            handlerId, cellRange,
            AnswerLimits::fitted(readCells(cellRange, formulaOf), QStringLiteral("s_getFormulasRange"), handlerId));
}

void Worksheet::s_setFormulasRange(const QString &handlerId, const QVariantMap &cellMaps)
{
    writeCells(Write::Formula, cellMaps);
    emit s_setFormulasRangeResult(handlerId, cellMaps);
}

void Worksheet::s_getFormatsRange(const QString &handlerId, const QStringList &cellRange)
{
    logRequest("s_getFormatsRange", handlerId);
    emit s_getFormatsRangeResult(
            handlerId, cellRange,
            AnswerLimits::fitted(readCells(cellRange, formatOf), QStringLiteral("s_getFormatsRange"), handlerId));
}

void Worksheet::s_setFormatsRange(const QString &handlerId, const QVariantMap &cellMaps)
{
    writeCells(Write::Format, cellMaps);
    emit s_setFormatsRangeResult(handlerId, cellMaps);
}

void Worksheet::s_findCellByValue(const QString &handlerId, const QString &cellValue)
{
    logRequest("s_findCellByValue", handlerId);
    const std::unique_ptr<MsOfficeExcel::Range> found(m_worksheet->findCell(cellValue));
    QString cell;
    if (found) {
        cell = found->getAddressLocal();
        log(QStringLiteral("[s_findCellByValue] %1").arg(cell));
    } else {
        log(QStringLiteral("[s_findCellByValue] Not found by cell value '%1'").arg(cellValue));
    }
    emit s_findCellByValueResult(handlerId, cellValue, cell);
}

QStringList Worksheet::findAll(const QString &value)
{
    QStringList cells;
    QSet<QString> seen;
    std::unique_ptr<MsOfficeExcel::Range> current(m_worksheet->findCell(value));
    while (current) {
        const QString address = current->getAddressLocal();
        // Excel's search wraps around to the first match: the walk is complete.
        if (seen.contains(address))
            break;
        if (cells.size() >= MAX_FOUND_CELLS) {
            log(QStringLiteral("[s_findAllCellByValue] Поиск остановлен на %1 найденных ячейках").arg(cells.size()));
            break;
        }
        cells.append(address);
        seen.insert(address);
        current.reset(m_worksheet->findNextCell(current.get()));
    }
    return cells;
}

void Worksheet::s_findAllCellByValue(const QString &handlerId, const QString &cellValue)
{
    logRequest("s_findAllCellByValue", handlerId);
    const QStringList cells = findAll(cellValue);
    log(QStringLiteral("[s_findAllCellByValue] %1 ").arg(cells.join(QStringLiteral(", "))));
    emit s_findAllCellByValueResult(handlerId, cellValue,
                                    AnswerLimits::fitted(cells, QStringLiteral("s_findAllCellByValue"), handlerId));
}

void Worksheet::watch(const QStringList &cells)
{
    m_watchedCells.append(cells);
    m_watchedCells.removeDuplicates();
}

void Worksheet::unwatch(const QStringList &cells)
{
    for (const QString &cell : cells)
        m_watchedCells.removeAll(cell);
}

void Worksheet::s_addCellForEventChange(const QString &handlerId, const QString &cell)
{
    watch({cell});
    emit s_addedCellForEventChange(handlerId, cell);
}

void Worksheet::s_addCellsForEventChange(const QString &handlerId, const QStringList &cells)
{
    watch(cells);
    emit s_addedCellsForEventChange(handlerId, cells);
}

void Worksheet::s_removeCellForEventChange(const QString &handlerId, const QString &cell)
{
    unwatch({cell});
    emit s_removedCellForEventChange(handlerId, cell);
}

void Worksheet::s_removeCellsForEventChange(const QString &handlerId, const QStringList &cells)
{
    unwatch(cells);
    emit s_removedCellsForEventChange(handlerId, cells);
}

void Worksheet::calculatedHandler()
{
    // Every watched cell with its current value; nothing earlier is compared.
    emit s_cellsChanged(
            AnswerLimits::fitted(readCells(m_watchedCells, valueOf), QStringLiteral("s_cellsChanged"), QString()));
}

} // namespace SpreedSheet
