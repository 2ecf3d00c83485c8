#pragma once

#include <QList>
#include <QObject>

class AutomationObject;

namespace MsOfficeWord {

class TableCellCovrel;
class TableColumnCovrel;
class TableRangeCovrel;
class TableRowCovrel;

// One table of a Word document: its rows, columns and range, the vertical
// merge test and the removal of rows.
class TableCovrel : public QObject
{
    Q_OBJECT
public:
    TableCovrel(AutomationObject *table, AutomationObject *document, QObject *parent);

    AutomationObject *getXaTable() const;
    AutomationObject *getXaDocument() const;
    AutomationObject *getXaTableRows();
    AutomationObject *getXaTableColumns();
    AutomationObject *getXaTableRange();
    // -1 without the collection.
    int getRowsCount();
    int getColumnsCount();
    // 1-based; null without the collection.
    TableRowCovrel *getRow(int index);
    TableColumnCovrel *getColumn(int index);
    TableCellCovrel *getCell(int row, int column);
    TableRangeCovrel *getRange();
    bool isRowEmptyContent(int row);
    bool isCellEmptyContent(int row, int column);
    // Removes the rows, last first, so no removal shifts a row still to go.
    void removeRows(const QList<int> &indexes);
    // Whether the columns hold different numbers of cells (merged cells).
    bool hasVerticalMergeCells();

private:
    AutomationObject *subObject(AutomationObject *&cache, const char *name);

    AutomationObject *m_table = nullptr;
    AutomationObject *m_document = nullptr;
    AutomationObject *m_rows = nullptr;
    AutomationObject *m_columns = nullptr;
    AutomationObject *m_range = nullptr;
};

} // namespace MsOfficeWord
