#pragma once

#include <QObject>

class AutomationObject;

namespace MsOfficeWord {

class TableCellCovrel;

// What a table's row, column and range have in common: a collection of
// cells, reached through "Cells()" and indexed from 1.
class TableCellsCovrel : public QObject
{
    Q_OBJECT
public:
    TableCellsCovrel(AutomationObject *object, AutomationObject *document, QObject *parent);

    AutomationObject *getXaDocument() const;
    AutomationObject *getXaTableCells();
    // -1 without a cell collection.
    int getCellsCount();
    // Cell `index` (1-based); null without a cell collection.
    TableCellCovrel *getCell(int index);

protected:
    AutomationObject *m_object = nullptr;
    AutomationObject *m_document = nullptr;

private:
    AutomationObject *m_cells = nullptr;
};

} // namespace MsOfficeWord
