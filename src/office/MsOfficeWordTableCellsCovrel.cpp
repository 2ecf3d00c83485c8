#include "MsOfficeWordTableCellsCovrel.h"

#include "AutomationObject.h"
#include "MsOfficeWordTableCellCovrel.h"

namespace MsOfficeWord {

TableCellsCovrel::TableCellsCovrel(AutomationObject *object, AutomationObject *document, QObject *parent)
    : QObject(parent)
    , m_object(object)
    , m_document(document)
{ }

AutomationObject *TableCellsCovrel::getXaDocument() const { return m_document; }

AutomationObject *TableCellsCovrel::getXaTableCells()
{
    if (!m_cells && m_object)
        m_cells = m_object->querySubObject("Cells()");
    return m_cells;
}

int TableCellsCovrel::getCellsCount()
{
    AutomationObject *cells = getXaTableCells();
    return cells ? cells->dynamicCall("Count()").toInt() : -1;
}

TableCellCovrel *TableCellsCovrel::getCell(int index)
{
    AutomationObject *cells = getXaTableCells();
    if (!cells)
        return nullptr;
    return new TableCellCovrel(cells->querySubObject("Item(QVariant)", index), m_document, this);
}

} // namespace MsOfficeWord
