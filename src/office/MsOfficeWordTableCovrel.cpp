#include "MsOfficeWordTableCovrel.h"

#include "AutomationObject.h"
#include "MsOfficeWordTableCellCovrel.h"
#include "MsOfficeWordTableColumnCovrel.h"
#include "MsOfficeWordTableRangeCovrel.h"
#include "MsOfficeWordTableRowCovrel.h"

#include <QDebug>
#include <QMap>
#include <algorithm>

namespace MsOfficeWord {

TableCovrel::TableCovrel(AutomationObject *table, AutomationObject *document, QObject *parent)
    : QObject(parent)
    , m_table(table)
    , m_document(document)
{ }

AutomationObject *TableCovrel::getXaTable() const { return m_table; }

AutomationObject *TableCovrel::getXaDocument() const { return m_document; }

AutomationObject *TableCovrel::subObject(AutomationObject *&cache, const char *name)
{
    if (!cache && m_table)
        cache = m_table->querySubObject(name);
    return cache;
}

AutomationObject *TableCovrel::getXaTableRows() { return subObject(m_rows, "Rows()"); }

AutomationObject *TableCovrel::getXaTableColumns() { return subObject(m_columns, "Columns()"); }

AutomationObject *TableCovrel::getXaTableRange() { return subObject(m_range, "Range()"); }

int TableCovrel::getRowsCount()
{
    AutomationObject *rows = getXaTableRows();
    return rows ? rows->dynamicCall("Count()").toInt() : -1;
}

int TableCovrel::getColumnsCount()
{
    AutomationObject *columns = getXaTableColumns();
    return columns ? columns->dynamicCall("Count()").toInt() : -1;
}

TableRowCovrel *TableCovrel::getRow(int index)
{
    AutomationObject *rows = getXaTableRows();
    return rows ? new TableRowCovrel(rows->querySubObject("Item(QVariant)", index), m_document, this) : nullptr;
}

TableColumnCovrel *TableCovrel::getColumn(int index)
{
    AutomationObject *columns = getXaTableColumns();
    return columns ? new TableColumnCovrel(columns->querySubObject("Item(QVariant)", index), m_document, this)
                   : nullptr;
}

TableCellCovrel *TableCovrel::getCell(int row, int column)
{
    TableRowCovrel *tableRow = getRow(row);
    return tableRow ? tableRow->getCell(column) : nullptr;
}

TableRangeCovrel *TableCovrel::getRange() { return new TableRangeCovrel(getXaTableRange(), m_document, this); }

bool TableCovrel::isRowEmptyContent(int row)
{
    TableRowCovrel *tableRow = getRow(row);
    return tableRow && tableRow->isEmptyContent();
}

bool TableCovrel::isCellEmptyContent(int row, int column)
{
    TableCellCovrel *cell = getCell(row, column);
    return cell && cell->isEmptyContent();
}

void TableCovrel::removeRows(const QList<int> &indexes)
{
    QList<int> descending = indexes;
    std::sort(descending.begin(), descending.end(), std::greater<int>());
    for (int index : descending) {
        if (TableRowCovrel *row = getRow(index))
            row->removeRow();
    }
}

bool TableCovrel::hasVerticalMergeCells()
{
    TableRangeCovrel *range = getRange();
    QMap<int, int> cellsPerColumn;
    const int count = range->getCellsCount();
    for (int index = 1; index <= count; ++index) {
        if (TableCellCovrel *cell = range->getCell(index))
            ++cellsPerColumn[cell->getColumnIndex()];
    }
    if (cellsPerColumn.isEmpty()) {
        qDebug().noquote() << QStringLiteral(
                "[MsOfficeWord::TableCovrel] Количество ячеек в колонках пусто, пропускаем проверку");
        return false;
    }
    const QList<int> counts = cellsPerColumn.values();
    const int most = *std::max_element(counts.cbegin(), counts.cend());
    qDebug().noquote()
            << QStringLiteral("[MsOfficeWord::TableCovrel] Максимальное количество строк в колонках %1").arg(most);
    return std::any_of(counts.cbegin(), counts.cend(), [most](int cells) { return cells != most; });
}

} // namespace MsOfficeWord
