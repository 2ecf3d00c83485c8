#include "MsOfficeWordTableRowCovrel.h"

#include "AutomationObject.h"
#include "MsOfficeWordTableCellCovrel.h"

namespace MsOfficeWord {

TableRowCovrel::TableRowCovrel(AutomationObject *row, AutomationObject *document, QObject *parent)
    : TableCellsCovrel(row, document, parent)
{ }

AutomationObject *TableRowCovrel::getXaTableRow() const { return m_object; }

bool TableRowCovrel::hasFields()
{
    const int count = getCellsCount();
    for (int index = 1; index <= count; ++index) {
        TableCellCovrel *cell = getCell(index);
        if (cell && cell->hasFields())
            return true;
    }
    return false;
}

bool TableRowCovrel::hasFields(const QStringList &keys)
{
    const int count = getCellsCount();
    for (int index = 1; index <= count; ++index) {
        TableCellCovrel *cell = getCell(index);
        if (cell && cell->hasFields(keys))
            return true;
    }
    return false;
}

bool TableRowCovrel::isEmptyContent()
{
    const int count = getCellsCount();
    for (int index = 1; index <= count; ++index) {
        TableCellCovrel *cell = getCell(index);
        if (!cell || !cell->isEmptyContent())
            return false;
    }
    return true;
}

bool TableRowCovrel::removeRow()
{
    if (!m_object)
        return false;
    m_object->dynamicCall("Delete()");
    return true;
}

bool TableRowCovrel::hasAllEmptyValuesInField() { return allCellsWithFieldsEmpty(nullptr); }

bool TableRowCovrel::hasAllEmptyValuesInField(const QStringList &keys) { return allCellsWithFieldsEmpty(&keys); }

bool TableRowCovrel::allCellsWithFieldsEmpty(const QStringList *keys)
{
    bool anyCellWithFields = false;
    const int count = getCellsCount();
    for (int index = 1; index <= count; ++index) {
        TableCellCovrel *cell = getCell(index);
        if (!cell || !(keys ? cell->hasFields(*keys) : cell->hasFields()))
            continue;
        anyCellWithFields = true;
        if (!(keys ? cell->hasAllEmptyValuesInField(*keys) : cell->hasAllEmptyValuesInField()))
            return false;
    }
    return anyCellWithFields;
}

} // namespace MsOfficeWord
